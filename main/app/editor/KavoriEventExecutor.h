#pragma once
// Handlers of the console-link events a device sends during a synchronisation, and (carried for
// the device side) of the events this system sends. Stateless; called on the task that owns the
// link ("Sync"). Messages go to "DeviceControl" with waiting; a missing thread drops them.
// Items are read in order; an item key matches a word when the word begins with it.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace KAVORI {

class KavoriEventExecutor {
public:
    static constexpr uint32_t kFirstUnitFactor = 240;
    static constexpr uint32_t kLastUnitFactor = 254;
    static constexpr uint32_t kMaxItemText = 256;

    // A factor 240 to 254 gives the unit id factor - 240; any other gives 0 and 0x80000000.
    static JLIB::JResult convFactorToUnitId(uint32_t& unitId, uint32_t factor);

    // "KeepAlive": 0.
    static JLIB::JResult keepAlive(uint32_t factor, const char* value);
    // "onSetClientType": sends "isSameConfig" with "ConfigHash" (the "HASH" text, or empty) to
    // "DeviceControl". 0.
    static JLIB::JResult resultClientType(uint32_t factor, const char* value);
    // "onApplyConfig": 0.
    static JLIB::JResult onApplyConfig(uint32_t factor, const char* value);
    // "NotifyDirSyncStatus": the device's folder numbers into the received-direction status
    // parameters at the factor's unit id; 0x80000000 for a bad factor (nothing written).
    static JLIB::JResult notifyDirSyncStatus(uint32_t factor, const char* value);
    // "onSetWarningMessage": 0 when "ID" and "MESSAGE" both have a value, else 0x80000000.
    static JLIB::JResult onSetWarningMessage(uint32_t factor, const char* value);

    // Device side.
    static JLIB::JResult setClientType(uint32_t factor, const char* value, uint32_t& unitId, uint16_t& udpPort);
    static JLIB::JResult clearClientType(uint32_t factor, const char* value, uint32_t& unitId);
    static JLIB::JResult abortSynchronize(uint32_t factor, const char* value, uint32_t& unitId);
    static JLIB::JResult setApplyConfig(uint32_t factor, const char* value);
    static JLIB::JResult meterRequest(uint32_t factor, const char* value, uint32_t& unitId, uint16_t& componentId,
                                      uint8_t& interval);

    // The plain text of the first item whose key begins word; false when none has one (found
    // then tells whether an item matched at all). Exposed for the thread's own handlers.
    static bool findText(const char* value, const char* word, std::string& text);
};

}  // namespace KAVORI
