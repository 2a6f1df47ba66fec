#pragma once
// A preset: chosen values of one component with descriptive information, stored from the live
// databases, held as a container of file type "Preset", saved, loaded and recalled onto any
// component of the same type. No lock of its own: one task at a time; the databases lock for
// themselves, and a caller wanting one change holds the target database's write lock around it.
#include <cstdint>
#include <string>

#include "FileCache/fcache_MBDF.h"
#include "jlib/jlib_result.h"
#include "pdb_AddressId.h"
#include "pdb_LocalParameterDB.h"
#include "pdb_PresetItem.h"
#include "pdb_UniqId.h"

namespace PDB {

class PresetData {
public:
    static constexpr const char* kFileType = "Preset";
    static constexpr const char* kInfoName = "PresetInfo";
    static constexpr uint32_t kInfoAddressNum = 13;
    // Indexes into the information addresses.
    enum InfoAddress : uint32_t {
        kProductName, kProductSubName, kPresetType, kProtect, kTitle, kComment, kOwnerName,
        kYear, kMonth, kDay, kHour, kMinute, kSecond
    };
    // store() when an item block was left out; the log names the entry.
    static constexpr JLIB::JResult kEntryLeftOut = 0x80000040u;

    // Registers the top, end, preset item and database block types once per process.
    PresetData();
    virtual ~PresetData();
    PresetData(const PresetData&) = delete;
    PresetData& operator=(const PresetData&) = delete;

    // Replaces the settings and the contents; the container and the file name stay. The preset
    // information becomes a defaulted copy of the live "PresetInfo" when it is registered.
    // 0x80000001 for a null product name.
    [[nodiscard]] JLIB::JResult initialize(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                           const char* presetType, const PresetContentsList& contents,
                                           const char* folder);
    // Reads the contents from the live databases into the container, with info as the time-stamped
    // information. 0x80080000 for empty contents or an info of another name, 0x80000008 when the
    // preset is protected and info keeps it so, kEntryLeftOut when a block could not be built
    // (it and every later entry are missing from the container).
    [[nodiscard]] JLIB::JResult store(const IParameterDB& info);
    [[nodiscard]] JLIB::JResult update() { return store(m_info); }
    // Replaces the information and, in a cached container, only its block.
    [[nodiscard]] JLIB::JResult applyPresetInfo(const IParameterDB& info);
    // Every entry goes into component id of db, whatever it was stored from. 0x80080000 when not
    // cached, 0x80010000 when an entry or the information failed (the others are still written).
    [[nodiscard]] JLIB::JResult recall(IParameterDB& db, const UniqId& id);
    // As recall, but the elements the recall-safe list names keep their current values.
    [[nodiscard]] JLIB::JResult recall(IParameterDB& db, const UniqId& id, const PresetContentsList& recallSafe);
    // 0x80000001 null name, 0x80000000 no container, 0x80020000 other type or product,
    // 0x80010000 invalid container or information.
    [[nodiscard]] JLIB::JResult load(const char* fileName);
    // Store first when not cached. saveAs: 0x80080000 for a null name; writing: 0x80000001 null
    // name, 0x80080000 empty contents, 0x80000080 write failure.
    [[nodiscard]] JLIB::JResult saveAs(const char* fileName);
    [[nodiscard]] JLIB::JResult save();
    [[nodiscard]] JLIB::JResult copyTo(const char* fileName);
    [[nodiscard]] JLIB::JResult remove();
    // 32 upper-case hexadecimal digits and ".dat"; 0x80000000 and empty text on failure.
    [[nodiscard]] JLIB::JResult makeFileName(std::string& out) const;

    // The container as one image: top, information, item and end blocks.
    uint32_t exportBinarySize() const;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size) const;
    // The information and the file name stay; the contents list what the image holds.
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t* image, uint32_t size);

    bool isValid() const { return m_contents.num() != 0; }
    bool isCached() const { return m_container.isDataCached(); }
    uint32_t unCache() { return m_container.clear(); }
    bool isProtected() const;
    uint32_t clear();

    IParameterDB& presetInfo() { return m_info; }
    const PresetContentsList& contents() const { return m_contents; }
    std::string fileName() const { return m_fileName; }

private:
    [[nodiscard]] JLIB::JResult writeTo(const char* fileName);
    // Lists the item blocks of the container, without values.
    void listContents();
    std::string fullPath(const std::string& name) const;

    std::string m_productName;
    uint32_t m_productVersion = 0;
    uint32_t m_dbWord = 0;
    std::string m_folder;
    PresetContentsList m_contents;
    FILECACHE::MBDF m_container;
    std::string m_fileName;
    LocalParameterDB m_info;
    AddressId m_infoAddress[kInfoAddressNum];
};

}  // namespace PDB
