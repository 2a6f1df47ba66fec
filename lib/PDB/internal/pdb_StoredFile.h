#pragma once
// What presets and snapshots have in common: the settings, the container with its information
// block, the file in the folder and the in-memory image. Each kind gives its texts, its contents
// list and item block type, how it lists the entries of a read container and how it reads the
// protect flag. The member definitions are in pdb_StoredFileImpl.h, instantiated once per kind in
// that kind's .cpp. No lock of its own: one task at a time.
#include <cstdint>
#include <string>

#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_LocalParameterDB.h"
#include "jlib/jlib_result.h"

namespace PDB::stored {

// The texts that tell one kind from the other.
struct Names {
    const char* className;    // in log lines
    const char* fileType;     // of the container
    const char* infoName;     // of the information database
    const char* typeAddress;  // the information's third address
    const char* extension;    // of made file names
};

template <class Contents, class ItemBlock>
class StoredFile {
public:
    static constexpr uint32_t kInfoAddressNum = 13;
    // Indexes into the information addresses; the third one each kind names itself.
    enum InfoAddress : uint32_t {
        kProductName, kProductSubName, kProtect = 3, kTitle, kComment, kOwnerName,
        kYear, kMonth, kDay, kHour, kMinute, kSecond
    };
    // store() when an item block was left out; the log names the entry.
    static constexpr JLIB::JResult kEntryLeftOut = 0x80000040u;

    virtual ~StoredFile() = default;
    StoredFile(const StoredFile&) = delete;
    StoredFile& operator=(const StoredFile&) = delete;

    // Reads the contents from the live databases into the container, with info as the time-stamped
    // information. 0x80080000 for empty contents or an info of another name, 0x80000008 when the
    // data is protected and info keeps it so, kEntryLeftOut when a block could not be built
    // (it and every later entry are missing from the container).
    [[nodiscard]] JLIB::JResult store(const IParameterDB& info);
    [[nodiscard]] JLIB::JResult update() { return store(m_info); }
    // 0x80000001 null name, 0x80000000 no container, 0x80020000 other type or product,
    // 0x80010000 invalid container or information.
    [[nodiscard]] JLIB::JResult load(const char* fileName);
    // Store first when not cached. saveAs: 0x80080000 for a null name; writing: 0x80000001 null
    // name, 0x80080000 empty contents, 0x80000080 write failure.
    [[nodiscard]] JLIB::JResult saveAs(const char* fileName);
    [[nodiscard]] JLIB::JResult save();
    [[nodiscard]] JLIB::JResult copyTo(const char* fileName);
    [[nodiscard]] JLIB::JResult remove();
    // 32 upper-case hexadecimal digits, a dot and the kind's extension; 0x80000000 and empty
    // text on failure.
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

    const Contents& contents() const { return m_contents; }
    std::string fileName() const { return m_fileName; }

protected:
    // The third information address, which each kind names itself.
    static constexpr InfoAddress kTypeText = static_cast<InfoAddress>(2);

    // Registers the top, end, item and database block types once per process.
    explicit StoredFile(const Names& names);

    // Replaces the settings and the contents; the container and the file name stay. The
    // information becomes a defaulted copy of the live one when it is registered, with the
    // product name and, when given, typeText at the third address. 0x80000001 for a null
    // product name.
    [[nodiscard]] JLIB::JResult initializeData(const char* productName, uint32_t productVersion, uint32_t dbWord,
                                               const Contents& contents, const char* folder, const char* typeText);
    // Replaces the information and, in a cached container, only its block; method names the
    // caller in the log.
    [[nodiscard]] JLIB::JResult applyInfo(const IParameterDB& info, const char* method);
    // Empties the contents, the container and the information; the settings stay.
    void clearData();

    std::string m_productName;
    uint32_t m_productVersion = 0;
    uint32_t m_dbWord = 0;
    std::string m_folder;
    Contents m_contents;
    FILECACHE::MBDF m_container;
    std::string m_fileName;
    LocalParameterDB m_info;
    AddressId m_infoAddress[kInfoAddressNum];

private:
    // Lists the item blocks of the container, without values.
    virtual void listContents() = 0;
    // Whether the protect element of info is set.
    virtual bool protectFlag(const IParameterDB& info) const = 0;

    [[nodiscard]] JLIB::JResult writeTo(const char* fileName);
    // Checks type and product of a container just read.
    [[nodiscard]] JLIB::JResult checkKind() const;
    std::string fullPath(const std::string& name) const;

    Names m_names;
};

}  // namespace PDB::stored
