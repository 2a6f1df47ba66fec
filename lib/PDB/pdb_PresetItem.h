#pragma once
// Preset entries ("#PC1" item images with or without their values), the ordered list of a
// preset's entries and the "#PDB PS" block that carries one item image in a container.
// Plain values without locks, used by one task at a time; the databases they read and write
// lock for themselves.
#include <cstdint>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDFAbstractBlock.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "pdb_UniqId.h"

namespace PDB {

class AddressId;
class IParameterDB;
class ParameterDBCollection;

// What one preset entry keeps and where it was taken from.
class PresetContentsItem {
public:
    static constexpr uint32_t KIND_DATABASE = 0;
    static constexpr uint32_t KIND_COMPONENT = 1;
    static constexpr uint32_t KIND_PARAMETER_ARRAY = 2;
    static constexpr uint32_t KIND_PARAMETER = 3;
    static constexpr uint32_t KIND_NONE = 4;
    // x or y of a single-parameter entry: every element along that axis.
    static constexpr uint32_t kAllElements = 0xFFFFFFFFu;
    static constexpr uint32_t kHeaderSize = 16;
    static constexpr uint8_t kValuesFlag = 0x80;

    PresetContentsItem() = default;

    uint32_t clear();
    bool isValid() const;
    uint32_t set(uint32_t kind, const char* dbName, const UniqId& id, const char* componentName, const char* address,
                 uint32_t x, uint32_t y);

    uint32_t kind() const { return m_kind; }
    const std::string& dbName() const { return m_dbName; }
    const UniqId& uniqId() const { return m_uniqId; }
    const std::string& componentName() const { return m_componentName; }
    const std::string& address() const { return m_address; }
    uint32_t x() const { return m_x; }
    uint32_t y() const { return m_y; }

    // The item image's size for the component id of db. A failure code takes the place of the
    // size: 0x80000001 for a component entry whose component is missing, 0x80010000 for a
    // single-parameter entry with x and y both kAllElements.
    uint32_t exportBinarySize(const IParameterDB& db, const UniqId& id, bool withValues) const;
    // Writes the image with id (not the entry's own) in its header. 0x80010000 for an invalid
    // entry, 0x80000001 for a null or short buffer, the failure exportBinarySize answered in
    // place of a size, else the failure of the database.
    [[nodiscard]] JLIB::JResult exportBinary(const IParameterDB& db, const UniqId& id, uint8_t* buffer, uint32_t size,
                                             uint32_t dbWord, bool withValues) const;
    // Reads the image into the entry and, with values, writes them into component id of db
    // (the stored id is not used) inside a recall bracket. 0x80000001 for a null or short image,
    // 0x80010000 for a malformed image or a component of another type, else the failure of
    // the write. Elements written before a failure keep their values.
    [[nodiscard]] JLIB::JResult importBinary(IParameterDB& db, const UniqId& id, const uint8_t* image, uint32_t size,
                                             bool withValues);

    // One element of a single-parameter entry in the encoding of its type code; 0x80000001 for
    // a null pointer, room below elementSize, an unknown type or an element size too small for it.
    [[nodiscard]] static JLIB::JResult exportOneData(uint8_t type, uint32_t elementSize, const JVariant& value,
                                                     uint8_t* position, uint32_t room);
    [[nodiscard]] static JLIB::JResult importOneData(uint8_t type, uint32_t elementSize, JVariant& value,
                                                     const uint8_t* position, uint32_t room);

private:
    uint32_t namesLength() const;

    uint32_t m_kind = KIND_NONE;
    std::string m_dbName;
    UniqId m_uniqId;
    std::string m_componentName;
    std::string m_address;
    uint32_t m_x = 0;
    uint32_t m_y = 0;
};

// The entries of one preset in the order they were added. Every add answers 0 and appends
// one entry, or 0x80000001 and appends nothing.
class PresetContentsList {
public:
    PresetContentsList() = default;
    PresetContentsList(const PresetContentsList&) = default;
    PresetContentsList& operator=(const PresetContentsList&) = default;
    virtual ~PresetContentsList();

    // The adds check names and ids only, not that the component or address exists.
    [[nodiscard]] JLIB::JResult addComponent(const IParameterDB& db, const UniqId& id);
    [[nodiscard]] JLIB::JResult addParameterArray(const IParameterDB& db, const UniqId& id, const char* address);
    // The database is the one gPDBCollection holds under the address's database name.
    [[nodiscard]] JLIB::JResult addParameterArray(const AddressId& address);
    [[nodiscard]] JLIB::JResult addParameter(const IParameterDB& db, const UniqId& id, const char* address, uint32_t x,
                                             uint32_t y);
    [[nodiscard]] JLIB::JResult addParameter(const AddressId& address, uint32_t x, uint32_t y);
    [[nodiscard]] JLIB::JResult addItem(const PresetContentsItem& item);

    // A shared empty entry (kind 4) for an index not below num().
    const PresetContentsItem& item(uint32_t index) const;
    uint32_t num() const { return static_cast<uint32_t>(m_items.size()); }
    uint32_t clear();

    // 1 to 255 bytes.
    static bool isValidString(const char* text);

private:
    std::vector<PresetContentsItem> m_items;
};

// The container block "#PDB PS": one item image, with its values, as data.
class MBDFPDBPSBlock : public FILECACHE::MBDFAbstractBlock {
public:
    MBDFPDBPSBlock() = default;
    MBDFPDBPSBlock(const MBDFPDBPSBlock&) = default;
    MBDFPDBPSBlock& operator=(const MBDFPDBPSBlock&) = default;

    using FILECACHE::MBDFAbstractBlock::initialize;
    // Reads from the database gPDBCollection holds under the entry's database name (none:
    // 0x80000001) with the entry's own unique id.
    [[nodiscard]] uint32_t initialize(const char* subTag, const PresetContentsItem& item, uint32_t dbWord,
                                      bool withValues);
    // 0x80000001 for an invalid entry, a failed size query or a failed store, 0x80000005 without
    // memory, 0x80000003 when the entry cannot write its image.
    [[nodiscard]] uint32_t initialize(const char* subTag, const PresetContentsItem& item, uint32_t dbWord,
                                      bool withValues, const IParameterDB& db, const UniqId& id);
    bool isValid() const override;
    uint32_t blockTagLength() const override { return 12; }

    static const char* constBlockTag() { return "#PDB PS"; }
    static uint32_t useThisBlock() { return FILECACHE::useBlockType<MBDFPDBPSBlock>(); }
};

// The first database of the registry, in slot order, whose name equals the text; null when
// there is none (an empty slot never matches).
IParameterDB* findPDB(const char* name, ParameterDBCollection& registry);

}  // namespace PDB
