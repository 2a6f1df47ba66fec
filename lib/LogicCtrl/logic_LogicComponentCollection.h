#pragma once
// The process-wide logic network: the registered components (not owned), whether passes run,
// and the lock "LogicCol" that every operation holds throughout (recursive for its owner, so
// start and the test-mode exits run a pass inside the same hold). Any thread may call, except
// that initialize and finalize must not race with other calls: they create and delete the lock;
// nor may a component's hooks finalize or clear the collection during a pass.
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "jlib/jlib_result.h"
#include "logic_ILogicComponent.h"
#include "logic_LogicData.h"
#include "logic_Mutex.h"

namespace LogicCtrl {

class LogicComponentCollection {
public:
    // Created on first use; its destruction at process exit runs finalize.
    static LogicComponentCollection& singleton();
    virtual ~LogicComponentCollection();
    LogicComponentCollection(const LogicComponentCollection&) = delete;
    LogicComponentCollection& operator=(const LogicComponentCollection&) = delete;

    // Every operation but initialize answers 0x80000000 while there is no valid lock.

    // Creates the lock and empties the map. 0x80080000 when initialised, 0x80040000 when the
    // lock cannot be made.
    [[nodiscard]] JLIB::JResult initialize();
    // stop and clear under the lock, then deletes the lock.
    JLIB::JResult finalize();
    // Forgets every component (they are not touched). 0x80080000 while started.
    [[nodiscard]] JLIB::JResult clear();
    // Starts passes and runs the initial pass.
    [[nodiscard]] JLIB::JResult start();
    [[nodiscard]] JLIB::JResult stop();
    // One pass over every component at the current millisecond count; nothing while stopped.
    [[nodiscard]] JLIB::JResult run(RunState state);
    // Registers under the component's uniqID, borrowed until removed. 0x80000001 for none,
    // 0x80100000 for an id already registered, 0x80080000 while started.
    [[nodiscard]] JLIB::JResult addComponent(ILogicComponent* component);
    // 0x80000001 for none or a component not registered, 0x80080000 while started.
    [[nodiscard]] JLIB::JResult removeComponent(ILogicComponent* component);
    // The component's own operation; 0x80000001 when the id is not registered.
    [[nodiscard]] JLIB::JResult setLogicInTestValue(uint32_t id, uint32_t inputPort, const LogicData& data);
    [[nodiscard]] JLIB::JResult setLogicOutTestValue(uint32_t id, uint32_t outputPort, const LogicData& data);
    [[nodiscard]] JLIB::JResult enterLogicTestMode(uint32_t id);
    [[nodiscard]] JLIB::JResult enterLogicTestMode();
    // Leaving test mode is followed by an initial pass (none while stopped).
    [[nodiscard]] JLIB::JResult exitLogicTestMode(uint32_t id);
    [[nodiscard]] JLIB::JResult exitLogicTestMode();
    // While started: triggers the component when the parameter element concerns its logic.
    [[nodiscard]] JLIB::JResult onFoundChangedParameter(uint32_t id, uint32_t paramIndex, uint32_t x, uint32_t y);

protected:
    LogicComponentCollection() = default;

private:
    // The lock when it exists and is valid, else null.
    LogicMutex* validLock() const;
    ILogicComponent* find(uint32_t id) const;

    std::unordered_map<uint32_t, ILogicComponent*> m_components;  // borrowed; removed before they go
    bool m_started = false;
    std::unique_ptr<LogicMutex> m_pLock;
};

}  // namespace LogicCtrl
