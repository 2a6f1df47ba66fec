#pragma once
// Shared helpers of the logic network tests.
#include <memory>
#include <vector>

#include "LogicCtrl/logic_AbstractLogicComponent.h"
#include "LogicCtrl/logic_Mutex.h"

namespace LogicTest {

// Port descriptions of one kind; kinds 2 to 6 get the range 0..100.
inline std::vector<LogicCtrl::LogicPortInfo> ports(uint32_t count, LogicCtrl::LogicDataType type)
{
    std::vector<LogicCtrl::LogicPortInfo> list(count, LogicCtrl::LogicPortInfo("p", type, nullptr));
    for (LogicCtrl::LogicPortInfo& info : list) {
        info.m_minimum = 0u;
        info.m_maximum = 100u;
    }
    return list;
}

// A component with normalised ports unless told otherwise.
inline bool setUp(LogicCtrl::AbstractLogicComponent& component, uint32_t id, uint32_t inputs, uint32_t outputs,
                  uint32_t intervalMs = 0, LogicCtrl::LogicDataType type = LogicCtrl::kLogicDataNormalized)
{
    return component.initialize(id, ports(inputs, type), ports(outputs, type), intervalMs) == 0;
}

// Takes every free semaphore of the OS wrapper, so that the next lock cannot be made.
inline std::vector<std::unique_ptr<LogicCtrl::LogicMutex>> takeEverySemaphore()
{
    std::vector<std::unique_ptr<LogicCtrl::LogicMutex>> taken;
    for (int i = 0; i < 1000; ++i) {  // far more than the OS wrapper has
        auto mutex = std::make_unique<LogicCtrl::LogicMutex>("Filler");
        if (!mutex->isValid()) break;
        taken.push_back(std::move(mutex));
    }
    return taken;
}

}  // namespace LogicTest
