#pragma once
// Implemented by the repository's owner: the lock that every repository operation holds.
namespace TCM {

class IMutex {
public:
    virtual ~IMutex() = default;
    virtual void lock() = 0;
    virtual void unlock() = 0;
};

}  // namespace TCM
