#pragma once
// Keeps every report a watcher makes, in order.
#include <string>
#include <vector>

#include "FileCache/FolderWatcher/fw_FileWatchListener.h"

struct Report {
    FW::WatchID id;
    std::string folder;
    std::string name;
    FW::Actions::Action action;
    bool operator==(const Report& o) const
    {
        return id == o.id && folder == o.folder && name == o.name && action == o.action;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Report& r)
{
    return os << "{" << r.id << ", " << r.folder << ", " << r.name << ", " << static_cast<int>(r.action) << "}";
}

class RecordingListener : public FW::FileWatchListener {
public:
    void handleFileAction(FW::WatchID id, const std::string& folder, const std::string& name,
                          FW::Actions::Action action) override
    {
        reports.push_back({id, folder, name, action});
    }
    std::vector<Report> reports;
};
