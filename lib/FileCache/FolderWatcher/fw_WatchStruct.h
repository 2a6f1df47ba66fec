#pragma once
// One watch of a watcher; owned by the watcher implementation.
#include <string>

#include "fw_FileWatchListener.h"

namespace FW {

struct WatchStruct {
    WatchID id = kInvalidWatchID;
    bool changed = false;                    // set by the change source, cleared by update
    std::string folder;                      // exactly as given to addWatch
    FileWatchListener* listener = nullptr;   // not owned; kept alive by whoever added the watch
};

}  // namespace FW
