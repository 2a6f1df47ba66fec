#pragma once
// The "#PDB DB" block that carries one whole database image, and the backup file that writes a
// list of databases into one container of file type "Backup" and restores them from it.
// No locks of their own: one task uses each object; the databases lock for themselves.
#include <cstdint>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDFAbstractBlock.h"
#include "jlib/jlib_result.h"

namespace PDB {

class IParameterDB;

// One database of a backup and the database word its image is written with.
struct PDBTableItem {
    // A null database stands for the null database.
    PDBTableItem(IParameterDB* db, uint32_t word);

    IParameterDB* database;  // not owned: the databases outlive every backup of them
    uint32_t dbWord;
};

using PDBTable = std::vector<PDBTableItem>;

// Tag "#PDB DB" in the first 12 bytes of the tag field, the database name (cut to 12 bytes)
// in the other 12, and the database's "#CT1" image as data.
class MBDFPDBBlock : public FILECACHE::MBDFAbstractBlock {
public:
    static constexpr uint32_t kNameLength = 12;

    MBDFPDBBlock() = default;
    MBDFPDBBlock(const MBDFPDBBlock&) = default;
    MBDFPDBBlock& operator=(const MBDFPDBBlock&) = default;

    using FILECACHE::MBDFAbstractBlock::initialize;
    // 0x80000001 for an empty image (the null database) or a failed store, 0x80000005 without
    // memory for the image, 0x80000003 when the database cannot write it.
    [[nodiscard]] uint32_t initialize(const char* name, const IParameterDB& db, uint32_t dbWord);
    bool isValid() const override;
    uint32_t blockTagLength() const override { return 12; }

    // The database name as stored, at most 12 characters.
    std::string instanceNameTag() const { return blockSubTag(); }

    static const char* constBlockTag() { return "#PDB DB"; }
    static uint32_t useThisBlock() { return FILECACHE::useBlockType<MBDFPDBBlock>(); }
};

// Writes and restores the listed databases; each call uses a container of its own.
class BackupFile {
public:
    static constexpr const char* kFileType = "Backup";

    // Registers the top, end and database block types once per process.
    BackupFile();
    virtual ~BackupFile();
    BackupFile(const BackupFile&) = delete;
    BackupFile& operator=(const BackupFile&) = delete;

    // Replaces every setting; a non-empty folder is created. 0x80000001 for a null product name.
    [[nodiscard]] JLIB::JResult initialize(const char* productName, uint32_t productVersion, const PDBTable& table,
                                           const char* folder);
    // Written with sync; 0x80000080 when a block or the write failed (the file may then hold the
    // blocks before the failing one).
    [[nodiscard]] JLIB::JResult exportToFile(const char* fileName);
    // Restores every registered database that the table lists from the block of its name.
    // 0x80000000 for a file that is no container, 0x80020000 for another file type or product,
    // 0x80010000 for an invalid container or a refused image. Nothing is rolled back.
    [[nodiscard]] JLIB::JResult importFromFile(const char* fileName);
    // 0x80000000 when the file cannot be removed.
    [[nodiscard]] JLIB::JResult removeFile(const char* fileName);

    const std::string& productName() const { return m_productName; }
    uint32_t productVersion() const { return m_productVersion; }
    const PDBTable& table() const { return m_table; }
    const std::string& folder() const { return m_folder; }

private:
    bool isListed(const char* name) const;

    std::string m_productName;
    uint32_t m_productVersion = 0;
    PDBTable m_table;
    std::string m_folder;
};

}  // namespace PDB
