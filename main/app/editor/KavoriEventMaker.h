#pragma once
// Builds the console-link events this system sends to a device during a synchronisation: a key
// and a value of "KEY:value" items joined by one blank. Stateless; any task. Each operation
// clears the value first and answers 0, or 0x80000000 when an item cannot be built (the value is
// then partly built and must not be sent).
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace KAVORI {

class SyncStatusInfo;

class KavoriEventMaker {
public:
    static constexpr uint32_t kItemCapacity = 256;

    static JLIB::JResult keepAliveEvent(std::string& key, std::string& value);
    // clientType 0 "Editor", 1 "Explorer"; any other type fails before an item is written.
    static JLIB::JResult setClientTypeEvent(std::string& key, std::string& value, uint32_t clientType,
                                            uint32_t direction, const char* pin, uint16_t udpPort);
    static JLIB::JResult applyConfigEvent(std::string& key, std::string& value);
    static JLIB::JResult abortSynchronize(std::string& key, std::string& value);
    static JLIB::JResult clearClientTypeEvent(std::string& key, std::string& value);
    static JLIB::JResult notifyDirSyncStatus(std::string& key, std::string& value, const SyncStatusInfo& status);
    static JLIB::JResult setMeterRequest(std::string& key, std::string& value, uint8_t interval, uint16_t componentId);
    // A device's answers, carried for the device side.
    static JLIB::JResult onSetClientType(std::string& key, std::string& value, const char* pin, const uint8_t* hash,
                                         uint32_t length);
    static JLIB::JResult onSyncAborted(std::string& key, std::string& value);
    static JLIB::JResult onSetApplyConfig(std::string& key, std::string& value);
};

}  // namespace KAVORI
