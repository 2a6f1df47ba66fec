#pragma once
// The receiver of a watcher's reports, and the kinds of change it reports.
// A listener is called on the task that runs the watcher's update.
#include <cstdint>
#include <string>

namespace FW {

using WatchID = uint64_t;

// Names no watch; addWatch answers it when every slot is taken.
constexpr WatchID kInvalidWatchID = 0xFFFFFFFFFFFFFFFFull;

namespace Actions {
enum Action : int32_t {
    Add = 1,       // a file is there that the snapshot did not hold
    Delete = 2,    // a file of the snapshot is gone
    Modified = 4,  // a file's modification time moved forward
    Relist = 8,    // listeners relist everything; the watcher itself never sends it
};
}  // namespace Actions

class FileWatchListener {
public:
    virtual ~FileWatchListener() = default;
    // folder is the text given to addWatch; filename is relative to it ("sub/a.txt").
    virtual void handleFileAction(WatchID watchId, const std::string& folder, const std::string& filename,
                                  Actions::Action action) = 0;
};

}  // namespace FW
