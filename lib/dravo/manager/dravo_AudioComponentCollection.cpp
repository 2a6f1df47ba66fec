#include "dravo_AudioComponentCollection.h"

#include <algorithm>
#include <new>

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

// Log lines print the identity with "%d".
int printable(ThreadId id) { return static_cast<int>(id); }

}  // namespace

AudioComponentCollection::AudioComponentList AudioComponentCollection::gDummy;

AudioComponentCollection* AudioComponentCollection::singleton()
{
    static AudioComponentCollection s_instance;
    return &s_instance;
}

AudioComponentCollection::AudioComponentCollection() : m_threadLimit(0) {}

AudioComponentCollection::~AudioComponentCollection() { (void)finalize(); }  // nothing to do without a lock

JLIB::JResult AudioComponentCollection::initialize(const char* componentFolder, uint32_t threadLimit)
{
    (void)componentFolder;  // read by the component library repository, which lives beside this registry
    if (m_pLock) return JLIB::kFailed;
    m_pLock.reset(new (std::nothrow) DRAVOMutex("CompoCol"));
    if (!m_pLock) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
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
    {
        DRAVOMutexAutoReleaser hold(m_pLock.get());
        (void)m_actualConnections.finalize();  // always 0
        (void)m_originalConnections.finalize();
        JLIB_ASSERT(m_components.empty());
        for (auto& entry : m_threads) entry.second.callback = nullptr;
        JLIB_LOG("[i] AudioComponentCollection::finalize - AUDIOCOMPO_DB() finalized.\n");
    }
    m_pLock.reset();
    return JLIB::kOk;
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
    const auto entry = m_threads.find(getCurrentThreadId());
    if (entry != m_threads.end()) {
        entry->second.componentList.clear();
        entry->second.callback = nullptr;
    }
    // The pending lists still advance: a removal only this thread held up completes now.
    runPasses(ownList(), false);
    return JLIB::kOk;
}

JLIB::JResult AudioComponentCollection::reqRemoveComponent()
{
    if (!hasLock()) return JLIB::kFailed;
    DRAVOMutexAutoReleaser hold(m_pLock.get());
    m_pendingAdd.clear();
    m_pendingRemove = allComponents();
    (void)m_originalConnections.clearConnections();  // always 0
    (void)m_actualConnections.clearConnections();
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

AudioComponentCollection::AudioComponentList& AudioComponentCollection::ownList() const
{
    const auto entry = m_threads.find(getCurrentThreadId());
    if (entry != m_threads.end()) return entry->second.componentList;
    gDummy.clear();
    return gDummy;
}

void AudioComponentCollection::runPasses(AudioComponentList& own, bool takeIn)
{
    for (auto it = m_pendingAdd.begin(); it != m_pendingAdd.end();) {
        if (takeIn && !contains(own, *it)) own.push_back(*it);
        it = isHeldByEveryEntry(*it) ? m_pendingAdd.erase(it) : std::next(it);
    }
    for (auto it = m_pendingRemove.begin(); it != m_pendingRemove.end();) {
        AudioComponent* component = *it;
        own.remove(component);
        if (isHeldByAnyEntry(component)) {
            ++it;
            continue;
        }
        it = m_pendingRemove.erase(it);
        destroyComponent(component);
    }
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
