#pragma once
// What owners use of the discovery protocol: start and stop of the service with its two locks and
// its task "JSDPSVC", the plain functions (each under the main lock "JSDPMAIN"), their unlocked
// counterparts for callers that hold the lock, and the steps the service task runs.
//
// The locked functions may be called between a successful jsdp_startup and the last
// jsdp_cleanup, from any task except from inside a subscriber callback (which runs with the main
// lock held; the lock is not recursive).
#include <cstdint>

#include "jsdp/JsdpLocalHost.h"
#include "jsdp/JsdpObserver.h"
#include "jsdp/jsdp_types.h"

namespace JSDP {

// Event bits of the service task.
constexpr uint32_t kBitInterval = 0x80000000u;
constexpr uint32_t kBitSetup = 0x40000000u;
constexpr uint32_t kBitNotify = 0x20000000u;
constexpr uint32_t kBitWake = 0x10000000u;
constexpr uint32_t kBitSocket = 0x08000000u;
constexpr uint32_t kBitReceive = 0x04000000u;
constexpr uint32_t kBitSend = 0x02000000u;
constexpr uint32_t kEventMask = 0xFE000000u;
constexpr uint32_t kTaskWaitMs = 100;  // also the shortest distance between interval passes

// 0 started; 0x80000005 already running (counted all the same); 0x80000001 when a lock or the
// task could not be made (nothing is left behind then).
JLIB::JResult jsdp_startup();
JLIB::JResult _jsdp_startup();
// 0 stopped; 9 while starts remain counted; 0x80000005 when not started.
JLIB::JResult jsdp_cleanup();
JLIB::JResult _jsdp_cleanup();

// Locked functions.
JLIB::JResult jsdp_setup(const _T_JSDP_NETWORK_SETUP_PROPERTY* requests, uint16_t count);
JLIB::JResult jsdp_clear();
JLIB::JResult jsdp_changeTime(uint16_t index, uint32_t intervalMs, uint32_t seconds);
JLIB::JResult jsdp_changeStatus(uint16_t index, uint8_t status);
JLIB::JResult jsdp_getStatus(uint16_t index);
JLIB::JResult jsdp2_setup(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY* request);
JLIB::JResult jsdp2_clear(int32_t id);
JLIB::JResult jsdp2_changeTime(int32_t id, uint32_t intervalMs, uint32_t seconds);
JLIB::JResult jsdp2_changeStatus(int32_t id, uint8_t status);
JLIB::JResult jsdp2_getStatus(int32_t id);
JLIB::JResult jsdp_subscribe(JsdpHostCallback callback);
JLIB::JResult jsdp_getNumOfHost(uint32_t* count);
JLIB::JResult jsdp_getHostInfo(uint32_t n, _JSDP_HOST_INFO* host);
JLIB::JResult jsdp_debugPrintHostList(JsdpPrintFunction f);

// Unlocked functions: the caller holds the main lock.
JLIB::JResult jsdp_manageSetup(const _T_JSDP_NETWORK_SETUP_PROPERTY* requests, uint16_t count);
JLIB::JResult jsdp_manageClear();
JLIB::JResult jsdp_changeTimeForLocal(uint16_t index, uint32_t intervalMs, uint32_t seconds);
JLIB::JResult jsdp_changeStatusForLocal(uint16_t index, uint8_t status);
JLIB::JResult jsdp_getStatusForLocal(uint16_t index);
JLIB::JResult jsdp2_manageSetup(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY* request);
JLIB::JResult jsdp2_manageClear(int32_t id);
JLIB::JResult jsdp2_changeTimeForLocal(int32_t id, uint32_t intervalMs, uint32_t seconds);
JLIB::JResult jsdp2_changeStatusForLocal(int32_t id, uint8_t status);
JLIB::JResult jsdp2_getStatusForLocal(int32_t id);
JLIB::JResult jsdp_subscribeForLocal(uint16_t taskId, JsdpHostCallback callback);
JLIB::JResult jsdp_getNumOfHostForLocal(uint32_t* count);
JLIB::JResult jsdp_getHostInfoForLocal(uint16_t n, _JSDP_HOST_INFO* host);
JLIB::JResult jsdp_printHostListForLocal(JsdpPrintFunction f);
JLIB::JResult jsdp_waiSemForLocal();
JLIB::JResult jsdp_sigSemForLocal();
// The network list, without the lock.
JLIB::JResult jsdp_debugPrintStatus(JsdpPrintFunction f);

// Service side.
JLIB::JResult jsdp_initialize(JsdpLockFunction lock, JsdpLockFunction unlock, uint16_t mainLockId,
                              uint16_t socketLockId);
void jsdp_finalize();
JLIB::JResult jsdp_initializeForController(const _T_JSDP_LOCAL_SETUP* record);
JLIB::JResult jsdp_manageProcessSetup(uint8_t* interval);
JLIB::JResult jsdp_manageProcessInterval(uint8_t* receive, uint8_t* send, uint8_t* notify);
JLIB::JResult jsdp_processSocketCallbackForController(uint8_t* receive, uint8_t* send);
JLIB::JResult jsdp_manageProcessRx(uint8_t* more, uint8_t* send, uint8_t* notify);
JLIB::JResult jsdp_manageProcessTx(uint8_t* first, uint8_t* second);
JLIB::JResult jsdp_notifyUpdateHostInfoForController();
// Maps manager event numbers onto the task's bits (0 notify, 1 setup, 2 socket, others wake) and
// posts the bit to the service task; 0.
JLIB::JResult setMyEvent(uint32_t event);
// The service task's entry.
void jsdp_taskMain(void* argument);

// The service task's id, 0 while it is not running.
uint16_t jsdp_getTaskId();

}  // namespace JSDP
