#include "fcache_VDir.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "fcache_MBDF.h"
#include "fsw/fsw_api.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

struct NameBufferDeleter {
    void operator()(char* p) const { (void)JLIB::JDelete(p); }
};

bool isDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

bool isFolderOnDisk(const std::string& path, bool* folder)
{
    uint32_t attribute = 0;
    if (JLIB::isFailure(fsw_getAttribute(&attribute, path.c_str()))) return false;
    *folder = (attribute & kFswAttrDirectory) != 0;
    return true;
}

// Unsigned byte order, a proper prefix first.
int compareBytes(const std::string& a, const std::string& b) { return a.compare(b); }

bool compareVDirTreeItemAscending(const std::unique_ptr<VDirTreeItem>& a, const std::unique_ptr<VDirTreeItem>& b)
{
    if (!a || !b || a->isNull() || b->isNull()) return false;
    if (a->isFile() && b->isFile()) {
        const int stems = compareBytes(a->nameWithoutExtention(), b->nameWithoutExtention());
        if (stems != 0) return stems < 0;
    }
    return std::strcmp(a->name(), b->name()) < 0;
}

bool compareVDirTreeItemDescending(const std::unique_ptr<VDirTreeItem>& a, const std::unique_ptr<VDirTreeItem>& b)
{
    if (!a || !b || a->isNull() || b->isNull()) return false;
    if (a->isFile() && b->isFile()) {
        const int stems = compareBytes(a->nameWithoutExtention(), b->nameWithoutExtention());
        if (stems != 0) return stems > 0;
    }
    return std::strcmp(a->name(), b->name()) > 0;
}

// A target other than ".." itself may not climb: the base path bounds the listing.
bool climbsOut(const char* target)
{
    if (std::strcmp(target, "..") == 0) return false;
    if (std::strchr(target, '\\')) return true;
    std::vector<std::string> parts;
    (void)splitString(parts, target, "/");  // cannot fail
    for (const std::string& part : parts) {
        if (part == "..") return true;
    }
    return false;
}

}  // namespace

VDir::VDir(bool dotEntries) : VDir(dotEntries, true, false) {}

VDir::VDir(bool dotEntries, bool detectFolders) : VDir(dotEntries, detectFolders, false) {}

VDir::VDir(bool dotEntries, bool detectFolders, bool recursive)
    : m_dotEntries(dotEntries), m_detectFolders(detectFolders), m_recursive(recursive)
{
}

VDir::~VDir()
{
    if (isWatching()) (void)stopWatching();  // the watcher goes with the listing anyway
    (void)clearAllEntry();                   // always 0
}

JLIB::JResult VDir::setName(const char* name)
{
    m_name = name ? name : "";
    return 0;
}

JLIB::JResult VDir::setBasePath(const char* path, uint32_t limit, bool create)
{
    if (limit == 0) return kFailed;
    m_basePath = path ? path : "";
    (void)formatPath(m_basePath);  // always 0
    m_itemLimit = limit + 2;
    (void)fsw_makeDir(m_basePath.c_str());  // an existing or unmakeable folder shows in chDir
    return chDir(create, nullptr, true);
}

JLIB::JResult VDir::setFixedSubDirDepth(int32_t depth)
{
    m_fixedSubDirDepth = depth;
    return 0;
}

JLIB::JResult VDir::chDir(bool create, const char* target, bool force)
{
    // Without a base path a "/x" target would name a folder of the whole disk.
    if (m_basePath.empty()) return kFailed;
    std::string folder;
    if (!target || !*target) {
        folder = m_basePath;
    } else if (std::strcmp(target, ".") == 0) {
        folder = m_currentDir;
    } else if (std::strcmp(target, "..") == 0) {
        if (m_currentDir == m_basePath) return kFailed;
        const size_t slash = m_currentDir.rfind('/');
        if (slash == std::string::npos) return kFailed;
        folder = m_currentDir.substr(0, slash);
    } else if (climbsOut(target)) {
        JLIB_LOG("[E] VDir::chDir - refused a target outside the base folder: \"%s\"!\n", target);
        return kFailed;
    } else if (target[0] == '/') {
        folder = m_basePath + "/" + (target + 1);
    } else {
        folder = m_currentDir + "/" + target;
    }
    (void)formatPath(folder);  // always 0

    bool isFolder = false;
    if (!isFolderOnDisk(folder, &isFolder) || !isFolder) return kFailed;
    if (!force && folder == m_currentDir) return 0;

    const bool wasWatching = isWatching();
    IVDirTreeCallback* callback = m_pCallback;
    if (wasWatching) (void)stopWatching();  // it was watching, so this cannot be refused
    m_currentDir = folder;
    (void)refresh(create);  // a failed relisting keeps what it listed; the folder is entered
    if (wasWatching) (void)startWatching(callback, false);  // logged where it fails
    if (m_pCallback) (void)m_pCallback->onDirStatusChanged(IVDirTreeCallback::REASON_CHDIR, nullptr);
    return 0;
}

JLIB::JResult VDir::refresh(bool create)
{
    (void)clearAllEntry();  // always 0
    const JLIB::JResult result = refreshCore(create, std::string());
    onRefreshed();
    return result;
}

void VDir::onRefreshed() {}

bool VDir::descends(const std::string& relative, bool topLevel) const
{
    if (m_fixedSubDirDepth < 0) {
        bool folder = false;
        return isFolderOnDisk(m_currentDir + "/" + relative, &folder) && folder;
    }
    return m_fixedSubDirDepth == 1 && topLevel;
}

JLIB::JResult VDir::refreshCore(bool create, const std::string& subPath)
{
    std::string folder = m_currentDir;
    std::string prefix;
    if (!subPath.empty()) {
        folder += "/" + subPath;
        prefix = subPath + "/";
    } else if (m_currentDir.empty()) {
        return kFailed;
    }

    T_FSW_DIR* dir = nullptr;
    if (JLIB::isFailure(fsw_openDir(&dir, folder.c_str()))) {
        JLIB_LOG("[E] VDir::refresh - cannot open a directory!\n");
        return kFailed;
    }
    JLIB::JResult result = 0;
    for (;;) {
        uint32_t size = 0;
        const JLIB::JResult sizeResult = fsw_readDirSize(dir, &size);
        if (sizeResult == kFswNotFound) break;
        if (JLIB::isFailure(sizeResult) || size == 0) {
            JLIB_LOG("[E] VDir::refresh - cannot get a directory entry size!\n");
            result = kFailed;
            break;
        }
        std::unique_ptr<char, NameBufferDeleter> buffer(
            JLIB::JNew<char>(0, "VDir::refresh entry", static_cast<uint32_t>(prefix.size()) + size));
        JLIB::JResult readResult = kFswNoMemory;
        if (buffer) {
            std::memcpy(buffer.get(), prefix.data(), prefix.size());
            readResult = fsw_readDir(dir, buffer.get() + prefix.size(), size);
        }
        if (readResult == kFswNotFound) break;
        if (JLIB::isFailure(readResult)) {
            JLIB_LOG("[E] VDir::refresh - cannot read a directory entry!\n");
            result = kFailed;
            break;
        }
        const char* entryName = buffer.get() + prefix.size();
        const std::string relative(buffer.get());

        if (m_recursive && !isDotEntry(entryName) && descends(relative, subPath.empty())) {
            (void)refreshCore(create, relative);  // a sub-folder that fails is logged there
        }
        if (!subPath.empty() && isDotEntry(entryName)) continue;
        if (find(FIND_ANY, relative.c_str()) != end()) continue;
        if (JLIB::isFailure(addEntry(relative.c_str(), create))) {
            result = kFailed;
            break;
        }
    }
    if (JLIB::isFailure(fsw_closeDir(dir))) {
        JLIB_LOG("[E] VDir::refresh - cannot close a directory!\n");
        return kFailed;
    }
    return result;
}

JLIB::JResult VDir::addEntry(const char* name, bool create)
{
    if (!name) return kFailed;
    if (isDotEntry(name) && !m_dotEntries) return 0;
    bool folder = false;
    if (m_detectFolders) {
        if (m_fixedSubDirDepth < 0) {
            if (!isFolderOnDisk(m_currentDir + "/" + name, &folder)) return kFailed;
        } else if (m_fixedSubDirDepth == 1) {
            folder = !std::strchr(name, '/') && !std::strchr(name, '\\');
        } else if (m_fixedSubDirDepth >= 2) {
            return kFailed;
        }
    }
    return folder ? makeDir(name, create) : makeFile(name, create);
}

JLIB::JResult VDir::makeFile(const char* name, bool create)
{
    return makeItem(name, create, VDirTreeItem::ITEM_FILE, "makeFile");
}

JLIB::JResult VDir::makeDir(const char* name, bool create)
{
    return makeItem(name, create, VDirTreeItem::ITEM_DIR, "makeDir");
}

JLIB::JResult VDir::makeItem(const char* name, bool create, VDirTreeItem::ItemType type, const char* who)
{
    if (!name) return kFailed;
    if (m_items.size() >= m_itemLimit) {
        JLIB_LOG("[E] VDir::%s - too many files and directories!\n", who);
        return kFailed;
    }
    if (find(type == VDirTreeItem::ITEM_FILE ? FIND_FILE : FIND_DIR, name) != end()) return 0;
    std::unique_ptr<VDirTreeItem> item(new (std::nothrow) VDirTreeItem);
    if (!item) {
        if (type == VDirTreeItem::ITEM_FILE) {
            JLIB_LOG("[E] VDir::makeFile - cannot create new file!\n");
        } else {
            JLIB_LOG("[E] VDir::makeDir - cannot create new directory!\n");
        }
        return kFailed;
    }
    // A refused name leaves a null item that still counts against the limit.
    (void)item->initialize(m_currentDir.c_str(), type, name, create);
    m_items.push_back(std::move(item));
    return 0;
}

template <typename It>
It VDir::findFrom(It from, It end, FindMode mode, const char* pattern)
{
    if (!pattern) return end;
    for (It it = from; it != end; ++it) {
        const VDirTreeItem* item = it->get();
        if (item && findModeCheck(item, mode) && wildCardMatching(item->name(), pattern)) return it;
    }
    return end;
}

VDir::iterator VDir::find(FindMode mode, const char* pattern)
{
    return findFrom(m_items.begin(), m_items.end(), mode, pattern);
}

VDir::const_iterator VDir::find(FindMode mode, const char* pattern) const
{
    return findFrom(m_items.cbegin(), m_items.cend(), mode, pattern);
}

VDir::iterator VDir::findNext(FindMode mode, const char* pattern, iterator position)
{
    if (position == m_items.end()) return position;
    return findFrom(std::next(position), m_items.end(), mode, pattern);
}

VDir::const_iterator VDir::findNext(FindMode mode, const char* pattern, const_iterator position) const
{
    if (position == m_items.cend()) return position;
    return findFrom(std::next(position), m_items.cend(), mode, pattern);
}

bool VDir::findModeCheck(const VDirTreeItem* item, FindMode mode)
{
    if (!item) return false;
    switch (mode) {
    case FIND_ANY: return !item->isNull();
    case FIND_FILE: return item->isFile();
    case FIND_DIR: return item->isDir();
    }
    return false;
}

bool VDir::wildCardMatching(const char* name, const char* pattern)
{
    if (!name || !pattern) return false;
    // Backtrack only to the latest "*": the same answers as trying every split, in linear
    // passes, so a hostile pattern cannot blow up the time.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern && (*pattern == '?' || *pattern == *name)) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

JLIB::JResult VDir::deleteEntry(const char* name)
{
    const iterator it = find(FIND_ANY, name);
    if (it == m_items.end()) return kFailed;
    if ((*it)->isFile()) (void)(*it)->close();  // closing a closed file is answered and harmless
    m_items.erase(it);
    return 0;
}

JLIB::JResult VDir::remove(const char* name, bool recursive)
{
    const iterator it = find(FIND_ANY, name);
    if (it == m_items.end()) return kFailed;
    if ((*it)->isFile()) (void)(*it)->close();  // closing a closed file is answered and harmless
    if (JLIB::isFailure((*it)->remove(recursive))) return kFailed;
    m_items.erase(it);
    return 0;
}

JLIB::JResult VDir::removeAll(bool recursive)
{
    const bool wasWatching = isWatching();
    IVDirTreeCallback* callback = m_pCallback;
    if (wasWatching) (void)stopWatching();  // it was watching, so this cannot be refused
    JLIB::JResult result = 0;
    for (iterator it = m_items.begin(); it != m_items.end();) {
        const iterator next = std::next(it);
        const std::string name = (*it)->name();
        if (JLIB::isFailure(remove(name.c_str(), recursive))) result = kFailed;
        it = next;
    }
    if (wasWatching) (void)startWatching(callback, false);  // logged where it fails
    return result;
}

JLIB::JResult VDir::rename(const char* name, const char* newName)
{
    if (!name || !newName) return kFailed;
    const iterator it = find(FIND_ANY, name);
    if (it == m_items.end()) return kFailed;
    return (*it)->rename(newName);
}

JLIB::JResult VDir::copy(const char* name, const char* newName)
{
    if (!name || !newName) return kFailed;
    const iterator it = find(FIND_ANY, name);
    if (it == m_items.end()) return kFailed;
    if (JLIB::isFailure((*it)->copy(newName))) return kFailed;
    return makeFile(newName, true);
}

JLIB::JResult VDir::sort(bool ascending)
{
    if (ascending) {
        m_items.sort(compareVDirTreeItemAscending);
    } else {
        m_items.sort(compareVDirTreeItemDescending);
    }
    return 0;
}

JLIB::JResult VDir::clearAllEntry()
{
    for (auto& item : m_items) {
        if (item && item->isOpened()) (void)item->close();  // the item goes either way
    }
    m_items.clear();
    return 0;
}

std::string VDir::getExtention(const char* name)
{
    if (!name) return std::string();
    const char* dot = std::strrchr(name, '.');
    if (!dot || dot == name) return std::string();
    return dot + 1;
}

JLIB::JResult VDir::formatPath(std::string& path)
{
    std::vector<std::string> parts;
    (void)splitString(parts, path, "/");  // cannot fail
    std::string joined;
    for (const std::string& part : parts) {
        if (part.empty() || part == ".") continue;
        if (!joined.empty()) joined += "/";
        joined += part;
    }
    if (!joined.empty() && !path.empty() && path[0] == '/') joined.insert(0, "/");
    path = joined;
    return 0;
}

JLIB::JResult VDir::startWatching(IVDirTreeCallback* callback, bool refreshFirst)
{
    if (refreshFirst) (void)refresh(false);  // a partial listing is still watched
    if (isWatching()) return 0;
    m_pCallback = callback;
    try {
        m_watchId = m_watcher.addWatch(m_currentDir, this);
    } catch (...) {
        JLIB_LOG("[E] VDir::startWatching - cannot add a watching record of \"%s\"!\n", m_currentDir.c_str());
        m_pCallback = nullptr;
        return kFailed;
    }
    JLIB_LOG("[i] VDir::startWatching - start to watch changes of \"%s\".\n", m_currentDir.c_str());
    return 0;
}

JLIB::JResult VDir::stopWatching()
{
    if (!isWatching()) return kFailed;
    JLIB::JResult result = 0;
    try {
        m_watcher.removeWatch(m_watchId);
        m_watchId = 0;
        JLIB_LOG("[i] VDir::stopWatching - stop to watch changes of \"%s\".\n", m_currentDir.c_str());
    } catch (...) {
        JLIB_LOG("[E] VDir::stopWatching - cannot remove a watching record of \"%s\"!\n", m_currentDir.c_str());
        m_watchId = 0;
        result = kFailed;
    }
    m_pCallback = nullptr;
    return result;
}

JLIB::JResult VDir::checkModification()
{
    try {
        m_watcher.update();
    } catch (...) {
        JLIB_LOG("[E] VDir::checkModification - an error happened.\n");
        return kFailed;
    }
    return 0;
}

JLIB::JResult VDir::serviceWatcher()
{
    if (!isWatching()) return kFailed;
    m_watcher.serviceEvents();
    return 0;
}

void VDir::handleFileAction(FW::WatchID watchId, const std::string& folder, const std::string& filename,
                            FW::Actions::Action action)
{
    (void)watchId;  // one watch per listing: the folder tells enough
    JLIB_ASSERT(folder == m_currentDir);
    if (filename.empty() && action != FW::Actions::Relist) return;
    IVDirTreeCallback::ChangeReason reason = IVDirTreeCallback::REASON_UNKNOWN;
    switch (action) {
    case FW::Actions::Add:
        (void)addEntry(filename.c_str(), true);  // a full listing drops it; the callback still hears
        reason = IVDirTreeCallback::REASON_ADDED;
        break;
    case FW::Actions::Delete:
        (void)deleteEntry(filename.c_str());  // an entry never listed has nothing to drop
        reason = IVDirTreeCallback::REASON_DELETED;
        break;
    case FW::Actions::Modified: {
        const iterator it = find(FIND_ANY, filename.c_str());
        if (it != m_items.end()) {
            (void)(*it)->refresh();  // the item's own affair
        } else {
            (void)addEntry(filename.c_str(), true);  // as for an added entry
        }
        reason = IVDirTreeCallback::REASON_MODIFIED;
        break;
    }
    case FW::Actions::Relist:
        (void)refresh(true);  // logged where it fails
        reason = IVDirTreeCallback::REASON_RELIST;
        break;
    }
    if (m_pCallback) (void)m_pCallback->onDirStatusChanged(reason, filename.c_str());
}

JLIB::JResult VDir::dump() const
{
    std::printf("----------------------------\n");
    std::printf("PATH: %s\n", m_currentDir.c_str());
    for (const auto& item : m_items) {
        if (item && item->isDir()) {
            std::printf("  [%s]\n", item->name());
        } else if (item) {
            std::printf("  %s\n", item->name());
        }
    }
    std::printf("----------------------------\n");
    return 0;
}

}  // namespace FILECACHE
