#include "dbgc/dbgc_DebugConsole.h"

#include <atomic>
#include <cstring>

#include "dbgc/dbgc_LineInput.h"
#include "dbgc/dbgc_ProductInfo.h"
#include "dbgc/dbgc_stdapi.h"
#include "dbgc/internal/dbgc_sendWhole.h"
#include "jlib/jlib_ascii.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_number.h"
#include "jlib/jlib_printf.h"
#include "jlib/jlib_string.h"

namespace DBGC {

namespace {

constexpr uint32_t kNoLimit = 0xFFFFFFFFu;  // tokens are NUL-terminated; the parser stops there
constexpr uint32_t kVersionTextSize = 16;   // a version text is at most 6 characters

std::atomic<const IProductInfoSource*> gProductInfoSource{nullptr};

bool isCommentStart(char c) { return c == '#' || c == ';' || c == ':'; }

const char* productName()
{
    const IProductInfoSource* source = gProductInfoSource.load(std::memory_order_acquire);
    const char* name = source ? source->productName(0) : nullptr;
    return name ? name : "---";
}

void versionString(uint32_t kind, char (&text)[kVersionTextSize])
{
    (void)jlib_strcpy(text, kVersionTextSize, "------");  // fits
    const IProductInfoSource* source = gProductInfoSource.load(std::memory_order_acquire);
    if (!source) return;
    (void)source->versionString(kind, text, kVersionTextSize);  // its text is shown either way
    text[kVersionTextSize - 1] = '\0';
}

}  // namespace

void setProductInfoSource(const IProductInfoSource* source)
{
    gProductInfoSource.store(source, std::memory_order_release);
}

const IProductInfoSource* getProductInfoSource() { return gProductInfoSource.load(std::memory_order_acquire); }

// --- StringElement ---

uint32_t StringElement::length() const { return m_pText ? static_cast<uint32_t>(std::strlen(m_pText)) : 0; }

JLIB::JResult StringElement::toUInt(int base, uint32_t* value) const
{
    if (!m_pText) {
        if (value) *value = 0;
        return JLIB::kFailed;
    }
    return JLIB::isFailure(jlib_strntoul(value, m_pText, nullptr, base, kNoLimit)) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult StringElement::toInt(int base, int32_t* value) const
{
    if (!m_pText) {
        if (value) *value = 0;
        return JLIB::kFailed;
    }
    return JLIB::isFailure(jlib_strntol(value, m_pText, nullptr, base, kNoLimit)) ? JLIB::kFailed : JLIB::kOk;
}

uint32_t StringElement::hex2UInt() const
{
    uint32_t value = 0;
    (void)toUInt(16, &value);  // the value is what the caller wants, parsed or not
    return value;
}

uint32_t StringElement::dec2UInt() const
{
    uint32_t value = 0;
    (void)toUInt(10, &value);  // as above
    return value;
}

uint32_t StringElement::bit2UInt() const
{
    uint32_t value = 0;
    (void)toUInt(2, &value);  // as above
    return value;
}

int32_t StringElement::hex2Int() const
{
    int32_t value = 0;
    (void)toInt(16, &value);  // as above
    return value;
}

int32_t StringElement::dec2Int() const
{
    int32_t value = 0;
    (void)toInt(10, &value);  // as above
    return value;
}

int32_t StringElement::bit2Int() const
{
    int32_t value = 0;
    (void)toInt(2, &value);  // as above
    return value;
}

JLIB::JResult StringElement::dec2UInt(uint32_t* value) const { return toUInt(10, value); }

bool StringElement::isEqual(const char* text, bool caseSensitive) const
{
    if (!m_pText || !text) return false;
    const char* a = m_pText;
    const char* b = text;
    for (; *a && *b; ++a, ++b) {
        if (caseSensitive ? *a != *b
                          : jlib_toupper(static_cast<unsigned char>(*a)) != jlib_toupper(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == '\0' && *b == '\0';
}

// --- DebugConsole ---

DebugConsole::DebugConsole() = default;

// The transport may be gone already (its owner destroys it first): it is not touched here.
DebugConsole::~DebugConsole() = default;

JLIB::JResult DebugConsole::initialize(IDebugConsoleCallback* callback, IDebugConsoleLowIO& lowIO,
                                       const DBG_MODULE_INFO* table, uint32_t rows)
{
    if (m_pLowIO || !table || rows == 0) return JLIB::kFailed;
    m_pCallback = callback;
    m_pLowIO = &lowIO;
    m_pModuleTable = table;
    m_moduleCount = rows;
    if (JLIB::isFailure(lowIO.initialize(*this))) {
        JLIB_LOG("[E] DebugConsole::initialize - Cannot initialize 'Low-level I/O'!\n");
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult DebugConsole::finalize()
{
    if (!m_pLowIO) return JLIB::kFailed;
    (void)m_pLowIO->finalize();  // the transport is forgotten whatever it answers
    m_pLowIO = nullptr;
    return restart();
}

JLIB::JResult DebugConsole::run()
{
    if (!m_pLowIO) return JLIB::kFailed;
    return JLIB::isFailure(m_pLowIO->runCallback()) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult DebugConsole::restart()
{
    m_currentModule = 0;
    std::memset(m_line, 0, sizeof m_line);
    std::memset(m_history, 0, sizeof m_history);
    std::memset(m_output, 0, sizeof m_output);
    m_lineLength = 0;
    m_historyLength = 0;
    return JLIB::kOk;
}

JLIB::JResult DebugConsole::startOutput() { return dbgEnterCriticalSection(); }

JLIB::JResult DebugConsole::endOutput() { return dbgLeaveCriticalSection(); }

JLIB::JResult DebugConsole::output(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const JLIB::JResult result = voutput(format, args);
    va_end(args);
    return result;
}

JLIB::JResult DebugConsole::voutput(const char* format, va_list args)
{
    if (!m_pLowIO || !format) return JLIB::kFailed;
    uint32_t length = 0;
    if (JLIB::isFailure(jlib_vsnprintf(m_output, kOutputSize, &length, format, args))) return JLIB::kFailed;
    return detail::sendWhole(*m_pLowIO, m_output, static_cast<uint32_t>(std::strlen(m_output)));
}

JLIB::JResult DebugConsole::onLowIOWakeup(IDebugConsoleLowIO&)
{
    if (m_pCallback) (void)m_pCallback->onDebugConsoleWakeup(*this);  // the owner posts; nothing to report
    return JLIB::kOk;
}

JLIB::JResult DebugConsole::onLowIOPrepared(IDebugConsoleLowIO&)
{
    (void)dbgOpening(*this);  // a banner the peer cannot take is simply lost
    (void)writePrompt();      // likewise
    return JLIB::kOk;
}

JLIB::JResult DebugConsole::onLowIOReceived(IDebugConsoleLowIO&) { return parse(); }

const char* DebugConsole::currentModuleName() const
{
    if (!m_pModuleTable || m_currentModule >= m_moduleCount || !m_pModuleTable[m_currentModule].name) return "";
    return m_pModuleTable[m_currentModule].name;
}

JLIB::JResult DebugConsole::writePrompt() { return output("%s>", currentModuleName()); }

void DebugConsole::echo(uint8_t byte) { LineInput::echo(*m_pLowIO, byte, m_lineLength > 0); }

JLIB::JResult DebugConsole::parse()
{
    if (!m_pLowIO) return JLIB::kFailed;
    // A handler may finalize the shell, so the transport is looked at again for every byte.
    while (m_pLowIO) {
        uint8_t byte = 0;
        uint32_t received = 0;
        if (JLIB::isFailure(m_pLowIO->receive(&byte, 1, &received)) || received == 0) break;
        echo(byte);
        // Unlike the line consoles, the shell keeps its line ended with a NUL at every step.
        if (LineInput::isErase(byte)) {
            if (m_lineLength > 0) m_line[--m_lineLength] = '\0';
        } else if (LineInput::isLineEnd(byte)) {
            if (!endLine()) break;
        } else if (LineInput::isPrintable(byte) && m_lineLength < kLineSize - 1) {
            m_line[m_lineLength++] = static_cast<char>(byte);
            m_line[m_lineLength] = '\0';
        }
    }
    return JLIB::kOk;
}

bool DebugConsole::endLine()
{
    if (m_lineLength == 0) {
        // The rest of the received bytes stays with the transport, which reports it again.
        (void)writePrompt();  // a lost prompt is not reported
        return false;
    }
    if (m_lineLength == 2 && m_line[0] == '!' && m_line[1] == '!') {
        std::memcpy(m_line, m_history, sizeof m_line);
        m_lineLength = m_historyLength;
        (void)writePrompt();  // lost answers are not reported
        (void)output("%s", m_line);
        return false;
    }
    std::memcpy(m_history, m_line, sizeof m_history);
    m_historyLength = m_lineLength;
    (void)analyze();  // always 0
    (void)writePrompt();  // a lost prompt is not reported
    std::memset(m_line, 0, sizeof m_line);
    m_lineLength = 0;
    return true;
}

JLIB::JResult DebugConsole::analyze()
{
    // Tokens point into this copy, so a handler may restart or edit the shell's own buffers.
    char work[kLineSize];
    std::memcpy(work, m_line, sizeof work);
    work[kLineSize - 1] = '\0';
    const uint32_t length = m_lineLength < kLineSize ? m_lineLength : kLineSize - 1;

    bool quoted = false;
    for (uint32_t i = 0; i < length; ++i) {
        if (work[i] == '"') {
            quoted = !quoted;
            work[i] = '\0';
        } else if (!quoted && (work[i] == ' ' || work[i] == '\t')) {
            work[i] = '\0';
        }
    }

    StringElement tokens[kMaxTokens];
    uint32_t count = 0;
    for (uint32_t i = 0; i < length && count < kMaxTokens;) {
        if (work[i] == '\0') {
            ++i;
            continue;
        }
        if (isCommentStart(work[i])) break;
        tokens[count++] = &work[i];
        while (i < length && work[i] != '\0') ++i;
    }

    if (count == 0) return JLIB::kOk;
    if (count == kMaxTokens) {
        (void)output("Error: too many parameters\n");  // a lost answer is not reported
        return JLIB::kOk;
    }
    const StringElement& first = tokens[0];
    if (first == "..") {
        m_currentModule = 0;
    } else if (first == "restart") {
        (void)restart();  // always 0
    } else if (first == "log") {
        (void)cmdLog(count, tokens);  // reports to the user itself
    } else if (*first == '/') {
        if (first.length() > 1) (void)runCommand(first.c_str() + 1, count - 1, tokens + 1);  // always 0
    } else if (const int32_t row = findModule(first); row >= 0) {
        m_currentModule = static_cast<uint32_t>(row);
    } else {
        (void)runCommand(currentModuleName(), count, tokens);  // always 0
    }
    return JLIB::kOk;
}

JLIB::JResult DebugConsole::runCommand(const char* module, uint32_t count, const StringElement* tokens)
{
    const int32_t row = findModule(module);
    if (row < 0) {
        (void)output("Error: command not found!\n");  // a lost answer is not reported
        return JLIB::kOk;
    }
    const DBG_MODULE_INFO& info = m_pModuleTable[row];
    if (!info.handler) return JLIB::kOk;
    const JLIB::JResult result = info.handler(*this, count, tokens);
    if (JLIB::isFailure(result)) {
        (void)output("Error: Module=%s, ResultCode=%d(0x%08X)\n", module, static_cast<int>(result), result);
    }
    return JLIB::kOk;
}

JLIB::JResult DebugConsole::cmdLog(uint32_t count, const StringElement*)
{
    if (count != 1) (void)output("Error: argument\n");  // a lost answer is not reported
    return JLIB::kOk;
}

int32_t DebugConsole::findModule(const char* name) const
{
    if (!m_pModuleTable || !name) return -1;
    const StringElement wanted(name);
    for (uint32_t row = 0; row < m_moduleCount; ++row) {
        if (wanted.isEqual(m_pModuleTable[row].name, false)) return static_cast<int32_t>(row);
    }
    return -1;
}

// --- banner ---

JLIB::JResult dbgOpening(DebugConsole& console)
{
    char bootLoader[kVersionTextSize];
    char kernel[kVersionTextSize];
    char program[kVersionTextSize];
    versionString(kVersionBootLoader, bootLoader);
    versionString(kVersionKernel, kernel);
    versionString(kVersionProgram, program);

    (void)console.startOutput();  // without the lock the banner may only interleave with traces
    JLIB::JResult result = console.output("\n");
    result |= console.output("== JOVRIX %s Debug Monitor\n", productName());
    result |= console.output("==\n");
    result |= console.output("== Boot Loader Version : %s\n", bootLoader);
    result |= console.output("== Kernel Version      : %s\n", kernel);
    result |= console.output("== Program Version     : %s\n", program);
    result |= console.output("==\n");
    result |= console.output("== [?]  Help Display\n");
    result |= console.output("\n");
    (void)console.endOutput();  // pairs with the start above
    return result;
}

}  // namespace DBGC
