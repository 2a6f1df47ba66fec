#include "pdb_PresetFile.h"

#include "FileCache/fcache_FileAccessor.h"
#include "internal/pdb_StoredContainer.h"
#include "jlib/jlib_cfg.h"
#include "pdb_BackupFile.h"
#include "pdb_ParameterDBCollection.h"
#include "pdb_ParameterInfo.h"
#include "pdb_makeUuidFileName.h"

namespace PDB {

namespace {

constexpr JLIB::JResult kBadArgument = 0x80000001u;
constexpr JLIB::JResult kProtected = 0x80000008u;
constexpr JLIB::JResult kMalformed = 0x80010000u;
constexpr JLIB::JResult kOtherProduct = 0x80020000u;
constexpr JLIB::JResult kNotAvailable = 0x80080000u;
constexpr JLIB::JResult kFail = 0x80000000u;
constexpr JLIB::JResult kWriteFailed = 0x80000080u;
constexpr uint8_t kFactor = 0xFF;

const char* const kInfoAddressText[PresetData::kInfoAddressNum] = {
    "/Info/ProductName",      "/Info/ProductSubName",  "/Info/PresetType",        "/Info/Protect",
    "/Info/Title",            "/Info/Comment",         "/Info/OwnerName",         "/Info/TimeStamp/Year",
    "/Info/TimeStamp/Month",  "/Info/TimeStamp/Day",   "/Info/TimeStamp/Hour",    "/Info/TimeStamp/Minute",
    "/Info/TimeStamp/Second",
};

bool isItemBlock(const FILECACHE::MBDFAbstractBlock& block)
{
    return stored::hasTag(block, MBDFPDBPSBlock::constBlockTag());
}

bool sameName(const IParameterDB& a, const IParameterDB& b)
{
    return a.name() && b.name() && std::string(a.name()) == b.name();
}

// Every element of the copy gets the live database's default.
void fillDefaults(LocalParameterDB& copy, const IParameterDB& live)
{
    for (uint32_t ci = 0; ci < copy.componentIndexNum(); ++ci) {
        if (!copy.uniqId(ci).isValid()) continue;  // an empty slot
        for (uint32_t ai = 0; ai < copy.addressNum(ci); ++ai) {
            const ParameterInfo& info = copy.paramInfo(ci, ai);
            for (uint32_t x = 0; x < info.numX; ++x) {
                for (uint32_t y = 0; y < info.numY; ++y) {
                    JVariant value;
                    if (JLIB::isFailure(live.getDefault(value, ci, ai, x, y))) continue;
                    (void)copy.setVariant(ci, ai, x, y, value, kFactor);  // the copy stores as given
                }
            }
        }
    }
}

}  // namespace

PresetData::PresetData()
{
    (void)FILECACHE::MBDFTopBlock::useThisBlock();  // registration happens once; later calls are no-ops
    (void)FILECACHE::MBDFEndBlock::useThisBlock();
    (void)MBDFPDBPSBlock::useThisBlock();
    // Without it the information block of a loaded file is not a database block.
    (void)MBDFPDBBlock::useThisBlock();
}

PresetData::~PresetData() = default;

JLIB::JResult PresetData::initialize(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                     const char* presetType, const PresetContentsList& contents, const char* folder)
{
    if (!productName) return kBadArgument;
    m_productName = productName;
    m_productVersion = productVersion;
    m_dbWord = dbWord;
    m_folder = folder ? folder : "";
    if (!m_folder.empty()) (void)FILECACHE::FileAccessor::makeDir(m_folder.c_str());  // a failure shows when saving
    m_contents = contents;

    const IParameterDB& live = gPDBCollection.getPDB(kInfoName);
    if (!live.isValid()) return JLIB::kOk;
    UniqId infoId(0);
    for (uint32_t i = 0; i < kInfoAddressNum; ++i) m_infoAddress[i] = live.getAddressId(infoId, kInfoAddressText[i]);
    JLIB_RETURN_IF_FAILED(m_info.initialize(live));
    fillDefaults(m_info, live);
    (void)m_info.setString(m_infoAddress[kProductName], 0, 0, productName, kFactor);  // a cut text is a status
    if (presetType) (void)m_info.setString(m_infoAddress[kPresetType], 0, 0, presetType, kFactor);
    return JLIB::kOk;
}

bool PresetData::isProtected() const
{
    return m_info.isValid() && m_info.getUInt32(m_infoAddress[kProtect], 0, 0, nullptr) != 0;
}

JLIB::JResult PresetData::store(const IParameterDB& info)
{
    if (m_contents.num() == 0) return kNotAvailable;
    if (!info.isValid() || !m_info.isValid() || !sameName(info, m_info)) return kNotAvailable;
    if (isProtected() && info.getUInt32(m_infoAddress[kProtect], 0, 0, nullptr) != 0) return kProtected;
    if (&info != &m_info) m_info = info;
    stored::stampTime(m_info, &m_infoAddress[kYear]);

    JLIB::JResult acc = stored::startContainer(m_container, kFileType, m_productName, m_productVersion);
    {
        MBDFPDBBlock block;
        acc |= block.initialize(kInfoName, m_info, m_dbWord);
        if (JLIB::isFailure(acc)) {
            JLIB_LOG("[E] PresetData::store - cannot add ssinfo block!\n");
        } else {
            acc |= m_container.addBlock(0, block);
        }
    }
    uint32_t added = m_container.blockNum();
    for (uint32_t n = 0; n < m_contents.num(); ++n) {
        MBDFPDBPSBlock block;
        const JLIB::JResult r = block.initialize("", m_contents.item(n), m_dbWord, true);
        acc |= r;
        if (JLIB::isFailure(acc)) {
            JLIB_LOG("[E] PresetData::store - cannot add #%d block!\n", static_cast<int>(n));
            continue;
        }
        acc |= m_container.addBlock(added++, block);
    }
    // A scene missing entries must not pass for a complete one.
    return JLIB::isFailure(acc) ? kEntryLeftOut : JLIB::kOk;
}

JLIB::JResult PresetData::applyPresetInfo(const IParameterDB& info)
{
    if (!info.isValid() || !m_info.isValid() || !sameName(info, m_info)) return kNotAvailable;
    if (&info != &m_info) m_info = info;
    if (!isCached()) return JLIB::kOk;

    // Built before the old block goes, so a failure keeps the stored information.
    MBDFPDBBlock block;
    const JLIB::JResult r = block.initialize(m_info.name(), m_info, m_dbWord);
    if (JLIB::isFailure(r)) {
        JLIB_LOG("[E] PresetData::applyPresetInfo - cannot add ssinfo block!\n");
        return r;
    }
    uint32_t position = stored::findInfoBlock(m_container, m_info.name());
    if (position < m_container.blockNum()) {
        (void)m_container.removeBlock(position);  // the position exists
    } else {
        position = 0;
    }
    return m_container.addBlock(position, block);
}

JLIB::JResult PresetData::recall(IParameterDB& db, const UniqId& id)
{
    if (!isCached()) return kNotAvailable;
    JLIB::JResult acc = stored::importInfo(m_container, m_info);
    for (const FILECACHE::MBDFAbstractBlock* block : m_container) {
        if (!block || !isItemBlock(*block)) continue;
        PresetContentsItem entry;
        acc |= entry.importBinary(db, id, block->data(), block->dataSize(false), true);
    }
    return JLIB::isFailure(acc) ? kMalformed : JLIB::kOk;
}

JLIB::JResult PresetData::recall(IParameterDB& db, const UniqId& id, const PresetContentsList& recallSafe)
{
    if (!isCached()) return kNotAvailable;
    LocalParameterDB copy;
    JLIB_RETURN_IF_FAILED(copy.initialize(db));

    for (const FILECACHE::MBDFAbstractBlock* block : m_container) {
        if (!block || !isItemBlock(*block)) continue;
        PresetContentsItem entry;
        if (JLIB::isFailure(entry.importBinary(copy, id, block->data(), block->dataSize(false), true))) {
            return kMalformed;
        }
    }
    for (uint32_t n = 0; n < recallSafe.num(); ++n) {
        MBDFPDBPSBlock block;
        if (JLIB::isFailure(block.initialize("", recallSafe.item(n), m_dbWord, true, db, id))) {
            JLIB_LOG("[E] PresetData::recall(recallSafe) - cannot import #%d recallsafe!\n", static_cast<int>(n));
            continue;
        }
        PresetContentsItem entry;
        (void)entry.importBinary(copy, id, block.data(), block.dataSize(false), true);  // best effort overlay
    }
    if (JLIB::isFailure(stored::importInfo(m_container, m_info))) return kMalformed;
    for (uint32_t n = 0; n < m_contents.num(); ++n) {
        MBDFPDBPSBlock block;
        if (JLIB::isFailure(block.initialize("", m_contents.item(n), m_dbWord, true, copy, id))) {
            JLIB_LOG("[E] PresetData::recall(recallSafe) - cannot import #%d content!\n", static_cast<int>(n));
            continue;
        }
        PresetContentsItem entry;
        if (JLIB::isFailure(entry.importBinary(db, id, block.data(), block.dataSize(false), true))) return kMalformed;
    }
    return JLIB::kOk;
}

void PresetData::listContents()
{
    for (const FILECACHE::MBDFAbstractBlock* block : m_container) {
        if (!block || !isItemBlock(*block)) continue;
        PresetContentsItem entry;
        // Without values nothing is written, so the null database serves.
        (void)entry.importBinary(ParameterDBNULL::getNullObject(), UniqId(0), block->data(), block->dataSize(false),
                                 false);  // an unreadable entry is simply not listed
        if (entry.isValid()) (void)m_contents.addItem(entry);  // valid entries are accepted
    }
}

JLIB::JResult PresetData::load(const char* fileName)
{
    if (!fileName) return kBadArgument;
    (void)m_container.clear();  // clearing cannot fail
    (void)m_contents.clear();
    if (JLIB::isFailure(m_container.readAll(fullPath(fileName).c_str(), true, nullptr, nullptr, 0))) return kFail;
    if (!m_container.isSameFileType(kFileType) || !m_container.isSameProductName(m_productName.c_str())) {
        return kOtherProduct;
    }
    if (!m_container.isValid()) return kMalformed;
    const JLIB::JResult acc = stored::importInfo(m_container, m_info);
    listContents();
    if (JLIB::isFailure(acc)) return kMalformed;
    m_fileName = fileName;
    return JLIB::kOk;
}

std::string PresetData::fullPath(const std::string& name) const
{
    return FILECACHE::MBDF::makeFullPath(m_folder.c_str(), name.c_str());
}

JLIB::JResult PresetData::writeTo(const char* fileName)
{
    if (!fileName) return kBadArgument;
    if (m_contents.num() == 0) return kNotAvailable;
    if (!isCached()) JLIB_RETURN_IF_FAILED(update());
    if (JLIB::isFailure(m_container.writeAll(fullPath(fileName).c_str(), nullptr, nullptr, false))) return kWriteFailed;
    return JLIB::kOk;
}

JLIB::JResult PresetData::saveAs(const char* fileName)
{
    if (!fileName) return kNotAvailable;
    JLIB_RETURN_IF_FAILED(writeTo(fileName));
    m_fileName = fileName;
    return JLIB::kOk;
}

JLIB::JResult PresetData::save()
{
    if (JLIB::isFailure(makeFileName(m_fileName))) return kFail;
    return writeTo(m_fileName.c_str());
}

JLIB::JResult PresetData::copyTo(const char* fileName) { return writeTo(fileName); }

JLIB::JResult PresetData::remove()
{
    if (m_fileName.empty()) return kFail;  // the bare folder is no file of ours
    if (JLIB::isFailure(FILECACHE::FileAccessor::remove(fullPath(m_fileName).c_str(), false))) return kFail;
    return JLIB::kOk;
}

JLIB::JResult PresetData::makeFileName(std::string& out) const { return makeUuidFileName(out, "dat"); }

uint32_t PresetData::exportBinarySize() const { return m_container.size(); }

JLIB::JResult PresetData::exportBinary(uint8_t* buffer, uint32_t size) const
{
    if (!buffer || size < exportBinarySize()) return kBadArgument;
    if (m_contents.num() == 0 || !isCached()) return kNotAvailable;
    return stored::writeImage(m_container, MBDFPDBPSBlock::constBlockTag(), m_info.name(), buffer, size);
}

JLIB::JResult PresetData::importBinary(const uint8_t* image, uint32_t size)
{
    if (!image) return kBadArgument;
    (void)m_container.clear();  // clearing cannot fail
    (void)m_contents.clear();
    if (JLIB::isFailure(stored::readImage(m_container, image, size))) {
        JLIB_LOG("[E] PresetData::importBinary - unreadable block\n");
        return kFail;
    }
    if (!m_container.isSameFileType(kFileType) || !m_container.isSameProductName(m_productName.c_str())) {
        return kOtherProduct;
    }
    if (!m_container.isValid()) return kMalformed;
    listContents();
    return JLIB::kOk;
}

uint32_t PresetData::clear()
{
    m_productName.clear();
    m_productVersion = 0;
    m_dbWord = 0;
    m_folder.clear();
    (void)m_contents.clear();
    (void)m_container.clear();
    (void)m_info.initialize(LocalParameterDB::kInvalidInstance, nullptr);  // emptying cannot fail
    for (AddressId& address : m_infoAddress) (void)address.clear();
    return 0;
}

}  // namespace PDB
