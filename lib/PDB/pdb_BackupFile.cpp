#include "pdb_BackupFile.h"

#include <cstring>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "jlib/JBuffer.h"
#include "jlib/jlib_cfg.h"
#include "pdb_FlagArray.h"
#include "pdb_IParameterDB.h"
#include "pdb_ParameterDBCollection.h"

namespace PDB {

namespace {

constexpr uint32_t kBadArgument = 0x80000001u;
constexpr uint32_t kBadStructure = 0x80000003u;
constexpr uint32_t kNoMemory = 0x80000005u;
constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr JLIB::JResult kExportFailed = 0x80000080u;
constexpr JLIB::JResult kTypeMismatch = 0x80020000u;
constexpr JLIB::JResult kMalformed = 0x80010000u;
// Restoring a backup: a forced recall of the non-volatile parameters only.
constexpr uint8_t kRestoreAttr = ImportAttr::kForceRecall | ImportAttr::kRestore;
constexpr uint8_t kAnyHeap = 255;

}  // namespace

PDBTableItem::PDBTableItem(IParameterDB* db, uint32_t word)
    : database(db ? db : &ParameterDBNULL::getNullObject()), dbWord(word)
{
}

// ---- MBDFPDBBlock ---------------------------------------------------------------------

uint32_t MBDFPDBBlock::initialize(const char* name, const IParameterDB& db, uint32_t dbWord)
{
    clear();
    if (JLIB::isFailure(setBlockTag(constBlockTag())) || JLIB::isFailure(setBlockSubTag(name))) return kBadArgument;
    MutexReadLocker lock(db);  // the size must still hold when the image is written
    const uint32_t size = db.exportBinarySize();
    if (size == 0) return kBadArgument;
    JLIB::JBuffer<uint8_t> buffer(0, size, "PDB Block");
    if (!buffer.isValid()) return kNoMemory;
    if (JLIB::isFailure(db.exportBinary(buffer.pointer(), size, dbWord))) return kBadStructure;
    if (JLIB::isFailure(setData(buffer.pointer(), size))) return kBadArgument;
    return 0;
}

bool MBDFPDBBlock::isValid() const { return blockTag() == constBlockTag() && dataSize(false) != 0; }

// ---- BackupFile -----------------------------------------------------------------------

BackupFile::BackupFile()
{
    (void)FILECACHE::MBDFTopBlock::useThisBlock();  // registrations always answer 0
    (void)FILECACHE::MBDFEndBlock::useThisBlock();
    (void)MBDFPDBBlock::useThisBlock();
}

BackupFile::~BackupFile() = default;

JLIB::JResult BackupFile::initialize(const char* productName, uint32_t productVersion, const PDBTable& table,
                                     const char* folder)
{
    if (!productName) return kBadArgument;
    m_productName = productName;
    m_productVersion = productVersion;
    m_table = table;
    m_folder = folder ? folder : "";
    if (!m_folder.empty()) {
        (void)FILECACHE::FileAccessor::makeDir(m_folder.c_str());  // an existing folder is fine; writing reports the rest
    }
    return JLIB::kOk;
}

JLIB::JResult BackupFile::exportToFile(const char* fileName)
{
    if (!fileName) {
        JLIB_LOG("[E] BackupFile::exportToFile 1\n");
        return kBadArgument;
    }
    FILECACHE::MBDF mbdf;
    uint8_t uuid[FILECACHE::MBDFTopBlock::kUuidSize] = {};
    (void)FILECACHE::fcache_getUuid(uuid, sizeof(uuid));  // any 16 bytes serve when no fresh ones can be had
    uint32_t code = mbdf.initialize(kFileType, m_productName.c_str(), m_productVersion, uuid, sizeof(uuid));

    uint32_t added = 0;
    for (const PDBTableItem& entry : m_table) {
        MBDFPDBBlock block;
        code |= block.initialize(entry.database->name(), *entry.database, entry.dbWord);
        // The accumulated code keeps its top bit, so every later entry is left out as well.
        if (JLIB::isFailure(code)) {
            JLIB_LOG("[E] BackupFile::exportToFile - cannot add [%s] block!\n", entry.database->name());
            continue;
        }
        code |= mbdf.addBlock(added, block);
        ++added;
    }

    const std::string path = FILECACHE::MBDF::makeFullPath(m_folder.c_str(), fileName);
    code |= mbdf.writeAll(path.c_str(), nullptr, nullptr, true);
    if (JLIB::isFailure(code)) {
        JLIB_LOG("[E] BackupFile::exportToFile 2\n");
        return kExportFailed;
    }
    return JLIB::kOk;
}

bool BackupFile::isListed(const char* name) const
{
    for (const PDBTableItem& entry : m_table) {
        if (std::strcmp(entry.database->name(), name) == 0) return true;
    }
    return false;
}

JLIB::JResult BackupFile::importFromFile(const char* fileName)
{
    if (!fileName) return kBadArgument;
    const std::string path = FILECACHE::MBDF::makeFullPath(m_folder.c_str(), fileName);
    FILECACHE::MBDF mbdf;
    if (JLIB::isFailure(mbdf.readAll(path.c_str(), true, nullptr, nullptr, 0))) return kFailed;
    if (!mbdf.isSameFileType(kFileType) || !mbdf.isSameProductName(m_productName.c_str())) return kTypeMismatch;
    if (!mbdf.isValid()) return kMalformed;

    JLIB::JResult code = JLIB::kOk;
    for (auto it = mbdf.begin(); it != mbdf.end(); ++it) {
        const MBDFPDBBlock* block = mbdf.blockPtr<MBDFPDBBlock>(it);
        if (!block || !block->data()) continue;
        const std::string stored = block->instanceNameTag();
        for (uint32_t i = 0; i < gPDBCollection.numOfPDB(); ++i) {
            IParameterDB& db = gPDBCollection.getPDB(i);
            if (stored != db.name() || !isListed(db.name())) continue;
            code |= db.importBinary(block->data(), block->dataSize(false), ImportAttr(kRestoreAttr),
                                    JLIB::HeapId(kAnyHeap));
        }
    }
    return JLIB::isFailure(code) ? kMalformed : JLIB::kOk;
}

JLIB::JResult BackupFile::removeFile(const char* fileName)
{
    if (!fileName) return kBadArgument;
    const std::string path = FILECACHE::MBDF::makeFullPath(m_folder.c_str(), fileName);
    if (JLIB::isFailure(FILECACHE::FileAccessor::remove(path.c_str(), false))) return kFailed;
    return JLIB::kOk;
}

}  // namespace PDB
