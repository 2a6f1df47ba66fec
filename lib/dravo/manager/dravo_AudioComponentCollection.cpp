#include "dravo_AudioComponentCollection.h"

#include <algorithm>
#include <new>

#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "dravo_AudioComponent.h"
#include "dravo_AudioComponentDLLRepository.h"
#include "dravo_AudioConfigDB.h"
#include "dravo_IAudioComponentCallback.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_time.h"

namespace DRAVO {

namespace {

constexpr uint32_t kFinalizeStepMs = 30;

bool contains(const AudioComponentCollection::AudioComponentList& list, const AudioComponent* component)
{
    return std::find(list.begin(), list.end(), component) != list.end();
}

AudioComponent* findByUniqID(const AudioComponentCollection::AudioComponentList& list, uint32_t uniqID)
{
    const auto it = std::find_if(list.begin(), list.end(),
                                 [uniqID](const AudioComponent* component) { return component->uniqID() == uniqID; });
    return it == list.end() ? nullptr : *it;
}

void deleteComponent(AudioComponent* component) { delete component; }

// Log lines print the identity and the uniqID with "%d".
int printable(ThreadId id) { return static_cast<int>(id); }
int printableUid(uint32_t uniqID) { return static_cast<int>(uniqID); }

}  // namespace

thread_local AudioComponentCollection::AudioComponentList AudioComponentCollection::gDummy;

AudioComponentCollection* AudioComponentCollection::singleton()
{
    // What a component reaches while it is destroyed is built first, so that it outlives the
    // registry at exit.
    (void)AudioComponentDLLRepository::singleton();
    (void)LogicCtrl::LogicComponentCollection::singleton();
    (void)AudioConfigDB::singleton();
    static AudioComponentCollection s_instance;
    return &s_instance;
}

AudioComponentCollection::AudioComponentCollection()
    : m_threadLimit(0), m_hasDSPThread(false), m_dspThread(0), m_pPlayerStrategy(nullptr)
{
}

AudioComponentCollection::~AudioComponentCollection() { (void)finalize(); }  // nothing to do without a lock

JLIB::JResult AudioComponentCollection::initialize(const char* componentFolder, uint32_t threadLimit)
{
    if (m_pLock) return JLIB::kFailed;
    m_pLock.reset(new (std::nothrow) DRAVOMutex("CompoCol"));
    if (!m_pLock) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    // A limit left from an earlier run must not let threads in when the folder cannot be listed.
    m_threadLimit = 0;
    // The repository has no lock of its own: it is used under this one. It logs its own failure.
    if (JLIB::isFailure(AudioComponentDLLRepository::singleton().initialize(componentFolder))) return JLIB::kFailed;
    m_threadLimit = threadLimit;
    m_threads.reserve(size_t(threadLimit) + 1);
    (void)m_originalConnections.initialize();  // always 0
    (void)m_actualConnections.initialize();
    JLIB_LOG("[i] AudioComponentCollection::initialize - AUDIOCOMPO_DB() initialized.\n");
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::finalize()
{
    if (!hasLock()) return JLIB::kFailed;
    (void)reqRemoveComponent();  // cannot fail while the lock exists
    // The lock is given back between steps so the other threads can update.
    while (notifyWhileHeld()) (void)oswrap_WaiTsk(kFinalizeStepMs);  // a short sleep is harmless
    JLIB::JResult result = JLIB::kOk;
    {
        DRAVOMutexAutoReleaser hold(m_pLock.get());
        (void)m_actualConnections.finalize();  // always 0
        (void)m_originalConnections.finalize();
        JLIB_ASSERT(m_components.empty());
        for (auto& entry : m_threads) entry.second.callback = nullptr;
        // The strategy is borrowed from a thread that may be gone before a new run begins; a
        // later thread given the same identity must not inherit it.
        m_hasDSPThread = false;
        m_dspThread = 0;
        m_pPlayerStrategy = nullptr;
        // Every function object is gone with its component: the libraries may close.
        result = AudioComponentDLLRepository::singleton().finalize();
        JLIB_LOG("[i] AudioComponentCollection::finalize - AUDIOCOMPO_DB() finalized.\n");
    }
    m_pLock.reset();
    return result;
}

bool AudioComponentCollection::notifyWhileHeld()
{
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    const bool held = std::any_of(m_threads.begin(), m_threads.end(),
                                  [](const auto& entry) { return !entry.second.componentList.empty(); });
    if (held) notify();
    return held;
}

JLIB::JResult AudioComponentCollection::beginByThread(IAudioComponentCallback* callback)
{
    return beginByDSPThread(callback, nullptr);
}

JLIB::JResult AudioComponentCollection::beginByDSPThread(IAudioComponentCallback* callback,
                                                         IPlayerCommunicationStrategy* strategy)
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    const ThreadId self = getCurrentThreadId();
    auto entry = m_threads.find(self);
    if (entry == m_threads.end()) {
        if (m_threads.size() >= m_threadLimit) {
            JLIB_LOG("[E] AudioComponentCollection::beginByThread() - Couldn't add a thread entry!\n");
            return JLIB::kFailed;
        }
        entry = m_threads.emplace(self, AudioComponentListThreadData()).first;
    }
    // Components pending removal are included: the update below drops them again.
    entry->second.componentList = allComponents();
    entry->second.callback = callback;
    if (strategy) {
        m_hasDSPThread = true;
        m_dspThread = self;
        m_pPlayerStrategy = strategy;
    }
    JLIB_LOG("[i] AudioComponentCollection::beginByThread - Thread[id:%d] begins using AudioComponents.\n",
             printable(self));
    return updateByThread();
}

JLIB::JResult AudioComponentCollection::updateByThread()
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    JLIB_LOG("[i] AudioComponentCollection::updateByThread - Thread[id:%d] is updating own AudioComponent list.\n",
             printable(getCurrentThreadId()));
    runPasses(ownList(), true);
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::endByThread()
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    const ThreadId self = getCurrentThreadId();
    const auto entry = m_threads.find(self);
    if (entry != m_threads.end()) {
        if (isDSPThread(self)) {
            for (AudioComponent* component : entry->second.componentList) {
                if (JLIB::isFailure(component->endUseByDSPThread())) {
                    JLIB_LOG("[E] AudioComponentCollection::endByThread - 'endUseByDSPThread()' failed.[uid=%d]\n",
                             printableUid(component->uniqID()));
                }
            }
        }
        entry->second.componentList.clear();
        entry->second.callback = nullptr;
    }
    // The pending lists still advance: a removal only this thread held up completes now.
    runPasses(ownList(), false);
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::addComponent(const char* name, uint32_t majorVersion, uint32_t uniqID,
                                                     uint32_t numX, uint32_t numY)
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    // Every thread entry holds only components of the registry's own list.
    for (const ComponentOwner& owner : m_components) {
        if (owner->uniqID() == uniqID) return JLIB::kFailed;
    }
    ComponentOwner component(new (std::nothrow) AudioComponent, &deleteComponent);
    if (!component) return JLIB::kFailed;
    JLIB_RETURN_IF_FAILED(component->initialize(name, majorVersion, uniqID, numX, numY));

    m_pendingAdd.push_back(component.get());
    m_components.push_back(std::move(component));
    copyOriginalToActual();
    (void)updateByThread();  // the lock is held: 0
    JLIB_LOG("[i] AudioComponentCollection::addComponent - Thread[id:%d] requested to add AudioComponent[uid:%d].\n",
             printable(getCurrentThreadId()), printableUid(uniqID));
    notify();
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::reqRemoveComponent(uint32_t uniqID)
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    AudioComponent* component = findByUniqID(ownList(), uniqID);
    if (!component) return JLIB::kFailed;
    if (!contains(m_pendingRemove, component)) m_pendingRemove.push_back(component);
    (void)m_originalConnections.removeConnectionsRelatedTo(uniqID);  // always 0
    copyOriginalToActual();
    (void)updateByThread();
    JLIB_LOG("[i] AudioComponentCollection::reqRemoveComponent - Thread[id:%d] requested to remove "
             "AudioComponent[uid:%d].\n",
             printable(getCurrentThreadId()), printableUid(uniqID));
    notify();
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::reqRemoveComponent()
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    m_pendingAdd.clear();
    m_pendingRemove = allComponents();
    (void)m_originalConnections.clearConnections();  // always 0
    copyOriginalToActual();
    (void)updateByThread();  // the lock is held: 0
    JLIB_LOG("[i] AudioComponentCollection::reqRemoveComponent - Thread[id:%d] requested to remove all "
             "AudioComponents.\n",
             printable(getCurrentThreadId()));
    notify();
    return JLIB::kOk;
}

const AudioComponentCollection::AudioComponentList& AudioComponentCollection::componentList() const
{
    if (!hasLock()) {
        gDummy.clear();
        return gDummy;
    }
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    return ownList();
}

AudioComponent* AudioComponentCollection::component(uint32_t uniqID) const
{
    if (!hasLock()) return nullptr;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    return findByUniqID(ownList(), uniqID);
}

JLIB::JResult AudioComponentCollection::clearConnections()
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    (void)m_originalConnections.clearConnections();  // always 0
    copyOriginalToActual();
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::addConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID,
                                                      uint32_t toPortNo)
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    const AudioComponent* source = component(fromUniqID);
    if (!source || fromPortNo >= source->audioOutputNum()) return JLIB::kFailed;
    const AudioComponent* target = component(toUniqID);
    if (!target || toPortNo >= target->audioInputNum()) return JLIB::kFailed;
    (void)m_originalConnections.addConnection(fromUniqID, fromPortNo, toUniqID, toPortNo);  // always 0
    copyOriginalToActual();
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::removeConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID,
                                                         uint32_t toPortNo)
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    (void)m_originalConnections.removeConnection(fromUniqID, fromPortNo, toUniqID, toPortNo);  // always 0
    copyOriginalToActual();
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::getOriginalConnections(std::vector<AudioConnection>& connections) const
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    return m_originalConnections.getConnections(connections);
}

JLIB::JResult AudioComponentCollection::setActualConnections(const std::vector<AudioConnection>& connections)
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    return m_actualConnections.setConnections(connections);
}

JLIB::JResult AudioComponentCollection::getActualConnections(std::vector<AudioConnection>& connections) const
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    return m_actualConnections.getConnections(connections);
}

void AudioComponentCollection::copyOriginalToActual() { m_actualConnections = m_originalConnections; }

AudioComponentCollection::AudioComponentList& AudioComponentCollection::ownList() const
{
    const auto entry = m_threads.find(getCurrentThreadId());
    if (entry != m_threads.end()) return entry->second.componentList;
    gDummy.clear();
    return gDummy;
}

void AudioComponentCollection::runPasses(AudioComponentList& own, bool takeIn)
{
    const bool onDSPThread = isDSPThread(getCurrentThreadId());
    for (auto it = m_pendingAdd.begin(); it != m_pendingAdd.end();) {
        if (takeIn && !contains(own, *it)) own.push_back(*it);
        it = isHeldByEveryEntry(*it) ? m_pendingAdd.erase(it) : std::next(it);
    }
    for (auto it = m_pendingRemove.begin(); it != m_pendingRemove.end();) {
        AudioComponent* component = *it;
        const auto held = std::find(own.begin(), own.end(), component);
        if (held != own.end()) {
            // A component in DSP use must not be destroyed: the DSP thread ends its use as it drops it.
            if (onDSPThread) (void)component->endUseByDSPThread();  // always 0
            own.erase(held);
        }
        if (isHeldByAnyEntry(component)) {
            ++it;
            continue;
        }
        it = m_pendingRemove.erase(it);
        destroyComponent(component);
    }
    if (!onDSPThread || !takeIn) return;
    for (AudioComponent* component : own) {
        if (JLIB::isFailure(component->beginUseByDSPThread(m_pPlayerStrategy))) {
            JLIB_LOG("[E] AudioComponentCollection::beginByThread - 'beginUseByDSPThread()' failed.[uid=%d]\n",
                     printableUid(component->uniqID()));
        }
    }
}

JLIB::JResult AudioComponentCollection::_checkRemoveComponent(AudioComponent* component)
{
    JLIB::JResult result = JLIB::kOk;
    if (isDSPThread(getCurrentThreadId())) {
        result = component->endUseByDSPThread();
        if (JLIB::isFailure(result)) {
            JLIB_LOG("[E] AudioComponentCollection::_checkRemoveComponent - 'endUseByDSPThread()' failed.[uid=%d]\n",
                     printableUid(component->uniqID()));
        }
    }
    if (isHeldByAnyEntry(component)) return JLIB::kFailed;
    m_pendingRemove.remove(component);
    const uint32_t uniqID = component->uniqID();
    destroyComponent(component);
    JLIB_LOG("[i] AudioComponentCollection::_checkRemoveComponent - AudioComponent[uid:%d] removed.\n",
             printableUid(uniqID));
    return result;
}

bool AudioComponentCollection::isHeldByEveryEntry(const AudioComponent* component) const
{
    return std::all_of(m_threads.begin(), m_threads.end(),
                       [component](const auto& entry) { return contains(entry.second.componentList, component); });
}

bool AudioComponentCollection::isHeldByAnyEntry(const AudioComponent* component) const
{
    return std::any_of(m_threads.begin(), m_threads.end(),
                       [component](const auto& entry) { return contains(entry.second.componentList, component); });
}

void AudioComponentCollection::destroyComponent(AudioComponent* component)
{
    // A component removed before every thread had taken it in may still wait to be added: it
    // must never be handed out again once destroyed.
    m_pendingAdd.remove(component);
    m_components.remove_if([component](const ComponentOwner& owner) { return owner.get() == component; });
}

AudioComponentCollection::AudioComponentList AudioComponentCollection::allComponents() const
{
    AudioComponentList list;
    for (const ComponentOwner& owner : m_components) list.push_back(owner.get());
    return list;
}

void AudioComponentCollection::notify() const
{
    for (const auto& entry : m_threads) {
        if (entry.second.callback) (void)entry.second.callback->rawCallbackChangeAudioComponentConfig();  // a wake-up
    }
}

}  // namespace DRAVO
