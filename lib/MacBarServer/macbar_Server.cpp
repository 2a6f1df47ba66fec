#include "MacBarServer/macbar_Server.h"

#include <cstring>
#include <string>

#include "MacBarServer/macbar_File.h"
#include "dbgc/dbgc_LineInput.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_printf.h"

namespace MACBAR {

namespace {

constexpr uint32_t kProductNameWidth = 10;
// A line of 79 characters holds at most 40 tokens.
constexpr uint32_t kTokenRoom = MacBarServer::kLineSize / 2 + 1;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool startsComment(char c) { return c == '#' || c == ';' || c == ':'; }

// A decimal interface number other than 0.
bool isInterfaceNumber(const DBGC::StringElement& token, uint32_t* value)
{
    return JLIB::isSuccess(token.dec2UInt(value)) && *value != 0;
}

}  // namespace

MacBarServer::MacBarServer() { (void)restart(); }  // always 0

MacBarServer::~MacBarServer() = default;

JLIB::JResult MacBarServer::initialize(IMacBarServerCallback* callback, DBGC::IDebugConsoleLowIO& lowIO)
{
    m_pCallback = callback;
    m_pLowIO = &lowIO;
    if (JLIB::isFailure(lowIO.initialize(*this))) {
        JLIB_LOG("[E] MacBarServer::initialize - Cannot initialize 'Low-level I/O'!\n");
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult MacBarServer::run()
{
    if (!m_pLowIO || JLIB::isFailure(m_pLowIO->runCallback())) return JLIB::kFailed;
    return JLIB::kOk;
}

JLIB::JResult MacBarServer::restart()
{
    std::memset(m_line, 0, sizeof m_line);
    m_lineLength = 0;
    std::memset(m_output, 0, sizeof m_output);
    return JLIB::kOk;
}

JLIB::JResult MacBarServer::output(const char* format, ...)
{
    if (!m_pLowIO || !format) return JLIB::kFailed;
    va_list args;
    va_start(args, format);
    uint32_t length = 0;
    const JLIB::JResult formatted = jlib_vsnprintf(m_output, kOutputSize, &length, format, args);
    va_end(args);
    if (JLIB::isFailure(formatted)) return JLIB::kFailed;
    return DBGC::LineInput::sendWhole(*m_pLowIO, m_output, static_cast<uint32_t>(std::strlen(m_output)));
}

JLIB::JResult MacBarServer::onLowIOWakeup(DBGC::IDebugConsoleLowIO&)
{
    if (m_pCallback) (void)m_pCallback->onMacBarServerWakeup(*this);  // only posts to the owner
    return JLIB::kOk;
}

JLIB::JResult MacBarServer::onLowIOPrepared(DBGC::IDebugConsoleLowIO&) { return JLIB::kOk; }

JLIB::JResult MacBarServer::onLowIOReceived(DBGC::IDebugConsoleLowIO&) { return parse(); }

JLIB::JResult MacBarServer::parse()
{
    if (!m_pLowIO) return JLIB::kFailed;
    DBGC::LineInput::readLines(
        *m_pLowIO, m_line, kLineSize, m_lineLength, [](uint8_t) {}, [this] { (void)analyze(); });  // always 0
    return JLIB::kOk;
}

JLIB::JResult MacBarServer::analyze()
{
    char work[kLineSize] = {};
    std::memcpy(work, m_line, m_lineLength);
    DBGC::StringElement tokens[kTokenRoom];
    uint32_t count = 0;
    uint32_t at = 0;
    while (at < m_lineLength && count < kTokenRoom) {
        while (at < m_lineLength && isBlank(work[at])) ++at;
        if (at >= m_lineLength) break;
        if (startsComment(work[at])) break;  // the rest of the line is a comment
        tokens[count++] = &work[at];
        bool quoted = false;
        while (at < m_lineLength && (quoted || !isBlank(work[at]))) {
            if (work[at] == '"') quoted = !quoted;
            ++at;
        }
        if (at < m_lineLength) work[at++] = '\0';
    }
    if (count == 0) return JLIB::kOk;
    if (count >= kMaxTokens) {
        (void)output("NG: END>");  // a lost reply is the station's to notice
        return JLIB::kOk;
    }
    return runCommand(count, tokens);
}

JLIB::JResult MacBarServer::runCommand(uint32_t count, const DBGC::StringElement* tokens)
{
    bool ok = false;
    std::string value;
    const DBGC::StringElement& command = tokens[0];
    const DBGC::StringElement action = count > 1 ? tokens[1] : DBGC::StringElement();
    uint32_t interfaceIndex = 0;

    if (command == "PRONAME") {
        if (action == "GET") {
            value = macbar_GetProductName().substr(0, kProductNameWidth);
            value.resize(kProductNameWidth, ' ');
            ok = true;
        }
    } else if (command == "MACADR") {
        if (action == "CLEAR") {
            ok = count > 2 && isInterfaceNumber(tokens[2], &interfaceIndex) &&
                 JLIB::isSuccess(macbar_ClearMACAddress(interfaceIndex));
        } else if (action == "WRITE") {
            ok = count > 3 && isInterfaceNumber(tokens[2], &interfaceIndex) &&
                 JLIB::isSuccess(macbar_WriteMACAddress(interfaceIndex, tokens[3].c_str()));
        } else if (action == "GET") {
            char digits[16] = {};
            ok = JLIB::isSuccess(macbar_GetMACAddress(digits, sizeof digits));
            value = digits;
        }
    } else if (command == "ESERI") {
        if (action == "CLEAR") {
            ok = JLIB::isSuccess(macbar_ClearESerial());
        } else if (action == "WRITE") {
            ok = count > 2 && JLIB::isSuccess(macbar_WriteESerial(tokens[2].c_str()));
        } else if (action == "GET") {
            char serial[20] = {};
            ok = JLIB::isSuccess(macbar_GetESerial(serial, sizeof serial));
            value = serial;
        }
    }
    // A lost reply is the station's to notice.
    if (ok) (void)output("OK:%s END>", value.c_str());
    else (void)output("NG: END>");
    return JLIB::kOk;
}

}  // namespace MACBAR
