#pragma once
// A software timer as its owner sees it; lookups of unknown timers give the null timer.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace TMS {

class IObjectTimer {
public:
    virtual JLIB::JResult start() = 0;
    virtual JLIB::JResult stop() = 0;
    virtual JLIB::JResult restart() = 0;
    virtual uint32_t getTimerId() const = 0;
    virtual uint32_t getCount() const = 0;
    virtual uint32_t getElapsedTime() const = 0;
    virtual bool isValid() const = 0;
    virtual bool isRunning() const = 0;
    virtual bool isNull() const = 0;
    virtual JLIB::JResult dump() const = 0;
    virtual ~IObjectTimer() = default;
};

}  // namespace TMS
