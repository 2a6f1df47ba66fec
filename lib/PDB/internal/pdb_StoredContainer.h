#pragma once
// Container chores that presets and snapshots share: block tags read straight from the header
// (blocks read from an image are plain blocks, so their class says nothing), the information
// block, the time stamp and the in-memory container image. Used by one task at a time.
#include <cstdint>
#include <cstring>
#include <string>

#include "FileCache/fcache_BinaryAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_FlagArray.h"
#include "PDB/pdb_IParameterDB.h"
#include "fsw/file_helpers.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"
#include "ossupport/ossupport_DateTime.h"

namespace PDB::stored {

constexpr uint32_t kTagLength = 12;
constexpr const char* kDatabaseBlockTag = "#PDB DB";
constexpr const char* kTopBlockTag = "#JOVRIX MBDF";
constexpr const char* kEndBlockTag = "#END";
constexpr uint8_t kInfoImportAttr = ImportAttr::kForceRecall;
constexpr uint8_t kHeapAny = 255;

inline std::string fieldText(const uint8_t* field, uint32_t width)
{
    uint32_t n = 0;
    while (n < width && field[n]) ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

inline std::string tagOf(const FILECACHE::MBDFAbstractBlock& block) { return fieldText(block.fixedHeader(), kTagLength); }

inline bool hasTag(const FILECACHE::MBDFAbstractBlock& block, const char* tag) { return tagOf(block) == tag; }

inline bool isInfoBlock(const FILECACHE::MBDFAbstractBlock& block, const char* infoName)
{
    return hasTag(block, kDatabaseBlockTag) &&
           fieldText(block.fixedHeader() + kTagLength, kTagLength) == (infoName ? infoName : "");
}

// The position of the first information block of that name, or the block count.
inline uint32_t findInfoBlock(const FILECACHE::MBDF& container, const char* infoName)
{
    uint32_t position = 0;
    for (const FILECACHE::MBDFAbstractBlock* block : container) {
        if (block && isInfoBlock(*block, infoName)) return position;
        ++position;
    }
    return position;
}

// Imports the first information block into info; 0 when there is none.
inline JLIB::JResult importInfo(const FILECACHE::MBDF& container, IParameterDB& info)
{
    const uint32_t position = findInfoBlock(container, info.name());
    if (position >= container.blockNum()) return JLIB::kOk;
    const FILECACHE::MBDFAbstractBlock& block = container.block(position);
    return info.importBinary(block.data(), block.dataSize(false), ImportAttr(kInfoImportAttr), JLIB::HeapId(kHeapAny));
}

// Empties the container and starts it with a top block carrying a fresh identifier.
inline uint32_t startContainer(FILECACHE::MBDF& container, const char* fileType, const std::string& productName,
                               uint32_t productVersion)
{
    (void)container.clear();  // clearing cannot fail
    uint8_t uuid[16] = {};   // stays zero when no identifier can be drawn: any bytes serve
    static_assert(sizeof(uuid) >= kFileUuidSize, "identifier buffer too small");
    (void)file_getUuid(uuid, FILECACHE::MBDF::uuidSize());  // a failure leaves the zero bytes
    return container.initialize(fileType, productName.c_str(), productVersion, uuid, FILECACHE::MBDF::uuidSize());
}

// The six time-stamp addresses get the UTC date and time.
inline void stampTime(IParameterDB& info, const AddressId* stamp)
{
    uint32_t value[6] = {};
    uint32_t weekday = 0;
    (void)OSSUPPORT::GetUTCDateTime(&value[0], &value[1], &value[2], &weekday, &value[3], &value[4],
                                    &value[5]);  // a failure leaves zeros in the stamp
    for (uint32_t i = 0; i < 6; ++i) (void)info.setUInt32(stamp[i], 0, 0, value[i], 0xFF);  // clamps are statuses
}

// Lays one block out at p as in a container file; 0x80000000 when it is not valid, its data is
// not in memory or it does not fit.
inline uint32_t writeBlock(const FILECACHE::MBDFAbstractBlock& block, uint8_t*& p, uint32_t& room)
{
    constexpr uint32_t kFail = 0x80000000u;
    if (!block.isValid()) return kFail;
    const uint64_t total = block.size();
    if (total > room) return kFail;
    const uint32_t o = block.optionSize(false);
    const uint32_t d = block.dataSize(false);
    if ((o && !block.option()) || (d && !block.data())) return kFail;
    std::memset(p, 0, static_cast<size_t>(total));  // padding bytes are zero whatever the buffer held
    std::memcpy(p, block.fixedHeader(), FILECACHE::MBDFAbstractBlock::kHeaderSize);
    uint8_t* q = p + FILECACHE::MBDFAbstractBlock::kHeaderSize;
    if (o) std::memcpy(q, block.option(), o);
    q += FILECACHE::BinaryAccessor::getAlignedSize(o);
    if (d) std::memcpy(q, block.data(), d);
    p += total;
    room -= static_cast<uint32_t>(total);
    return 0;
}

// Top block, the information block, every item block of itemTag, end block.
inline uint32_t writeImage(const FILECACHE::MBDF& container, const char* itemTag, const char* infoName,
                           uint8_t* buffer, uint32_t size)
{
    uint8_t* p = buffer;
    uint32_t room = size;
    JLIB_RETURN_IF_FAILED(writeBlock(container.topBlock(), p, room));
    const uint32_t info = findInfoBlock(container, infoName);
    if (info < container.blockNum()) JLIB_RETURN_IF_FAILED(writeBlock(container.block(info), p, room));
    for (const FILECACHE::MBDFAbstractBlock* block : container) {
        if (block && hasTag(*block, itemTag)) JLIB_RETURN_IF_FAILED(writeBlock(*block, p, room));
    }
    return writeBlock(container.endBlock(), p, room);
}

// Reads blocks from an image into an emptied container: the top block, plain copies of the data
// blocks, and the end block, which ends the reading. 0x80000000 when a block cannot be read.
inline uint32_t readImage(FILECACHE::MBDF& container, const uint8_t* image, uint32_t size)
{
    constexpr uint32_t kFail = 0x80000000u;
    uint32_t offset = 0;
    while (offset < size) {
        FILECACHE::MBDFAbstractBlock block;
        unsigned consumed = 0;
        const uint32_t r = block.initialize(image + offset, size - offset, consumed);
        if (JLIB::isFailure(r) || consumed == 0 || consumed > size - offset) return kFail;
        offset += consumed;
        const std::string tag = tagOf(block);
        if (tag == kTopBlockTag) {
            if (JLIB::isFailure(container.topBlock().initialize(block, true))) return kFail;
        } else if (tag == kEndBlockTag) {
            if (JLIB::isFailure(container.endBlock().initialize(block, true))) return kFail;
            break;
        } else if (JLIB::isFailure(container.addBlock<FILECACHE::MBDFAbstractBlock>(block))) {
            return kFail;
        }
    }
    return 0;
}

}  // namespace PDB::stored
