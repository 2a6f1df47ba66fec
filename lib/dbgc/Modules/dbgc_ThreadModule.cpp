#include "dbgc/Modules/dbgc_ThreadModule.h"

#include "TMS/AbstractThread.h"
#include "TMS/ThreadLogger.h"
#include "TMS/ThreadRepository.h"
#include "dbgc/Modules/internal/dbgc_moduleSupport.h"
#include "jlib/jlib_ascii.h"

namespace DBGC {

namespace {

constexpr uint32_t kEveryLine = 0xFFFFFFFFu;
constexpr uint32_t kMaxTaskId = 0xFFFF;

const char* const kHelp[] = {
    "Thread Command help -----------------\n",
    " (STA_IDX:start index, END_IDX:end index)\n",
    "help | ?                                                :help\n",
    "tlist                                                   :thread list\n",
    "tlog  {ThreadName|TaskID} [STA_IDX(dec)] [END_IDX(dec)] :thread log\n",
    "tlogc {ThreadName|TaskID}                               :thread log clear\n",
    "\n",
};

JLIB::JResult threadList(DebugConsole& console)
{
    (void)console.startOutput();  // without the lock the list may only interleave with traces
    (void)console.output("  [ ThreadName ] [TaskID] [LogSize] [ElapseCount] [Status]\n");  // lost lines are not reported
    for (auto it = TMS::threadMapBegin(); it != TMS::threadMapEnd(); ++it) {
        TMS::AbstractThread& thread = *it->second;
        (void)console.output("  %-16s %4d        %2d     %10d   %-s\n", thread.getThreadName(),
                             static_cast<int>(thread.getTaskId()), static_cast<int>(thread.logger().size()),
                             static_cast<int>(thread.calcElapseCount()), threadStatus(thread.getStatus()));
    }
    (void)console.endOutput();  // pairs with the start above
    return JLIB::kOk;
}

JLIB::JResult threadLog(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    if (count < 2) return JLIB::kFailed;
    uint32_t start = 0;
    if (count >= 3 && JLIB::isFailure(tokens[2].dec2UInt(&start))) return JLIB::kFailed;
    uint32_t end = kEveryLine;
    // A fifth token makes the line something else than "thread start end": the end is not read.
    if (count == 4 && JLIB::isFailure(tokens[3].dec2UInt(&end))) return JLIB::kFailed;

    TMS::AbstractThread& thread = getThread(tokens[1]);
    const uint32_t lines = thread.logger().size();
    if (lines == 0 || JLIB::isFailure(lines)) return JLIB::kFailed;
    if (end >= lines) end = lines - 1;
    if (end < start) return JLIB::kFailed;

    char line[TMS::ThreadLogger::kLineSize];
    (void)console.startOutput();  // without the lock the log may only interleave with traces
    (void)console.output("[THREAD:%s]\n", thread.getThreadName());  // lost lines are not reported
    for (uint32_t i = start; i <= end; ++i) {
        // A line the ring no longer holds (cleared meanwhile) reads as the empty text.
        (void)thread.logger().get(i, line, sizeof line);
        (void)console.output("%02d)%s", static_cast<int>(i), line);
    }
    (void)console.endOutput();  // pairs with the start above
    return JLIB::kOk;
}

JLIB::JResult threadLogClear(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    if (count < 2) return JLIB::kFailed;
    TMS::AbstractThread& thread = getThread(tokens[1]);
    (void)console.output("[THREAD:%s] logs clear\n", thread.getThreadName());  // a lost answer is not reported
    (void)thread.logger().clear();  // the null thread has no ring to clear
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult dbgThreadModule(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    if (count == 0) return JLIB::kFailed;
    const StringElement& command = tokens[0];
    if (detail::isHelp(command)) return detail::writeLines(console, kHelp);
    if (command == "tlist") return threadList(console);
    if (command == "tlog") return threadLog(console, count, tokens);
    if (command == "tlogc") return threadLogClear(console, count, tokens);
    return JLIB::kOk;
}

TMS::AbstractThread& getThread(const StringElement& token)
{
    const char* text = token.c_str();
    if (!text) return TMS::getNullThread();
    for (const char* p = text; *p; ++p) {
        if (jlib_isalpha(static_cast<unsigned char>(*p))) return TMS::getThreadByName(text);
    }
    const uint32_t taskId = token.dec2UInt();
    if (taskId > kMaxTaskId) return TMS::getNullThread();
    return TMS::getThreadByTaskId(static_cast<uint16_t>(taskId));
}

const char* threadStatus(uint32_t status)
{
    static const char* const kNames[] = {"UNINITIALIZED", "OPENING", "STOP", "RUN", "PAUSE", "CLOSING", "CLOSED", "DESTROY"};
    return status < sizeof kNames / sizeof kNames[0] ? kNames[status] : "UNKNOWN";
}

}  // namespace DBGC
