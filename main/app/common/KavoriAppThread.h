#pragma once
// Base of every application thread: a framework thread that subscribes to the parameter
// databases and registers with the audio component collection while it runs. It maps the shared
// user events 0 to 15 to named hooks (16 and up reach onReceiveLocalEvent), fires hooks when
// "PDBState", "ProductState" and "RunMode" change, and turns the databases' dirty flags into one
// onFoundChangedParameter call per changed value. The raw callbacks run on foreign tasks and only
// post an event; everything else runs on the thread's own task. Every default hook returns 0.
#include <cstdint>
#include <vector>

#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_ParameterAttr.h"
#include "TMS/AbstractThread.h"
#include "dravo/manager/dravo_IAudioComponentCallback.h"
#include "jlib/jlib_result.h"

namespace PDB {
class IParameterDB;
}

namespace KAVORI {

// The value of "RunMode" (0 to 3).
enum RUNMODE : uint32_t {};
// The value of "PDBState" (0 to 2).
enum PDBSTAT : uint32_t {};

class KavoriAppThread : public TMS::AbstractThread,
                        public PDB::IParameterDBCallback,
                        public DRAVO::IAudioComponentCallback {
public:
    // The shared user events; 11 to 13 are never posted, 16 and up are each thread's own.
    static constexpr uint32_t kEventPDBParam = 0;
    static constexpr uint32_t kEventRecalled = 1;
    static constexpr uint32_t kEventParamSetListChanged = 2;
    static constexpr uint32_t kEventLibraryListChanged = 3;
    static constexpr uint32_t kEventFileListChanged = 4;
    static constexpr uint32_t kEventProjectChanged = 5;
    static constexpr uint32_t kEventMemoryInitialized = 6;
    static constexpr uint32_t kEventIPAddressChanged = 7;
    static constexpr uint32_t kEventUserLevelChanged = 8;
    static constexpr uint32_t kEventPDBConfig = 9;
    static constexpr uint32_t kEventAudioComponentConfig = 10;
    static constexpr uint32_t kEventMurParameterChanged = 14;
    static constexpr uint32_t kEventMurConnectStateChanged = 15;
    static constexpr uint32_t kFirstLocalEvent = 16;

    explicit KavoriAppThread(uint32_t queueCapacity);
    ~KavoriAppThread() override;

protected:
    virtual JLIB::JResult onChangeRunMode(RUNMODE runMode);
    virtual JLIB::JResult onChangePDBConfig();
    virtual JLIB::JResult onChangePDBStatus(PDBSTAT state);
    // The change walk of event 0: willOnFoundChangedParameter, then per database (by instance id)
    // and per subscription (in registration order) the plain changes at once and every changed
    // multi-value group once, for its first member, after them in (component, address, x, y)
    // order; then didOnFoundChangedParameter. 0 or the failure of will/did.
    virtual JLIB::JResult onChangePDBParam();
    // While running: brings this thread's view of the audio components up to date.
    virtual JLIB::JResult onChangeAudioComponentConfig();
    virtual JLIB::JResult onRecalled();
    virtual JLIB::JResult onParamSetListChanged();
    virtual JLIB::JResult onLibraryListChanged();
    virtual JLIB::JResult onFileListChanged();
    virtual JLIB::JResult onProjectChanged();
    virtual JLIB::JResult onMemoryInitialized();
    virtual JLIB::JResult onIPAddressChanged();
    virtual JLIB::JResult onUserLevelChanged();
    virtual JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber);
    virtual JLIB::JResult onMurParameterChanged();
    virtual JLIB::JResult onMurConnectStateChagned();
    // Own task only. Subscribes id (own task id << 16 | userId) to every database that exists
    // now; an id already subscribed changes nothing. Always 0.
    virtual JLIB::JResult registerSubscribeId(uint16_t userId, PDB::SubscribeAttr attr);

public:
    // Any task: post events 9 and 0; 0.
    uint32_t rawCallbackChangePDBConfig() override;
    uint32_t rawCallbackSetPDBParameter() override;

protected:
    virtual JLIB::JResult willOnFoundChangedParameter();
    // Called without any database lock held.
    virtual JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex,
                                                  uint32_t addressIndex, uint32_t x, uint32_t y,
                                                  uint32_t subscriptionId);
    virtual JLIB::JResult didOnFoundChangedParameter();

public:
    // Any task: posts event 10; 0.
    uint32_t rawCallbackChangeAudioComponentConfig() override;
    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    // Registers with the audio component collection on "RUN" and leaves it on "CLOSING".
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    // 11 to 13 are a broken invariant: logged, and the process ends.
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override;
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onWakeup() override;
    JLIB::JResult onFinalize() override;

private:
    void walkSubscription(PDB::IParameterDB& db, uint32_t subscriptionId);

    // Own task only.
    uint32_t m_productState;
    uint32_t m_runMode;
    uint32_t m_pdbState;
    std::vector<uint32_t> m_subscribeIds;  // registration order; never shrinks
};

}  // namespace KAVORI
