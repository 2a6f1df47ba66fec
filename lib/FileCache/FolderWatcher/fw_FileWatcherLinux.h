#pragma once
// The watcher on Linux: a snapshot of every file below each watched folder, compared with the
// folder when the watch is marked as changed. The change source of a watch is an inotify
// descriptor on each folder walked; it marks the watch only when serviceEvents drains it.
// Owner task only; no locks.
#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "fw_FileWatcherImpl.h"

namespace FW {

class FileWatcherLinux : public FileWatcherImpl {
public:
    static constexpr int32_t kMaxWatches = 20;

    // One file of a snapshot: its status record at the last scan that stored it, and what the
    // current check found.
    class FileWatcherLinuxItem {
    public:
        enum ItemAction : int32_t { kUnchanged = 0, kNotSeen = 1, kNew = 2, kModified = 3 };

        bool SetAttribute(const struct stat& attributes);
        bool GetAttribute(struct stat& attributes) const;
        ItemAction SetAction(ItemAction action);  // answers the previous action
        ItemAction GetAction() const { return m_action; }

    private:
        ItemAction m_action = kNotSeen;
        struct stat m_attributes {};
    };

    // Keyed by the path relative to the watched folder, in byte order.
    using Snapshot = std::map<std::string, FileWatcherLinuxItem>;

    FileWatcherLinux();
    ~FileWatcherLinux() override;
    FileWatcherLinux(const FileWatcherLinux&) = delete;
    FileWatcherLinux& operator=(const FileWatcherLinux&) = delete;

    WatchID addWatch(const std::string& folder, FileWatchListener* listener) override;
    void removeWatch(const std::string& folder) override;
    void removeWatch(WatchID watchId) override;
    void update() override;
    void handleAction(WatchStruct* watch, const std::string& filename, Actions::Action action) override;

    // Drains the change source of every watch and marks those that saw events. The engine's
    // own update never calls it, so listings change only when refreshed; a task that wants
    // live changes calls it before update.
    void serviceEvents();

private:
    void releaseSlot(int32_t slot);
    void moveNextFree(int32_t from);
    void refreshDir(int32_t slot, const std::string& folder);
    void checkDir(WatchStruct& watch, int32_t slot);
    void recursiveRefresh(int32_t slot, const std::string& folder, const std::string& relative);
    void recursiveListUp(int32_t slot, const std::string& folder, const std::string& relative);
    template <typename OnFile>
    void walk(int32_t slot, const std::string& folder, const std::string& relative, OnFile& onFile);

    std::map<WatchID, std::unique_ptr<WatchStruct>> m_watches;
    bool m_used[kMaxWatches] = {};
    int32_t m_numWatches = 0;
    int32_t m_nextFree = 0;
    int m_streams[kMaxWatches];  // inotify descriptors, -1 when none
    Snapshot m_snapshots[kMaxWatches];
};

// The change source's hook: marks the watch for the next update.
void myCallback(WatchStruct* watch);

// Negative, zero or positive as a is earlier, equal or later than b.
int32_t _timespec_compare(const struct timespec& a, const struct timespec& b);

// "" for a null name, the name alone after an empty folder, else folder "/" name.
std::string connectName(const std::string& folder, const char* name);

}  // namespace FW
