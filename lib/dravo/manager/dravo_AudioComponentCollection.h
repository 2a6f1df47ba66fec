#pragma once
// The process-wide registry of the DSP audio components and of each application thread's private
// view of them. A thread's own list changes only on that thread (begin, update, end), so it walks
// the list without the lock while other threads add and remove components: an added component
// reaches a thread at its next update, a removed one is destroyed only once every thread has
// dropped it. Every operation takes the lock "CompoCol" and may be called from any task, each
// caller for its own view.
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>

#include "dravo_AudioConnectionCollection.h"
#include "dravo_DRAVOMutex.h"
#include "dravo_getCurrentThreadId.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

class AudioComponent;
class IAudioComponentCallback;

class AudioComponentCollection {
public:
    using AudioComponentList = std::list<AudioComponent*>;
    // Owns one component. The deleter is chosen where the component is made, so the registry
    // destroys a component without depending on its type.
    using ComponentOwner = std::unique_ptr<AudioComponent, void (*)(AudioComponent*)>;

    // One thread's view.
    struct AudioComponentListThreadData {
        AudioComponentList componentList;              // not owned: pointers into the registry
        IAudioComponentCallback* callback = nullptr;  // not owned; null once the thread has ended
    };

    // The own list of a caller without a thread entry; emptied each time it is handed out.
    static AudioComponentList gDummy;

    // The one registry, built on first use and finalised at process exit.
    static AudioComponentCollection* singleton();

    virtual ~AudioComponentCollection();
    AudioComponentCollection(const AudioComponentCollection&) = delete;
    AudioComponentCollection& operator=(const AudioComponentCollection&) = delete;

    // Creates the lock and allows threadLimit thread entries. 0x80000000 when there is a lock
    // already or it cannot be made.
    [[nodiscard]] JLIB::JResult initialize(const char* componentFolder, uint32_t threadLimit);
    // Requests removal of every component, waits (30 ms steps, notifying every thread each step)
    // until no thread holds one, clears every callback and deletes the lock (the thread entries
    // stay). Call it while the registered threads still serve their notifications or after they
    // have ended. 0x80000000 without a lock.
    JLIB::JResult finalize();

    // Registers the calling thread with its callback (a thread registering again starts over):
    // its view becomes every component at once. 0x80000000 without a lock or when the thread
    // limit is reached (logged). The callback is borrowed until endByThread.
    [[nodiscard]] JLIB::JResult beginByThread(IAudioComponentCallback* callback);
    // Brings the calling thread's own list up to date; the last thread to drop a component whose
    // removal was requested destroys it. 0, or 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult updateByThread();
    // Empties the calling thread's list and forgets its callback; the entry stays and takes in
    // nothing any more. 0, or 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult endByThread();
    // Requests removal of every component and of every connection. 0, or 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult reqRemoveComponent();

    // The calling thread's own list, walked without the lock (only its thread changes it); the
    // emptied shared list for a caller without an entry or without a lock.
    const AudioComponentList& componentList() const;

private:
    friend struct AudioComponentCollectionProbe;  // tests stand in for adding and removing components

    AudioComponentCollection();

    bool hasLock() const { return m_pLock && m_pLock->isValid(); }
    // The caller's entry's list, or the emptied shared list. Lock held.
    AudioComponentList& ownList() const;
    // The add and remove passes of an update over the given list; an ended caller takes nothing in.
    void runPasses(AudioComponentList& own, bool takeIn);
    bool isHeldByEveryEntry(const AudioComponent* component) const;
    bool isHeldByAnyEntry(const AudioComponent* component) const;
    // Takes the component off every registry list and destroys it.
    void destroyComponent(AudioComponent* component);
    AudioComponentList allComponents() const;
    // Calls every registered callback. Lock held.
    void notify() const;
    // One finalise step under the lock: false once no thread holds a component.
    bool notifyWhileHeld();

    uint32_t m_threadLimit;
    std::list<ComponentOwner> m_components;
    // Entries are never erased while the registry lives, so a list handed out stays valid.
    mutable std::unordered_map<ThreadId, AudioComponentListThreadData> m_threads;
    AudioComponentList m_pendingAdd;
    AudioComponentList m_pendingRemove;
    std::unique_ptr<DRAVOMutex> m_pLock;
    AudioConnectionCollection m_originalConnections;
    AudioConnectionCollection m_actualConnections;
};

}  // namespace DRAVO
