#pragma once
// Tells a listener which files below a folder were added, deleted or modified.
// Owner task only; at most 20 watches at a time.
#include <memory>
#include <string>

#include "fw_FileWatchListener.h"

namespace FW {

class FileWatcherImpl;

class FileWatcher {
public:
    FileWatcher();  // may throw std::bad_alloc
    virtual ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // The new watch's id, or kInvalidWatchID when 20 watches exist. listener is not owned.
    WatchID addWatch(const std::string& folder, FileWatchListener* listener);
    void removeWatch(const std::string& folder);
    void removeWatch(WatchID watchId);
    // Reports pending changes to the listeners before it returns.
    void update();
    // Collects what the change sources saw since the last call, so that the next update reports
    // it; update alone reports only watches marked by other means.
    void serviceEvents();

private:
    std::unique_ptr<FileWatcherImpl> m_pImpl;
};

}  // namespace FW
