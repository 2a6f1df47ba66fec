#include "internal/pdb_DatabaseImage.h"

#include <cstring>

#include "jlib/jlib_cfg.h"
#include "pdb_AbstractComponent.h"
#include "pdb_IComponent.h"
#include "pdb_ParamRawArray.h"
#include "pdb_ParameterArray.h"

namespace PDB {

namespace {

constexpr char kMagic[4] = {'#', 'C', 'T', '1'};
constexpr char kRecordMagic[4] = {'#', 'P', 'R', '1'};

void putBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

uint32_t getBE16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

uint32_t getBE32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// Walks the records the way the component import does, so that an image the import would stop
// in the middle of as malformed is refused before anything changes. Cut records and unknown
// element types end the walk without failure, as they end the import.
bool recordsFramed(const uint8_t* data, uint32_t length, uint32_t recordCount)
{
    uint64_t offset = ComponentInfo::kExportSize;
    for (uint32_t record = 0; record < recordCount; ++record) {
        const uint64_t left = length - offset;
        if (left < AbstractComponent::kRecordHeaderSize) return true;
        const uint8_t* header = data + offset;
        if (std::memcmp(header, kRecordMagic, sizeof kRecordMagic) != 0) return false;
        const uint32_t count = getBE16(header + 12) * getBE16(header + 14);
        const uint64_t bytes = calcTotalSizeWide(header[6], getBE32(header + 8), count);
        if (bytes == 0 && count != 0) return true;
        if (bytes > left - AbstractComponent::kRecordHeaderSize) return true;
        offset += AbstractComponent::kRecordHeaderSize + bytes;
    }
    return true;
}

}  // namespace

uint64_t DatabaseImage::listSize(const IParameterDB& db, const ComponentIndexList& indexes)
{
    uint64_t size = kHeaderSize + 4ull * indexes.size();
    for (const uint32_t ci : indexes) size += db._getComponent(ci).exportSize();
    return size;
}

JLIB::JResult DatabaseImage::write(const IParameterDB& db, uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                   const ComponentIndexList& indexes)
{
    if (!buffer || size < db.exportBinarySize()) return JLIB::kInvalidArgument;
    // A list may repeat a component: the whole database's size alone does not bound it.
    if (size < listSize(db, indexes)) return JLIB::kInvalidArgument;

    std::memset(buffer, 0, kHeaderSize);
    std::memcpy(buffer, kMagic, sizeof kMagic);
    putBE32(buffer + 4, dbWord);
    putBE32(buffer + 8, uint32_t(indexes.size()));
    uint32_t position = kHeaderSize + 4u * uint32_t(indexes.size());
    for (size_t entry = 0; entry < indexes.size(); ++entry) {
        putBE32(buffer + kHeaderSize + 4 * entry, position);
        const IComponent& component = db._getComponent(indexes[entry]);
        (void)component.exportBinary(buffer + position, size - position);  // fits: checked above
        position += component.exportSize();
    }
    return JLIB::kOk;
}

JLIB::JResult DatabaseImage::read(const uint8_t* image, uint32_t size, std::vector<Entry>& entries)
{
    entries.clear();
    if (!image || size < kHeaderSize) return JLIB::kInvalidArgument;
    if (std::memcmp(image, kMagic, sizeof kMagic) != 0) {
        JLIB_LOG("[E] DatabaseImage::read - Unknown image format.\n");
        return kMalformedImage;
    }
    const uint32_t count = getBE32(image + 8);
    if (uint64_t(size) < kHeaderSize + 4ull * count) return JLIB::kInvalidArgument;

    entries.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        Entry& entry = entries[i];
        entry.offset = getBE32(image + kHeaderSize + 4 * i);
        // Outside the image, or too short for a definition: the reader would get a wrapped length.
        if (entry.offset % 4 != 0 || entry.offset > size || size - entry.offset < ComponentInfo::kExportSize) {
            JLIB_LOG("[E] DatabaseImage::read - Invalid component offset. [index=%u, offset=%u, size=%u]\n", i,
                     entry.offset, size);
            entries.clear();
            return kMalformedImage;
        }
        entry.room = size - entry.offset;
        uint32_t recordCount = 0;
        const JLIB::JResult read = entry.info.importBinary(image + entry.offset, entry.room, recordCount);
        if (read == ComponentInfo::kUnknownComponent) continue;  // logged by the reader; skipped
        if (JLIB::isFailure(read) || !recordsFramed(image + entry.offset, entry.room, recordCount)) {
            JLIB_LOG("[E] DatabaseImage::read - Malformed component image. [index=%u]\n", i);
            entries.clear();
            return kMalformedImage;
        }
        entry.known = true;
    }
    return JLIB::kOk;
}

JLIB::JResult DatabaseImage::checkTypes(const IParameterDB& db, const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries) {
        if (!entry.known) continue;
        const IComponent& present = db._getComponent(db.getComponentIndex(entry.info.uniqId()));
        if (!present.isValid() || present.componentInfo().componentName() == entry.info.componentName()) continue;
        JLIB_LOG("[E] AbstractComponent::importBinary - Unknown component. [name=%s, ver=%d]\n",
                 entry.info.componentName().c_str(), int(entry.info.componentVersion()));
        return kTypeMismatch;
    }
    return JLIB::kOk;
}

}  // namespace PDB
