#pragma once
// The process-wide registry of the DSP audio components, of the audio connections between them and
// of each application thread's private view of the components. A thread's own list changes only
// on that thread (begin, update, end), so it walks the list without the lock while other threads
// add and remove components: an added component reaches a thread at its next update, a removed
// one is destroyed only once every thread has dropped it. Every operation takes the lock
// "CompoCol" and may be called from any task, each caller for its own view.
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

#include "dravo_AudioConnection.h"
#include "dravo_AudioConnectionCollection.h"
#include "dravo_DRAVOMutex.h"
#include "dravo_getCurrentThreadId.h"
#include "jlib/jlib_result.h"

namespace DRAVO {

class AudioComponent;
class IAudioComponentCallback;
class IPlayerCommunicationStrategy;

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

    // The own list of a caller without a thread entry: one per calling thread, emptied each time
    // it is handed out, so no other caller empties it while it is read.
    static thread_local AudioComponentList gDummy;

    // The one registry, built on first use and finalised at process exit.
    static AudioComponentCollection* singleton();

    virtual ~AudioComponentCollection();
    AudioComponentCollection(const AudioComponentCollection&) = delete;
    AudioComponentCollection& operator=(const AudioComponentCollection&) = delete;

    // Creates the lock, has the component library repository load componentFolder (ending in
    // "/") and allows threadLimit thread entries. 0x80000000 when there is a lock already or it
    // cannot be made, and when the folder cannot be listed (the lock then stays with a limit of
    // 0, so every begin is refused until finalize).
    [[nodiscard]] JLIB::JResult initialize(const char* componentFolder, uint32_t threadLimit);
    // Requests removal of every component, waits (30 ms steps, notifying every thread each step)
    // until no thread holds one, clears every callback, forgets the DSP thread and its strategy,
    // releases the component libraries and deletes the lock (the thread entries stay). Call it while the registered threads still
    // serve their notifications or after they have ended. 0x80000000 without a lock.
    JLIB::JResult finalize();

    // Registers the calling thread with its callback (a thread registering again starts over):
    // its view becomes every component at once. 0x80000000 without a lock or when the thread
    // limit is reached (logged). The callback is borrowed until endByThread.
    [[nodiscard]] JLIB::JResult beginByThread(IAudioComponentCallback* callback);
    // beginByThread; with a strategy the caller also becomes the DSP thread: each update begins
    // the DSP use of the components it holds (with that strategy, borrowed until finalize) and
    // ends the use of each it drops.
    [[nodiscard]] JLIB::JResult beginByDSPThread(IAudioComponentCallback* callback,
                                                 IPlayerCommunicationStrategy* strategy);
    // Brings the calling thread's own list up to date; the last thread to drop a component whose
    // removal was requested destroys it. 0, or 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult updateByThread();
    // Ends the DSP use on the DSP thread, empties the calling thread's list and forgets its
    // callback; the entry stays and takes in nothing any more. 0, or 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult endByThread();

    // Creates and initialises a component from the library of (name, majorVersion): the caller
    // holds it when the call returns, every other thread after its next update. 0x80000000
    // without a lock, for a uniqID the registry holds and without memory; the component's own
    // failure when its initialize fails. Nothing changes on failure.
    [[nodiscard]] JLIB::JResult addComponent(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                             uint32_t numY);
    // Requests removal of a component the caller's own list holds, with every connection from or
    // to it. 0x80000000 without a lock or when the caller does not hold it.
    [[nodiscard]] JLIB::JResult reqRemoveComponent(uint32_t uniqID);
    // Requests removal of every component and of every connection. 0, or 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult reqRemoveComponent();

    // The calling thread's own list, walked without the lock (only its thread changes it); the
    // emptied list of its own for a caller without an entry or without a lock.
    const AudioComponentList& componentList() const;
    // The component of that uniqID in the caller's own list; null when it holds none (or without
    // a lock). Valid until the caller's next update.
    AudioComponent* component(uint32_t uniqID) const;

    // Connections: the original set as the editor makes it, the actual one in force. Each change
    // of the original set copies it over the actual one. 0x80000000 without a lock.
    [[nodiscard]] JLIB::JResult clearConnections();
    // The source and target must be in the caller's own list with the ports below their output
    // and input counts; otherwise 0x80000000 and nothing changes. A connection held is kept once.
    [[nodiscard]] JLIB::JResult addConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID,
                                              uint32_t toPortNo);
    // 0 also when the connection is not held.
    [[nodiscard]] JLIB::JResult removeConnection(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID,
                                                 uint32_t toPortNo);
    [[nodiscard]] JLIB::JResult getOriginalConnections(std::vector<AudioConnection>& connections) const;
    // The actual set becomes a copy of connections, as given.
    [[nodiscard]] JLIB::JResult setActualConnections(const std::vector<AudioConnection>& connections);
    [[nodiscard]] JLIB::JResult getActualConnections(std::vector<AudioConnection>& connections) const;

private:
    friend struct AudioComponentCollectionProbe;  // tests stand in for adding and removing components

    AudioComponentCollection();

    bool hasLock() const { return m_pLock && m_pLock->isValid(); }
    bool isDSPThread(ThreadId thread) const { return m_hasDSPThread && thread == m_dspThread; }
    // The caller's entry's list, or the emptied list of its own. Lock held.
    AudioComponentList& ownList() const;
    // The add and remove passes of an update over the given list, then on the DSP thread the
    // begin of the DSP use of its components; an ended caller takes nothing in.
    void runPasses(AudioComponentList& own, bool takeIn);
    bool isHeldByEveryEntry(const AudioComponent* component) const;
    bool isHeldByAnyEntry(const AudioComponent* component) const;
    // Takes the component off every registry list and destroys it.
    void destroyComponent(AudioComponent* component);
    // Ends the DSP use on the DSP thread, then destroys the component unless a thread still holds
    // it (0x80000000). No operation calls it: the remove pass does the same without the log.
    JLIB::JResult _checkRemoveComponent(AudioComponent* component);
    AudioComponentList allComponents() const;
    // Calls every registered callback. Lock held.
    void notify() const;
    // One finalise step under the lock: false once no thread holds a component.
    bool notifyWhileHeld();
    // Actual := original. Lock held.
    void copyOriginalToActual();

    uint32_t m_threadLimit;
    std::list<ComponentOwner> m_components;
    // Entries are never erased while the registry lives, so a list handed out stays valid.
    mutable std::unordered_map<ThreadId, AudioComponentListThreadData> m_threads;
    AudioComponentList m_pendingAdd;
    AudioComponentList m_pendingRemove;
    bool m_hasDSPThread;
    ThreadId m_dspThread;
    IPlayerCommunicationStrategy* m_pPlayerStrategy;  // borrowed from the DSP thread
    std::unique_ptr<DRAVOMutex> m_pLock;
    AudioConnectionCollection m_originalConnections;
    AudioConnectionCollection m_actualConnections;
};

}  // namespace DRAVO
