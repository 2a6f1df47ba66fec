#pragma once
// Decides which files of a synchronised directory take part, and the options a directory is
// registered with. Called on the owner task of the link.
namespace ComControl {

class IDirSyncStrategy {
public:
    virtual ~IDirSyncStrategy() = default;
    // true keeps the file (a name relative to the directory) out of the synchronisation.
    virtual bool isSendFiltered(const char* fileName) = 0;
};

struct T_DIRECTORY_INITIALIZE_OPTION {
    bool mapStrategy = false;               // false: received names are remembered until the next tick
    IDirSyncStrategy* strategy = nullptr;   // borrowed; null lets every file take part
};

}  // namespace ComControl
