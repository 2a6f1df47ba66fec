#include "logic_LogicComponentCollection.h"

#include <new>

#include "jlib/jlib_cfg.h"
#include "logic_Result.h"
#include "oswrap/oswrap_time.h"

namespace LogicCtrl {

LogicComponentCollection& LogicComponentCollection::singleton()
{
    // Built on first use, after the OS wrapper's tables, so it is torn down before them.
    static LogicComponentCollection s_instance;
    return s_instance;
}

LogicComponentCollection::~LogicComponentCollection()
{
    (void)finalize();  // fails only when never initialised, which leaves nothing to do
}

LogicMutex* LogicComponentCollection::validLock() const
{
    return (m_pLock && m_pLock->isValid()) ? m_pLock.get() : nullptr;
}

ILogicComponent* LogicComponentCollection::find(uint32_t id) const
{
    const auto it = m_components.find(id);
    return it == m_components.end() ? nullptr : it->second;
}

JLIB::JResult LogicComponentCollection::initialize()
{
    if (m_pLock) return kWrongState;
    std::unique_ptr<LogicMutex> lock(new (std::nothrow) LogicMutex("LogicCol"));
    if (!lock || !lock->isValid()) {
        // Without its lock every later operation would fail; say so now instead.
        JLIB_LOG("[E] LogicComponentCollection::initialize - cannot create the lock.\n");
        return kNoMemory;
    }
    m_pLock = std::move(lock);
    LogicMutexAutoReleaser hold(m_pLock.get());
    m_components.clear();
    JLIB_LOG("[i] LogicComponentCollection::initialize - LOGICCOMPO_DB() initialized.\n");
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::finalize()
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    {
        LogicMutexAutoReleaser hold(lock);
        (void)stop();   // cannot fail with the lock held
        (void)clear();  // cannot fail once stopped
    }
    m_pLock.reset();
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::clear()
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    if (m_started) return kWrongState;
    m_components.clear();
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::start()
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    m_started = true;
    return run(kRunInitial);
}

JLIB::JResult LogicComponentCollection::stop()
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    m_started = false;
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::run(RunState state)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    if (!m_started) return JLIB::kOk;
    uint32_t now = 0;
    (void)oswrap_Get1msCount(&now);  // fails only for a null pointer
    for (const auto& entry : m_components) (void)entry.second->runLogic(now, state);  // always 0 in the base
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::addComponent(ILogicComponent* component)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    if (m_started) return kWrongState;
    if (!component) return kInvalidArgument;
    if (!m_components.emplace(component->uniqID(), component).second) return kIdConflict;
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::removeComponent(ILogicComponent* component)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    if (m_started) return kWrongState;
    if (!component) return kInvalidArgument;
    const auto it = m_components.find(component->uniqID());
    // Another component under the same id stays registered.
    if (it == m_components.end() || it->second != component) return kInvalidArgument;
    m_components.erase(it);
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::setLogicInTestValue(uint32_t id, uint32_t inputPort, const LogicData& data)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    ILogicComponent* component = find(id);
    if (!component) return kInvalidArgument;
    return component->setLogicInTestValue(inputPort, data);
}

JLIB::JResult LogicComponentCollection::setLogicOutTestValue(uint32_t id, uint32_t outputPort,
                                                              const LogicData& data)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    ILogicComponent* component = find(id);
    if (!component) return kInvalidArgument;
    return component->setLogicOutTestValue(outputPort, data);
}

JLIB::JResult LogicComponentCollection::enterLogicTestMode(uint32_t id)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    ILogicComponent* component = find(id);
    if (!component) return kInvalidArgument;
    return component->enterLogicTestMode();
}

JLIB::JResult LogicComponentCollection::enterLogicTestMode()
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    for (const auto& entry : m_components) (void)entry.second->enterLogicTestMode();  // always 0 in the base
    return JLIB::kOk;
}

JLIB::JResult LogicComponentCollection::exitLogicTestMode(uint32_t id)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    ILogicComponent* component = find(id);
    if (!component) return kInvalidArgument;
    (void)component->exitLogicTestMode();  // always 0 in the base
    return run(kRunInitial);
}

JLIB::JResult LogicComponentCollection::exitLogicTestMode()
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    for (const auto& entry : m_components) (void)entry.second->exitLogicTestMode();  // always 0 in the base
    return run(kRunInitial);
}

JLIB::JResult LogicComponentCollection::onFoundChangedParameter(uint32_t id, uint32_t paramIndex, uint32_t x,
                                                                 uint32_t y)
{
    LogicMutex* lock = validLock();
    if (!lock) return JLIB::kFailed;
    LogicMutexAutoReleaser hold(lock);
    if (!m_started) return JLIB::kOk;
    ILogicComponent* component = find(id);
    if (component && component->isParamForLogic(paramIndex, x, y)) return component->triggerLogic();
    return JLIB::kOk;
}

}  // namespace LogicCtrl
