#pragma once
// The shared timer that lookups of unknown ids return: every operation succeeds without effect.
#include "TMS/IObjectTimer.h"

namespace TMS {

class NullObjectTimer : public IObjectTimer {
public:
    static NullObjectTimer& getInstance();

    JLIB::JResult start() override { return JLIB::kOk; }
    JLIB::JResult stop() override { return JLIB::kOk; }
    JLIB::JResult restart() override { return JLIB::kOk; }
    uint32_t getTimerId() const override { return 0xFFFFFFFFu; }
    uint32_t getCount() const override { return 0; }
    uint32_t getElapsedTime() const override { return 0; }
    bool isValid() const override { return false; }
    bool isRunning() const override { return false; }
    bool isNull() const override { return true; }
    JLIB::JResult dump() const override { return JLIB::kOk; }
};

}  // namespace TMS
