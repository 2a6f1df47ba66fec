#include "fcache_VDirTreeItem.h"

#include <cstring>

#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

// Names come from disk and from peers: none may reach outside the item's folder. The dot
// entries themselves name only the listed folder and its parent.
bool staysInFolder(const char* name)
{
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return true;
    if (name[0] == '/' || std::strchr(name, '\\')) return false;
    for (const char* part = name; part;) {
        const char* slash = std::strchr(part, '/');
        const size_t length = slash ? static_cast<size_t>(slash - part) : std::strlen(part);
        if (length == 2 && part[0] == '.' && part[1] == '.') return false;
        part = slash ? slash + 1 : nullptr;
    }
    return true;
}

// The position of the last "." when it is not the first character, else npos.
size_t extensionDot(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return (dot == std::string::npos || dot == 0) ? std::string::npos : dot;
}

}  // namespace

VDirTreeItem::~VDirTreeItem()
{
    if (m_accessor.isOpened()) (void)m_accessor.close();  // nothing to report to from here
}

VDirTreeItem& VDirTreeItem::operator=(const VDirTreeItem& other)
{
    if (this == &other) return *this;
    m_path = other.m_path;
    m_type = other.m_type;
    m_name = other.m_name;
    // Overwriting an open accessor would leak its file; sharing one would close it twice.
    if (m_accessor.isOpened()) (void)m_accessor.close();  // the item now names another entry
    if (!other.m_accessor.isOpened()) m_accessor = other.m_accessor;
    return *this;
}

JLIB::JResult VDirTreeItem::initialize(const char* path, ItemType type, const char* name, bool create)
{
    const bool typeOk = type == ITEM_NULL || type == ITEM_FILE || type == ITEM_DIR;
    if (!typeOk || !name || (type == ITEM_FILE && !FileAccessor::isFileNameValid(name))) {
        m_type = ITEM_NULL;
        return kFailed;
    }
    if (!staysInFolder(name)) {
        JLIB_LOG("[E] VDirTreeItem::initialize - refused a name outside the folder: \"%s\"!\n", name);
        m_type = ITEM_NULL;
        return kFailed;
    }
    m_path = path ? path : "";
    m_type = type;
    m_name = name;
    if (!create) return 0;

    std::string full;
    (void)pathAndName(full);  // cannot fail
    const size_t slash = full.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string parent = full.substr(0, slash);
        if (!FileAccessor::isExist(parent.c_str())) (void)FileAccessor::makeDir(parent.c_str());  // best effort
    }
    if (FileAccessor::isExist(full.c_str())) return 0;
    if (type == ITEM_FILE) {
        FileAccessor creator;
        if (JLIB::isSuccess(creator.open(full.c_str(), FileAccessor::OPEN_APPEND))) (void)creator.close();
    } else if (type == ITEM_DIR) {
        (void)FileAccessor::makeDir(full.c_str());  // best effort, as the creation above
    }
    return 0;
}

JLIB::JResult VDirTreeItem::open(FileAccessor::OpenMode mode)
{
    if (!isFile()) return kFailed;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return m_accessor.open(full.c_str(), mode);
}

JLIB::JResult VDirTreeItem::close()
{
    if (!isFile()) return kFailed;
    return m_accessor.close();
}

JLIB::JResult VDirTreeItem::read(void* buffer, uint32_t count, uint32_t* done)
{
    if (!isFile()) return kFailed;
    return m_accessor.read(buffer, count, done);
}

JLIB::JResult VDirTreeItem::write(const void* bytes, uint32_t count, uint32_t* done)
{
    if (!isFile()) return kFailed;
    return m_accessor.write(bytes, count, done);
}

JLIB::JResult VDirTreeItem::seek(FileAccessor::SeekOrigin origin, int32_t offset)
{
    if (!isFile()) return kFailed;
    return m_accessor.seek(origin, offset);
}

uint32_t VDirTreeItem::tell()
{
    if (!isFile()) return kFailed;
    return m_accessor.tell();
}

JLIB::JResult VDirTreeItem::remove(bool recursive)
{
    if (isNull()) return kFailed;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::remove(full.c_str(), recursive);
}

std::string VDirTreeItem::joinInFolder(const char* name) const
{
    return m_path.empty() ? std::string(name) : m_path + "/" + name;
}

JLIB::JResult VDirTreeItem::rename(const char* newName)
{
    if (isNull() || !newName) return kFailed;
    if (!staysInFolder(newName)) {
        JLIB_LOG("[E] VDirTreeItem::rename - refused a name outside the folder: \"%s\"!\n", newName);
        return kFailed;
    }
    std::string full;
    (void)pathAndName(full);  // cannot fail
    const JLIB::JResult r = FileAccessor::rename(full.c_str(), joinInFolder(newName).c_str());
    if (JLIB::isFailure(r)) return kFailed;
    m_name = newName;
    return r;
}

JLIB::JResult VDirTreeItem::copy(const char* newName)
{
    if (isNull() || !newName) return kFailed;
    if (!staysInFolder(newName)) {
        JLIB_LOG("[E] VDirTreeItem::copy - refused a name outside the folder: \"%s\"!\n", newName);
        return kFailed;
    }
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::copy(full.c_str(), joinInFolder(newName).c_str());
}

JLIB::JResult VDirTreeItem::setAttribute(bool readOnly, bool hidden, bool executable)
{
    if (isNull()) return kFailed;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::setAttribute(full.c_str(), readOnly, hidden, executable);
}

JLIB::JResult VDirTreeItem::refresh() { return 0; }

JLIB::JResult VDirTreeItem::path(std::string& out) const
{
    out = m_path;
    return 0;
}

JLIB::JResult VDirTreeItem::pathAndName(std::string& out) const
{
    const char* name = m_name.c_str();
    if (std::strncmp(name, "./", 2) == 0) name += 2;
    out = m_path.empty() ? std::string(name) : m_path + "/" + name;
    return 0;
}

uint32_t VDirTreeItem::size() const
{
    if (isNull()) return 0;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::size(full.c_str());
}

bool VDirTreeItem::isReadOnly() const
{
    if (isNull()) return true;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::isReadOnly(full.c_str());
}

bool VDirTreeItem::isHidden() const
{
    if (isNull()) return false;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::isHidden(full.c_str());
}

bool VDirTreeItem::isExecutable() const
{
    if (isNull()) return false;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::isExecutable(full.c_str());
}

JLIB::JResult VDirTreeItem::dateTime(FileAccessor::DateTimeType type, FileAccessor::DateTime& out,
                                     bool toLocal) const
{
    if (isNull()) return kFailed;
    std::string full;
    (void)pathAndName(full);  // cannot fail
    return FileAccessor::dateTime(full.c_str(), type, out, toLocal);
}

std::string VDirTreeItem::extention() const
{
    if (!isFile()) return std::string();
    const size_t dot = extensionDot(m_name);
    return dot == std::string::npos ? std::string() : m_name.substr(dot + 1);
}

std::string VDirTreeItem::nameWithoutExtention() const
{
    if (!isFile()) return std::string();
    const size_t dot = extensionDot(m_name);
    return dot == std::string::npos ? m_name : m_name.substr(0, dot);
}

}  // namespace FILECACHE
