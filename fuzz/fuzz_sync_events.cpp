// Console-link events as a device sends them: (factor, key, value) triples through the event
// handlers of the synchronisation. No handler may crash or read past the value on any text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "editor/KavoriEventExecutor.h"

using KAVORI::KavoriEventExecutor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // Factors around the unit range 240 to 254, so both the valid and the refused ones occur.
    const uint32_t factor = 232u + data[0] % 32u;
    const uint8_t key = data[1];
    const std::string value(reinterpret_cast<const char*>(data + 2), size - 2);  // stops at a zero byte
    uint32_t unit = 0;
    uint16_t port = 0;
    uint8_t interval = 0;
    switch (key % 10) {
    case 0: (void)KavoriEventExecutor::keepAlive(factor, value.c_str()); break;
    case 1: (void)KavoriEventExecutor::resultClientType(factor, value.c_str()); break;
    case 2: (void)KavoriEventExecutor::onApplyConfig(factor, value.c_str()); break;
    case 3: (void)KavoriEventExecutor::notifyDirSyncStatus(factor, value.c_str()); break;
    case 4: (void)KavoriEventExecutor::onSetWarningMessage(factor, value.c_str()); break;
    case 5: (void)KavoriEventExecutor::setClientType(factor, value.c_str(), unit, port); break;
    case 6: (void)KavoriEventExecutor::clearClientType(factor, value.c_str(), unit); break;
    case 7: (void)KavoriEventExecutor::abortSynchronize(factor, value.c_str(), unit); break;
    case 8: (void)KavoriEventExecutor::setApplyConfig(factor, value.c_str()); break;
    default: (void)KavoriEventExecutor::meterRequest(factor, value.c_str(), unit, port, interval); break;
    }
    return 0;
}
