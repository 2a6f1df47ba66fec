#pragma once
// The platform side of FileWatcher. Owner task only; no locks.
#include <string>

#include "fw_FileWatchListener.h"
#include "fw_WatchStruct.h"

namespace FW {

class FileWatcherImpl {
public:
    virtual ~FileWatcherImpl() = default;
    // kInvalidWatchID when all watches are taken. May throw std::bad_alloc.
    virtual WatchID addWatch(const std::string& folder, FileWatchListener* listener) = 0;
    // The first watch (in id order) on exactly this folder text; nothing when none.
    virtual void removeWatch(const std::string& folder) = 0;
    virtual void removeWatch(WatchID watchId) = 0;
    // Rescans the watches marked as changed and reports the differences before returning.
    virtual void update() = 0;
    virtual void handleAction(WatchStruct* watch, const std::string& filename, Actions::Action action) = 0;
};

}  // namespace FW
