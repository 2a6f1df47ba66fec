#include "fw_FileWatcherLinux.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace FW {

namespace {

constexpr uint32_t kEventMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

struct DirCloser {
    void operator()(DIR* dir) const { (void)closedir(dir); }  // read-only stream: nothing to lose
};

}  // namespace

bool FileWatcherLinux::FileWatcherLinuxItem::SetAttribute(const struct stat& attributes)
{
    m_attributes = attributes;
    return true;
}

bool FileWatcherLinux::FileWatcherLinuxItem::GetAttribute(struct stat& attributes) const
{
    attributes = m_attributes;
    return true;
}

FileWatcherLinux::FileWatcherLinuxItem::ItemAction FileWatcherLinux::FileWatcherLinuxItem::SetAction(
    ItemAction action)
{
    const ItemAction previous = m_action;
    m_action = action;
    return previous;
}

void myCallback(WatchStruct* watch)
{
    if (watch) watch->changed = true;
}

int32_t _timespec_compare(const struct timespec& a, const struct timespec& b)
{
    if (a.tv_sec < b.tv_sec) return -1;
    if (a.tv_sec > b.tv_sec) return 1;
    return static_cast<int32_t>(a.tv_nsec - b.tv_nsec);
}

std::string connectName(const std::string& folder, const char* name)
{
    if (!name) return std::string();
    if (folder.empty()) return name;
    return folder + "/" + name;
}

FileWatcherLinux::FileWatcherLinux()
{
    for (int& stream : m_streams) stream = -1;
}

FileWatcherLinux::~FileWatcherLinux()
{
    // Close the change sources before the records go, as they are what a source marks.
    for (int32_t slot = 0; slot < kMaxWatches; ++slot) {
        if (m_streams[slot] >= 0) (void)close(m_streams[slot]);  // nothing to report to from here
        m_streams[slot] = -1;
    }
}

WatchID FileWatcherLinux::addWatch(const std::string& folder, FileWatchListener* listener)
{
    if (m_numWatches >= kMaxWatches) return kInvalidWatchID;
    const int32_t slot = m_nextFree;
    auto watch = std::make_unique<WatchStruct>();
    watch->id = static_cast<WatchID>(slot) + 1;
    watch->folder = folder;
    watch->listener = listener;
    watch->changed = false;

    // A folder inotify cannot watch still gets its snapshot; only live marking is lost.
    m_streams[slot] = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    refreshDir(slot, folder);

    const WatchID id = watch->id;
    try {
        m_watches.emplace(id, std::move(watch));
    } catch (...) {
        releaseSlot(slot);  // give the descriptor and snapshot back before the caller hears
        throw;
    }
    m_used[slot] = true;
    ++m_numWatches;
    if (m_numWatches < kMaxWatches) moveNextFree(slot);
    return id;
}

void FileWatcherLinux::moveNextFree(int32_t from)
{
    for (int32_t i = (from + 1) % kMaxWatches; i != from; i = (i + 1) % kMaxWatches) {
        if (!m_used[i]) {
            m_nextFree = i;
            return;
        }
    }
}

void FileWatcherLinux::releaseSlot(int32_t slot)
{
    if (m_streams[slot] >= 0) (void)close(m_streams[slot]);  // the watch is going either way
    m_streams[slot] = -1;
    m_used[slot] = false;
    m_snapshots[slot].clear();
}

void FileWatcherLinux::removeWatch(WatchID watchId)
{
    auto found = m_watches.find(watchId);
    if (found == m_watches.end()) return;
    std::unique_ptr<WatchStruct> watch = std::move(found->second);
    m_watches.erase(found);
    releaseSlot(static_cast<int32_t>(watch->id - 1));
    --m_numWatches;
    if (m_used[m_nextFree]) moveNextFree(m_nextFree);
}

void FileWatcherLinux::removeWatch(const std::string& folder)
{
    for (const auto& entry : m_watches) {
        if (entry.second->folder == folder) {
            removeWatch(entry.first);
            return;
        }
    }
}

void FileWatcherLinux::update()
{
    // A listener may add or remove watches while it hears a report: walk by id, not iterator.
    std::vector<WatchID> ids;
    ids.reserve(m_watches.size());
    for (const auto& entry : m_watches) ids.push_back(entry.first);
    for (WatchID id : ids) {
        auto found = m_watches.find(id);
        if (found == m_watches.end() || !found->second->changed) continue;
        found->second->changed = false;
        checkDir(*found->second, static_cast<int32_t>(id - 1));
    }
}

void FileWatcherLinux::handleAction(WatchStruct* watch, const std::string& filename, Actions::Action action)
{
    if (watch && watch->listener) watch->listener->handleFileAction(watch->id, watch->folder, filename, action);
}

void FileWatcherLinux::serviceEvents()
{
    // Only whether something happened matters: the rescan finds out what.
    alignas(struct inotify_event) char buffer[4096];
    for (const auto& entry : m_watches) {
        const int stream = m_streams[entry.first - 1];
        if (stream < 0) continue;
        bool any = false;
        while (read(stream, buffer, sizeof(buffer)) > 0) any = true;
        if (any) myCallback(entry.second.get());
    }
}

void FileWatcherLinux::refreshDir(int32_t slot, const std::string& folder)
{
    m_snapshots[slot].clear();
    recursiveRefresh(slot, folder, std::string());
}

void FileWatcherLinux::checkDir(WatchStruct& watch, int32_t slot)
{
    Snapshot& snapshot = m_snapshots[slot];
    for (auto& entry : snapshot) (void)entry.second.SetAction(FileWatcherLinuxItem::kNotSeen);
    recursiveListUp(slot, watch.folder, std::string());

    // Collect first: a listener may remove this very watch while it is being told.
    std::vector<std::pair<std::string, Actions::Action>> reports;
    for (auto it = snapshot.begin(); it != snapshot.end();) {
        if (it->second.GetAction() == FileWatcherLinuxItem::kNotSeen) {
            reports.emplace_back(it->first, Actions::Delete);
            it = snapshot.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& entry : snapshot) {
        if (entry.second.GetAction() == FileWatcherLinuxItem::kNew) reports.emplace_back(entry.first, Actions::Add);
        if (entry.second.GetAction() == FileWatcherLinuxItem::kModified)
            reports.emplace_back(entry.first, Actions::Modified);
    }
    const WatchID id = watch.id;
    for (const auto& report : reports) {
        auto found = m_watches.find(id);
        if (found == m_watches.end()) return;  // the listener removed its watch
        handleAction(found->second.get(), report.first, report.second);
    }
}

template <typename OnFile>
void FileWatcherLinux::walk(int32_t slot, const std::string& folder, const std::string& relative, OnFile& onFile)
{
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return;
    if (m_streams[slot] >= 0) (void)inotify_add_watch(m_streams[slot], folder.c_str(), kEventMask);  // best effort
    while (const struct dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        const std::string path = connectName(folder, entry->d_name);
        const std::string key = connectName(relative, entry->d_name);
        bool isFolder = entry->d_type == DT_DIR;
        // Some file systems leave the type open: ask the entry itself (without following a link).
        if (entry->d_type == DT_UNKNOWN) {
            struct stat own {};
            isFolder = lstat(path.c_str(), &own) == 0 && S_ISDIR(own.st_mode);
        }
        if (isFolder) {
            walk(slot, path, key, onFile);
            continue;
        }
        struct stat attributes {};
        // A file gone between the reading and the query is left for the next check.
        if (stat(path.c_str(), &attributes) == 0) onFile(key, attributes);
    }
}

void FileWatcherLinux::recursiveRefresh(int32_t slot, const std::string& folder, const std::string& relative)
{
    Snapshot& snapshot = m_snapshots[slot];
    auto onFile = [&snapshot](const std::string& key, const struct stat& attributes) {
        FileWatcherLinuxItem& item = snapshot[key];
        (void)item.SetAttribute(attributes);
        (void)item.SetAction(FileWatcherLinuxItem::kUnchanged);
    };
    walk(slot, folder, relative, onFile);
}

void FileWatcherLinux::recursiveListUp(int32_t slot, const std::string& folder, const std::string& relative)
{
    Snapshot& snapshot = m_snapshots[slot];
    auto onFile = [&snapshot](const std::string& key, const struct stat& attributes) {
        auto found = snapshot.find(key);
        if (found == snapshot.end()) {
            FileWatcherLinuxItem& item = snapshot[key];
            (void)item.SetAttribute(attributes);
            (void)item.SetAction(FileWatcherLinuxItem::kNew);
            return;
        }
        struct stat stored {};
        (void)found->second.GetAttribute(stored);
        if (_timespec_compare(stored.st_mtim, attributes.st_mtim) < 0) {
            (void)found->second.SetAction(FileWatcherLinuxItem::kModified);
            (void)found->second.SetAttribute(attributes);
        } else {
            (void)found->second.SetAction(FileWatcherLinuxItem::kUnchanged);
        }
    };
    walk(slot, folder, relative, onFile);
}

}  // namespace FW
