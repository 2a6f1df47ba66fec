#include "pdb_PresetFile.h"

#include "internal/pdb_StoredFileImpl.h"
#include "jlib/jlib_cfg.h"
#include "pdb_BackupFile.h"
#include "pdb_ParameterDBCollection.h"

namespace PDB {

template class stored::StoredFile<PresetContentsList, MBDFPDBPSBlock>;

namespace {

constexpr JLIB::JResult kMalformed = 0x80010000u;
constexpr JLIB::JResult kNotAvailable = 0x80080000u;

constexpr stored::Names kNames = {"PresetData", PresetData::kFileType, PresetData::kInfoName, "/Info/PresetType",
                                  "dat"};

bool isItemBlock(const FILECACHE::MBDFAbstractBlock& block)
{
    return stored::hasTag(block, MBDFPDBPSBlock::constBlockTag());
}

}  // namespace

PresetData::PresetData() : StoredFile(kNames) {}

PresetData::~PresetData() = default;

JLIB::JResult PresetData::initialize(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                     const char* presetType, const PresetContentsList& contents, const char* folder)
{
    return initializeData(productName, productVersion, dbWord, contents, folder, presetType);
}

bool PresetData::protectFlag(const IParameterDB& info) const
{
    return info.getUInt32(m_infoAddress[kProtect], 0, 0, nullptr) != 0;
}

JLIB::JResult PresetData::applyPresetInfo(const IParameterDB& info) { return applyInfo(info, "applyPresetInfo"); }

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

uint32_t PresetData::clear()
{
    m_productName.clear();
    m_productVersion = 0;
    m_dbWord = 0;
    m_folder.clear();
    clearData();
    return 0;
}

}  // namespace PDB
