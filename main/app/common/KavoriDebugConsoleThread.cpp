#include "common/KavoriDebugConsoleThread.h"

#include "dbgc/Modules/dbgc_DebugModuleTable.h"
#include "jlib/jlib_cfg.h"

namespace KAVORI {

namespace {

constexpr const char* kDebugState = "DebugState";
constexpr uint32_t kConsoleOff = 1;

}  // namespace

KavoriDebugConsoleThread::KavoriDebugConsoleThread(uint16_t port)
    : DBGC::DebugConsoleThread(DBGC::gDebugModuleTable, DBGC::getDebugModuleTableSize(), port), m_consoleOn(false)
{
}

KavoriDebugConsoleThread::~KavoriDebugConsoleThread() = default;

uint16_t KavoriDebugConsoleThread::portOfOption(const JVariant& option)
{
    if (option.getType() != JVariant::kTypeString) return kDefaultPort;  // not given
    const char* text = option.toString();
    uint32_t port = 0;
    bool valid = text && *text != '\0';
    for (const char* p = text; valid && *p; ++p) {
        valid = *p >= '0' && *p <= '9';
        port = port * 10 + static_cast<uint32_t>(*p - '0');
        valid = valid && port <= 65535;
    }
    if (valid && port != 0) return static_cast<uint16_t>(port);
    JLIB_LOG("[W] KavoriDebugConsoleThread::portOfOption - \"dbgport\" is not a port number: '%s', using %u.\n",
             text ? text : "", static_cast<unsigned>(kDefaultPort));
    return kDefaultPort;
}

JLIB::JResult KavoriDebugConsoleThread::onChangeSystemInfo()
{
    const JLIB::JResult result = DBGC::DebugConsoleThread::onChangeSystemInfo();
    if (!isSysParamChanged(kDebugState, 0, true)) return result;
    JVariant value;
    // An unreadable value counts as 0, which opens the console like the declared default.
    const uint32_t state = JLIB::isFailure(getSysParam(value, kDebugState, 0)) ? 0 : value.toUInt32();
    const bool wanted = state != kConsoleOff;
    if (wanted == m_consoleOn) return result;
    m_consoleOn = wanted;
    // Both log their own failure; the flag keeps the decision so the same value does not retry.
    if (wanted) {
        (void)startEtherConsole();
    } else {
        (void)stopEtherConsole();
    }
    return result;
}

}  // namespace KAVORI
