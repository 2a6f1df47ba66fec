#pragma once
// The thread "MURRemote": owns the link to the plug-in rack server. It loads the rack library,
// connects once a second until a connection stands (and again after every connection error the
// library reports), turns the server's events into events and messages for "DeviceControlForUZ"
// and "OSCServer", and sends every change of the protocol parameters to the rack in one batch per
// change walk. Hooks run on the thread's own task; the three library callbacks below run on the
// library's thread and reach the thread only by name.
#include <cstdint>

#include "common/KavoriAppThread.h"
#include "jlib/jlib_result.h"

namespace LPC {

class LpcMurRemoteThread : public KAVORI::KavoriAppThread {
public:
    static constexpr uint32_t kConnectTimerId = 0;
    static constexpr uint32_t kConnectPeriodMs = 1000;
    // Records one change walk may queue before the library is handed a part of it.
    static constexpr uint64_t kBatchCapacity = 10000;

    // Local events: what the callbacks post, served on the thread.
    static constexpr uint32_t kEventReconnect = 17;         // the library reported a connection error
    static constexpr uint32_t kEventParameterChanged = 18;  // passed on as shared event 14
    static constexpr uint32_t kEventPackageLoaded = 19;
    static constexpr uint32_t kEventRecallStarted = 20;
    static constexpr uint32_t kEventRecallEnded = 21;
    static constexpr uint32_t kEventSceneRecalled = 22;
    static constexpr uint32_t kEventSceneStored = 23;
    static constexpr uint32_t kEventCurrentChanged = 24;

    LpcMurRemoteThread();
    // Releases a thread whose owner did not, while this object is still whole.
    ~LpcMurRemoteThread() override;

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

    // Own task: (re)arms the connect retry timer and starts it. 0 or the timer's failure.
    JLIB::JResult startConnect();
    // Any task: shared event 14 or 15 to "DeviceControlForUZ", then to "OSCServer". Any other
    // number is a broken invariant and ends the process.
    static void sendEventCore(uint32_t eventNumber);

protected:
    // The base, then the library with the three callbacks; only a loaded library starts the
    // retry timer. The library's failure otherwise (the thread runs on without a rack).
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    // "STOP" to "RUN": subscribes (user id 0, attribute 1) to every database.
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    // Stops the retry timer and unloads the library.
    JLIB::JResult onFinalize() override;
    JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber) override;

    JLIB::JResult willOnFoundChangedParameter() override;
    // Queues the normalised values of one changed protocol parameter of "uzCurrent", "uzSetup"
    // or "uzVolatile"; 0 for a change elsewhere, 0x80000000 or the lookup's failure for an
    // element that is no protocol parameter.
    JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                          uint32_t x, uint32_t y, uint32_t subscriptionId) override;
    // Hands the batch to the library (an empty one too) and ends a running recall stopwatch.
    JLIB::JResult didOnFoundChangedParameter() override;

private:
    // One connection step of the retry timer.
    void connectStep();
    // The scene message of events 22 to 24, with the rack's current preset as scene index.
    static void sendSceneMessage(const char* operation, const char* status);
    static void sendPackageMessage();
};

// The library's callbacks; the context is not used.
void callbackConnectError(void* context);
void callbackRemoteServerEvent(bool flag, int32_t eventType, void* context);
void callbackRemoteChangePluginParameter(bool flag, const char* moduleId, int32_t paramNo, void* context);

}  // namespace LPC
