#pragma once
// An in-memory listing of one folder (and, when asked, its sub-folders) kept in step with the
// disk by its own operations, refreshes and the reports of its folder watcher.
// Owner task only: no locks; callbacks run synchronously on the owner's task.
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "FileCache/FolderWatcher/fw_FileWatcher.h"
#include "fcache_IVDirTreeCallback.h"
#include "fcache_VDirTreeItem.h"
#include "jlib/jlib_result.h"

namespace FILECACHE {

class VDir : public FW::FileWatchListener {
public:
    enum FindMode : int32_t { FIND_ANY = 0, FIND_FILE = 1, FIND_DIR = 2 };
    using ItemList = std::list<std::unique_ptr<VDirTreeItem>>;
    using iterator = ItemList::iterator;
    using const_iterator = ItemList::const_iterator;

    // dotEntries: also list "." and "..". detectFolders false: every entry is a file item.
    // recursive: descend into sub-folders when listing.
    explicit VDir(bool dotEntries);
    VDir(bool dotEntries, bool detectFolders);
    VDir(bool dotEntries, bool detectFolders, bool recursive);
    ~VDir() override;
    VDir(const VDir&) = delete;
    VDir& operator=(const VDir&) = delete;

    JLIB::JResult setName(const char* name);
    const char* name() const { return m_name.c_str(); }
    const char* currentDir() const { return m_currentDir.c_str(); }

    // Makes the folder, holds at most limit + 2 entries (0 is refused) and lists it.
    [[nodiscard]] JLIB::JResult setBasePath(const char* path, uint32_t limit, bool create);
    // Below 0: ask the disk whether an entry is a folder; 0: never a folder; 1: only top-level
    // entries are folders; 2 or more: entries are refused.
    JLIB::JResult setFixedSubDirDepth(int32_t depth);
    // target: null/"" the base, "." here, ".." up (never above the base), "/x" below the base,
    // "x" below here. 0 once in a folder, even when its relisting failed.
    [[nodiscard]] JLIB::JResult chDir(bool create, const char* target, bool force);
    [[nodiscard]] JLIB::JResult refresh(bool create);

    // callback is borrowed until stopWatching. Already watching: 0 and the old callback stays.
    [[nodiscard]] JLIB::JResult startWatching(IVDirTreeCallback* callback, bool refreshFirst);
    [[nodiscard]] JLIB::JResult stopWatching();
    bool isWatching() const { return m_watchId != 0; }
    // Brings the listing up to date with the watcher's reports, calling the callback for each.
    [[nodiscard]] JLIB::JResult checkModification();
    // Lets the watcher collect what changed on disk since the last call, for the next
    // checkModification to report. Without it a listing follows only its own operations and
    // refreshes.
    [[nodiscard]] JLIB::JResult serviceWatcher();

    // Names are patterns: "*" any run, "?" one character, case-sensitive; end() when none.
    iterator find(FindMode mode, const char* pattern);
    const_iterator find(FindMode mode, const char* pattern) const;
    iterator findNext(FindMode mode, const char* pattern, iterator position);
    const_iterator findNext(FindMode mode, const char* pattern, const_iterator position) const;
    iterator begin() { return m_items.begin(); }
    const_iterator begin() const { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator end() const { return m_items.end(); }
    uint64_t itemNum() const { return m_items.size(); }

    [[nodiscard]] JLIB::JResult makeFile(const char* name, bool create);
    [[nodiscard]] JLIB::JResult makeDir(const char* name, bool create);
    [[nodiscard]] JLIB::JResult addEntry(const char* name, bool create);
    // Drops the item from the listing only.
    [[nodiscard]] JLIB::JResult deleteEntry(const char* name);
    [[nodiscard]] JLIB::JResult remove(const char* name, bool recursive);
    [[nodiscard]] JLIB::JResult removeAll(bool recursive);
    [[nodiscard]] JLIB::JResult rename(const char* name, const char* newName);
    [[nodiscard]] JLIB::JResult copy(const char* name, const char* newName);
    // Files by name without extension first, then by full name; stable.
    JLIB::JResult sort(bool ascending);
    JLIB::JResult clearAllEntry();
    JLIB::JResult dump() const;

    static std::string getExtention(const char* name);
    // Drops empty and "." parts; ".." parts stay.
    static JLIB::JResult formatPath(std::string& path);
    static bool findModeCheck(const VDirTreeItem* item, FindMode mode);
    static bool wildCardMatching(const char* name, const char* pattern);

    void handleFileAction(FW::WatchID watchId, const std::string& folder, const std::string& filename,
                          FW::Actions::Action action) override;
    // Called after every refresh; nothing here.
    virtual void onRefreshed();

private:
    JLIB::JResult refreshCore(bool create, const std::string& subPath);
    JLIB::JResult makeItem(const char* name, bool create, VDirTreeItem::ItemType type, const char* who);
    bool descends(const std::string& relative, bool topLevel) const;
    template <typename It>
    static It findFrom(It from, It end, FindMode mode, const char* pattern);

    bool m_dotEntries;
    bool m_detectFolders;
    bool m_recursive;
    std::string m_name;
    std::string m_basePath;
    std::string m_currentDir;
    uint32_t m_itemLimit = 100;
    IVDirTreeCallback* m_pCallback = nullptr;  // borrowed from startWatching's caller
    ItemList m_items;
    FW::WatchID m_watchId = 0;
    FW::FileWatcher m_watcher;
    int32_t m_fixedSubDirDepth = -1;
};

}  // namespace FILECACHE
