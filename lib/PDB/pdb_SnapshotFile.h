#pragma once
// Snapshots: chosen values of the live databases (scenes, recall undo, the editor's copy and
// paste) held as a container of file type "Snapshot" and written back into the databases and
// components they were taken from. Entries travel as "#SC1" item images in "#PDB SS" blocks.
// No locks of their own: one task at a time; the databases lock for themselves.
#include <cstdint>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDFAbstractBlock.h"
#include "internal/pdb_StoredFile.h"
#include "jlib/jlib_result.h"
#include "pdb_AddressId.h"
#include "pdb_PresetItem.h"
#include "pdb_UniqId.h"

namespace PDB {

class ParameterDBCollection;

// A preset entry whose database name and unique id choose where its values return.
class SnapshotContentsItem : public PresetContentsItem {
public:
    SnapshotContentsItem() = default;
    explicit SnapshotContentsItem(const PresetContentsItem& item) : PresetContentsItem(item) {}

    // Sizes and images are taken from the registry's database of the entry's name (the first in
    // slot order) and the entry's own component; the forms without one use gPDBCollection.
    // With values and no such database the size is 0.
    uint32_t exportBinarySize(bool withValues, const ParameterDBCollection& registry) const;
    uint32_t exportBinarySize(bool withValues) const;
    // 0x80000001 null or short buffer, 0x80000002 no database of that name, else as the preset's.
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord, bool withValues,
                                             const ParameterDBCollection& registry) const;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord, bool withValues) const;
    // Reads the entry and, with values, writes them back into its own database and component.
    // Parameters that are not recallable are passed over. 0x80000001 null or short image,
    // 0x80010000 malformed image or another component type, 0x80000002 no database of that name.
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t* image, uint32_t size, bool withValues,
                                             ParameterDBCollection& registry);
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t* image, uint32_t size, bool withValues);

    // The registry's first database of that name, or null.
    static IParameterDB* findPDB(const char* name, ParameterDBCollection& registry);
    static const IParameterDB* findPDB(const char* name, const ParameterDBCollection& registry);
};

// The entries of one snapshot in the order they were added. Every add answers 0 and appends one
// entry, or 0x80000001 and appends nothing.
class SnapshotContentsList {
public:
    SnapshotContentsList() = default;
    SnapshotContentsList(const SnapshotContentsList&) = default;
    SnapshotContentsList& operator=(const SnapshotContentsList&) = default;
    virtual ~SnapshotContentsList();

    // A whole database, by its name.
    [[nodiscard]] JLIB::JResult addParameterDB(const IParameterDB& db);
    [[nodiscard]] JLIB::JResult addComponent(const IParameterDB& db, const UniqId& id);
    [[nodiscard]] JLIB::JResult addParameterArray(const IParameterDB& db, const UniqId& id, const char* address);
    [[nodiscard]] JLIB::JResult addParameterArray(const AddressId& address);
    [[nodiscard]] JLIB::JResult addParameter(const IParameterDB& db, const UniqId& id, const char* address, uint32_t x,
                                             uint32_t y);
    [[nodiscard]] JLIB::JResult addParameter(const AddressId& address, uint32_t x, uint32_t y);
    [[nodiscard]] JLIB::JResult addItem(const SnapshotContentsItem& item);

    // A shared empty entry (kind 4) for an index not below num().
    const SnapshotContentsItem& item(uint32_t index) const;
    uint32_t num() const { return static_cast<uint32_t>(m_items.size()); }
    uint32_t clear();
    static bool isValidString(const char* text) { return PresetContentsList::isValidString(text); }

private:
    // Takes the single entry a scratch preset list accepted.
    JLIB::JResult take(JLIB::JResult result, const PresetContentsList& scratch);

    std::vector<SnapshotContentsItem> m_items;
};

// The container block "#PDB SS": one "#SC1" item image as data.
class MBDFPDBSSBlock : public FILECACHE::MBDFAbstractBlock {
public:
    MBDFPDBSSBlock() = default;
    MBDFPDBSSBlock(const MBDFPDBSSBlock&) = default;
    MBDFPDBSSBlock& operator=(const MBDFPDBSSBlock&) = default;

    using FILECACHE::MBDFAbstractBlock::initialize;
    // 0x80000001 invalid entry, no database of its name, a failed size query or store,
    // 0x80000005 without memory, 0x80000003 when the entry cannot write its image.
    [[nodiscard]] uint32_t initialize(const char* subTag, const SnapshotContentsItem& item, uint32_t dbWord,
                                      bool withValues, const ParameterDBCollection& registry);
    [[nodiscard]] uint32_t initialize(const char* subTag, const SnapshotContentsItem& item, uint32_t dbWord,
                                      bool withValues);
    bool isValid() const override;
    uint32_t blockTagLength() const override { return 12; }

    static const char* constBlockTag() { return "#PDB SS"; }
    static uint32_t useThisBlock() { return FILECACHE::useBlockType<MBDFPDBSSBlock>(); }
};

// Defined with SnapshotData, in its .cpp.
extern template class stored::StoredFile<SnapshotContentsList, MBDFPDBSSBlock>;

class SnapshotData : public stored::StoredFile<SnapshotContentsList, MBDFPDBSSBlock> {
public:
    static constexpr const char* kFileType = "Snapshot";
    static constexpr const char* kInfoName = "SnapshotInfo";
    static constexpr InfoAddress kDataType = kTypeText;

    SnapshotData();
    ~SnapshotData() override;

    // As the preset's, with the live "SnapshotInfo"; 0x80000001 for a null product name.
    [[nodiscard]] JLIB::JResult initialize(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                           const SnapshotContentsList& contents, const char* folder);
    [[nodiscard]] JLIB::JResult applySnapshotInfo(const IParameterDB& info);
    // Every entry returns to its own database and component. 0x80080000 when not cached,
    // 0x80010000 when an entry or the information failed (the others are still written).
    [[nodiscard]] JLIB::JResult recall();
    // As recall, but the elements the recall-safe list names keep their live values.
    [[nodiscard]] JLIB::JResult recall(const SnapshotContentsList& recallSafe);
    // Keeps the product name, product version, database word and folder.
    uint32_t clear();

    IParameterDB& snapshotInfo() { return m_info; }
    // The first database of that name in gPDBCollection, or the null database.
    IParameterDB& getPDB(const char* name);
    const IParameterDB& getPDB(const char* name) const;

private:
    void listContents() override;
    bool protectFlag(const IParameterDB& info) const override;
};

}  // namespace PDB
