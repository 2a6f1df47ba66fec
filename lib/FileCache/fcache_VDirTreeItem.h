#pragma once
// One file or folder entry: where it lies, its kind, and an embedded accessor for the open file
// of a file item. Belongs to the task that owns it (a listing's items to the listing's task).
#include <cstdint>
#include <string>

#include "fcache_FileAccessor.h"
#include "jlib/jlib_result.h"

namespace FILECACHE {

class VDirTreeItem {
public:
    enum ItemType : int32_t { ITEM_NULL = 0, ITEM_FILE = 1, ITEM_DIR = 2 };

    VDirTreeItem() = default;
    virtual ~VDirTreeItem();
    VDirTreeItem(const VDirTreeItem&) = delete;
    // Copies path, type and name; this item's open file is closed first. The other's open file
    // is not shared: two items closing one file would close it twice.
    VDirTreeItem& operator=(const VDirTreeItem& other);

    // Binds the item to path/name; with create, makes a missing parent folder and a missing
    // file (empty) or folder. A bad type or name (invalid for a file, or leading outside the
    // folder: absolute, a ".." part, a backslash) makes the item null and gives 0x80000000.
    [[nodiscard]] virtual JLIB::JResult initialize(const char* path, ItemType type, const char* name, bool create);
    // The file operations answer 0x80000000 unless the item is a file; otherwise the accessor's.
    [[nodiscard]] virtual JLIB::JResult open(FileAccessor::OpenMode mode);
    virtual JLIB::JResult close();
    [[nodiscard]] virtual JLIB::JResult read(void* buffer, uint32_t count, uint32_t* done);
    [[nodiscard]] virtual JLIB::JResult write(const void* bytes, uint32_t count, uint32_t* done);
    [[nodiscard]] virtual JLIB::JResult seek(FileAccessor::SeekOrigin origin, int32_t offset);
    virtual uint32_t tell();
    [[nodiscard]] virtual JLIB::JResult remove(bool recursive);
    // The new name stays in the item's folder; the listing does not test whether it is taken.
    [[nodiscard]] virtual JLIB::JResult rename(const char* newName);
    [[nodiscard]] virtual JLIB::JResult copy(const char* newName);
    [[nodiscard]] virtual JLIB::JResult setAttribute(bool readOnly, bool hidden, bool executable);
    // A hook for derived items; 0 here.
    virtual JLIB::JResult refresh();

    const char* name() const { return m_name.c_str(); }
    JLIB::JResult path(std::string& out) const;
    // path "/" name; a name beginning with "./" loses that first.
    JLIB::JResult pathAndName(std::string& out) const;
    bool isNull() const { return m_type == ITEM_NULL; }
    bool isFile() const { return m_type == ITEM_FILE; }
    bool isDir() const { return m_type == ITEM_DIR; }
    uint32_t size() const;
    bool isReadOnly() const;
    bool isHidden() const;
    bool isExecutable() const;
    [[nodiscard]] JLIB::JResult dateTime(FileAccessor::DateTimeType type, FileAccessor::DateTime& out,
                                         bool toLocal) const;
    bool isOpened() const { return isFile() && m_accessor.isOpened(); }
    bool isCached() const { return false; }
    // For a file: the text after the name's last "." unless that "." is the first character.
    std::string extention() const;
    std::string nameWithoutExtention() const;

private:
    std::string joinInFolder(const char* name) const;

    std::string m_path;
    ItemType m_type = ITEM_NULL;
    std::string m_name;
    FileAccessor m_accessor;
};

}  // namespace FILECACHE
