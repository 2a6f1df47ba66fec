#include "pdb_SnapshotFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "internal/pdb_StoredFileImpl.h"
#include "jlib/JBuffer.h"
#include "jlib/jlib_cfg.h"
#include "pdb_BackupFile.h"
#include "pdb_ComponentInfo.h"
#include "pdb_IComponent.h"
#include "pdb_Mutex.h"
#include "pdb_ParameterDBCollection.h"
#include "pdb_ParameterInfo.h"

namespace PDB {

template class stored::StoredFile<SnapshotContentsList, MBDFPDBSSBlock>;

namespace {

constexpr JLIB::JResult kBadArgument = 0x80000001u;
constexpr JLIB::JResult kNoDatabase = 0x80000002u;
constexpr JLIB::JResult kMalformed = 0x80010000u;
constexpr JLIB::JResult kNotAvailable = 0x80080000u;
constexpr uint32_t kBlockNoMemory = 0x80000005u;
constexpr uint32_t kBlockExportFailed = 0x80000003u;
constexpr uint8_t kFactor = 0xFF;
constexpr char kImageTag[4] = {'#', 'S', 'C', '1'};
constexpr char kPresetImageTag[4] = {'#', 'P', 'C', '1'};
// Header and the three names at their longest: every description fits in this many bytes.
constexpr uint32_t kDescriptionMax = PresetContentsItem::kHeaderSize + 3 * 255;

constexpr stored::Names kNames = {"SnapshotData", SnapshotData::kFileType, SnapshotData::kInfoName, "/Info/DataType",
                                  "pst"};

bool isItemBlock(const FILECACHE::MBDFAbstractBlock& block)
{
    return stored::hasTag(block, MBDFPDBSSBlock::constBlockTag());
}

uint32_t itemNamesSize(const PresetContentsItem& item)
{
    const uint32_t kind = item.kind();
    if (kind >= PresetContentsItem::KIND_NONE) return 0;
    uint32_t n = static_cast<uint32_t>(item.dbName().size());
    if (kind != PresetContentsItem::KIND_DATABASE) n += static_cast<uint32_t>(item.componentName().size());
    if (kind == PresetContentsItem::KIND_PARAMETER_ARRAY || kind == PresetContentsItem::KIND_PARAMETER) {
        n += static_cast<uint32_t>(item.address().size());
    }
    return n;
}

// The same image with the preset's tag, so the preset entry can read it.
std::vector<uint8_t> asPresetImage(const uint8_t* image, uint32_t size)
{
    std::vector<uint8_t> copy(image, image + size);
    std::memcpy(copy.data(), kPresetImageTag, sizeof(kPresetImageTag));
    return copy;
}

class RecallBracket {
public:
    explicit RecallBracket(IParameterDB& db) : m_db(db) { (void)m_db._BeginRecall(); }  // a flag: cannot fail
    ~RecallBracket() { (void)m_db._EndRecall(); }
    RecallBracket(const RecallBracket&) = delete;
    RecallBracket& operator=(const RecallBracket&) = delete;

private:
    IParameterDB& m_db;
};

}  // namespace

// ---- SnapshotContentsItem ---------------------------------------------------------------

IParameterDB* SnapshotContentsItem::findPDB(const char* name, ParameterDBCollection& registry)
{
    IParameterDB& db = registry.getPDB(name);
    if (&db == &ParameterDBNULL::getNullObject() || !db.isValid()) return nullptr;
    return &db;
}

const IParameterDB* SnapshotContentsItem::findPDB(const char* name, const ParameterDBCollection& registry)
{
    const IParameterDB& db = registry.getPDB(name);
    if (&db == &ParameterDBNULL::getNullObject() || !db.isValid()) return nullptr;
    return &db;
}

uint32_t SnapshotContentsItem::exportBinarySize(bool withValues, const ParameterDBCollection& registry) const
{
    const IParameterDB* db = findPDB(dbName().c_str(), registry);
    if (!db) return withValues ? 0 : PresetContentsItem::exportBinarySize(ParameterDBNULL::getNullObject(), uniqId(), false);
    return PresetContentsItem::exportBinarySize(*db, uniqId(), withValues);
}

uint32_t SnapshotContentsItem::exportBinarySize(bool withValues) const
{
    return exportBinarySize(withValues, gPDBCollection);
}

JLIB::JResult SnapshotContentsItem::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord, bool withValues,
                                                 const ParameterDBCollection& registry) const
{
    const IParameterDB* db = findPDB(dbName().c_str(), registry);
    if (!buffer) return kBadArgument;
    if (db) {
        MutexReadLocker lock(*db);  // size and contents from one state of the database
        const uint32_t need = PresetContentsItem::exportBinarySize(*db, uniqId(), withValues);
        if (size < need) return kBadArgument;
        JLIB_RETURN_IF_FAILED(PresetContentsItem::exportBinary(*db, uniqId(), buffer, size, dbWord, withValues));
        std::memcpy(buffer, kImageTag, sizeof(kImageTag));
        return JLIB::kOk;
    }
    if (size < exportBinarySize(withValues, registry)) return kBadArgument;
    return kNoDatabase;
}

JLIB::JResult SnapshotContentsItem::exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                                 bool withValues) const
{
    return exportBinary(buffer, size, dbWord, withValues, gPDBCollection);
}

JLIB::JResult SnapshotContentsItem::importBinary(const uint8_t* image, uint32_t size, bool withValues,
                                                 ParameterDBCollection& registry)
{
    if (!image || size < kHeaderSize) return kBadArgument;
    (void)clear();
    if (std::memcmp(image, kImageTag, sizeof(kImageTag)) != 0) return kMalformed;
    {
        // Only the description is read here: no database is touched without values.
        const std::vector<uint8_t> head = asPresetImage(image, std::min(size, kDescriptionMax));
        JLIB_RETURN_IF_FAILED(PresetContentsItem::importBinary(ParameterDBNULL::getNullObject(), uniqId(),
                                                               head.data(), static_cast<uint32_t>(head.size()),
                                                               false));
    }
    if (!withValues || (image[4] & kValuesFlag) == 0 || kind() >= KIND_NONE) return JLIB::kOk;
    const uint64_t valuesStart = kHeaderSize + FILECACHE::BinaryAccessor::getAlignedSize(itemNamesSize(*this));
    if (valuesStart >= size) return kMalformed;
    const uint8_t* values = image + valuesStart;
    const uint32_t length = static_cast<uint32_t>(size - valuesStart);

    IParameterDB* target = findPDB(dbName().c_str(), registry);
    if (!target) return kNoDatabase;
    IParameterDB& db = *target;
    MutexWriteLocker lock(db);  // the recall bracket and component writes belong to one change
    if (kind() == KIND_DATABASE) {
        RecallBracket bracket(db);
        (void)db.importBinary(values, length, ImportAttr(0x00), JLIB::HeapId(255));  // only the checks count
        return JLIB::kOk;
    }

    const uint32_t ci = db.getComponentIndex(uniqId());
    const char* targetType = db.componentName(ci);
    if (kind() == KIND_COMPONENT) {
        IComponent& component = db._getComponent(ci);
        if (!component.isValid()) return kBadArgument;
        if (!targetType || componentName() != targetType) return kMalformed;
        RecallBracket bracket(db);
        // Through the write path with dirty marking; arrays that are not recallable are passed over.
        (void)component.importBinary(db, ci, values, length, ImportAttr(ImportAttr::kDirty), kFactor,
                                     JLIB::HeapId(0));  // only the checks count
        return JLIB::kOk;
    }

    if (!targetType || componentName() != targetType) return kMalformed;
    const uint32_t ai = db.componentInfo(ci).addressIndex(address().c_str());
    if (!db.paramInfo(ci, ai).attr.isRecallable()) return JLIB::kOk;
    const std::vector<uint8_t> asPreset = asPresetImage(image, size);
    const UniqId id = uniqId();
    return PresetContentsItem::importBinary(db, id, asPreset.data(), size, true);
}

JLIB::JResult SnapshotContentsItem::importBinary(const uint8_t* image, uint32_t size, bool withValues)
{
    return importBinary(image, size, withValues, gPDBCollection);
}

// ---- SnapshotContentsList ---------------------------------------------------------------

SnapshotContentsList::~SnapshotContentsList() = default;

JLIB::JResult SnapshotContentsList::take(JLIB::JResult result, const PresetContentsList& scratch)
{
    if (JLIB::isFailure(result)) return result;
    m_items.emplace_back(scratch.item(0));
    return JLIB::kOk;
}

JLIB::JResult SnapshotContentsList::addParameterDB(const IParameterDB& db)
{
    if (!isValidString(db.name())) return kBadArgument;
    SnapshotContentsItem item;
    (void)item.set(PresetContentsItem::KIND_DATABASE, db.name(), UniqId(), nullptr, nullptr, 0, 0);
    m_items.push_back(item);
    return JLIB::kOk;
}

JLIB::JResult SnapshotContentsList::addComponent(const IParameterDB& db, const UniqId& id)
{
    PresetContentsList scratch;
    return take(scratch.addComponent(db, id), scratch);
}

JLIB::JResult SnapshotContentsList::addParameterArray(const IParameterDB& db, const UniqId& id, const char* address)
{
    PresetContentsList scratch;
    return take(scratch.addParameterArray(db, id, address), scratch);
}

JLIB::JResult SnapshotContentsList::addParameterArray(const AddressId& address)
{
    PresetContentsList scratch;
    return take(scratch.addParameterArray(address), scratch);
}

JLIB::JResult SnapshotContentsList::addParameter(const IParameterDB& db, const UniqId& id, const char* address,
                                                 uint32_t x, uint32_t y)
{
    PresetContentsList scratch;
    return take(scratch.addParameter(db, id, address, x, y), scratch);
}

JLIB::JResult SnapshotContentsList::addParameter(const AddressId& address, uint32_t x, uint32_t y)
{
    PresetContentsList scratch;
    return take(scratch.addParameter(address, x, y), scratch);
}

JLIB::JResult SnapshotContentsList::addItem(const SnapshotContentsItem& item)
{
    if (!item.isValid()) return kBadArgument;
    m_items.push_back(item);
    return JLIB::kOk;
}

const SnapshotContentsItem& SnapshotContentsList::item(uint32_t index) const
{
    static const SnapshotContentsItem empty;
    return index < m_items.size() ? m_items[index] : empty;
}

uint32_t SnapshotContentsList::clear()
{
    m_items.clear();
    return 0;
}

// ---- MBDFPDBSSBlock ---------------------------------------------------------------------

uint32_t MBDFPDBSSBlock::initialize(const char* subTag, const SnapshotContentsItem& item, uint32_t dbWord,
                                    bool withValues, const ParameterDBCollection& registry)
{
    if (!item.isValid()) return kBadArgument;
    clear();
    if (JLIB::isFailure(setBlockTag(constBlockTag())) || JLIB::isFailure(setBlockSubTag(subTag))) {
        return kBadArgument;
    }
    const IParameterDB* db = SnapshotContentsItem::findPDB(item.dbName().c_str(), registry);
    if (!db) return kBadArgument;
    MutexReadLocker lock(*db);  // the size must still hold when the image is written
    const uint32_t size = item.exportBinarySize(withValues, registry);
    if (size == 0 || JLIB::isFailure(size)) return kBadArgument;
    JLIB::JBuffer<uint8_t> buffer(0, size, "SnapshotItem");
    if (!buffer.isValid()) return kBlockNoMemory;
    if (JLIB::isFailure(item.exportBinary(buffer.pointer(), size, dbWord, withValues, registry))) {
        return kBlockExportFailed;
    }
    if (JLIB::isFailure(setData(buffer.pointer(), size))) return kBadArgument;
    return 0;
}

uint32_t MBDFPDBSSBlock::initialize(const char* subTag, const SnapshotContentsItem& item, uint32_t dbWord,
                                    bool withValues)
{
    return initialize(subTag, item, dbWord, withValues, gPDBCollection);
}

bool MBDFPDBSSBlock::isValid() const { return blockTag() == constBlockTag() && dataSize(false) != 0; }

// ---- SnapshotData -----------------------------------------------------------------------

SnapshotData::SnapshotData() : StoredFile(kNames) {}

SnapshotData::~SnapshotData() = default;

JLIB::JResult SnapshotData::initialize(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                       const SnapshotContentsList& contents, const char* folder)
{
    return initializeData(productName, productVersion, dbWord, contents, folder, nullptr);
}

bool SnapshotData::protectFlag(const IParameterDB& info) const
{
    return info.getBool(m_infoAddress[kProtect], 0, 0, nullptr);
}

JLIB::JResult SnapshotData::applySnapshotInfo(const IParameterDB& info)
{
    return applyInfo(info, "applySnapshotInfo");
}

JLIB::JResult SnapshotData::recall()
{
    if (!isCached()) return kNotAvailable;
    JLIB::JResult acc = stored::importInfo(m_container, m_info);
    for (const FILECACHE::MBDFAbstractBlock* block : m_container) {
        if (!block || !isItemBlock(*block)) continue;
        SnapshotContentsItem entry;
        acc |= entry.importBinary(block->data(), block->dataSize(false), true, gPDBCollection);
    }
    return JLIB::isFailure(acc) ? kMalformed : JLIB::kOk;
}

JLIB::JResult SnapshotData::recall(const SnapshotContentsList& recallSafe)
{
    if (!isCached()) return kNotAvailable;
    ParameterDBCollection scratch(gPDBCollection);

    for (const FILECACHE::MBDFAbstractBlock* block : m_container) {
        if (!block || !isItemBlock(*block)) continue;
        SnapshotContentsItem entry;
        if (JLIB::isFailure(entry.importBinary(block->data(), block->dataSize(false), true, scratch))) return kMalformed;
    }
    for (uint32_t n = 0; n < recallSafe.num(); ++n) {
        MBDFPDBSSBlock block;
        if (JLIB::isFailure(block.initialize("", recallSafe.item(n), m_dbWord, true, gPDBCollection))) {
            JLIB_LOG("[E] SnapshotData::recall(recallSafe) - cannot import #%d recallsafe!\n", static_cast<int>(n));
            continue;
        }
        SnapshotContentsItem entry;
        (void)entry.importBinary(block.data(), block.dataSize(false), true, scratch);  // best effort overlay
    }
    if (JLIB::isFailure(stored::importInfo(m_container, m_info))) return kMalformed;
    for (uint32_t n = 0; n < m_contents.num(); ++n) {
        MBDFPDBSSBlock block;
        if (JLIB::isFailure(block.initialize("", m_contents.item(n), m_dbWord, true, scratch))) {
            JLIB_LOG("[E] SnapshotData::recall(recallSafe) - cannot import #%d content!\n", static_cast<int>(n));
            continue;
        }
        SnapshotContentsItem entry;
        if (JLIB::isFailure(entry.importBinary(block.data(), block.dataSize(false), true, gPDBCollection))) {
            return kMalformed;
        }
    }
    return JLIB::kOk;
}

void SnapshotData::listContents()
{
    for (const FILECACHE::MBDFAbstractBlock* block : m_container) {
        if (!block || !isItemBlock(*block)) continue;
        SnapshotContentsItem entry;
        (void)entry.importBinary(block->data(), block->dataSize(false), false);  // an unreadable entry is not listed
        if (entry.isValid()) (void)m_contents.addItem(entry);  // valid entries are accepted
    }
}

uint32_t SnapshotData::clear()
{
    clearData();
    return 0;
}

IParameterDB& SnapshotData::getPDB(const char* name) { return gPDBCollection.getPDB(name); }

const IParameterDB& SnapshotData::getPDB(const char* name) const
{
    return static_cast<const ParameterDBCollection&>(gPDBCollection).getPDB(name);
}

}  // namespace PDB
