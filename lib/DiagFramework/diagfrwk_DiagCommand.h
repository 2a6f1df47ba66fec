#pragma once
// The run state of one command of the diagnostics table: which step runs, the verdict so far and
// the steps' messages. Owner task of the console only.
#include <cstdint>
#include <string>

#include "DiagFramework/config/diagfrwk_Config.h"
#include "DiagFramework/diagfrwk_DiagMessage.h"
#include "jlib/jlib_result.h"

namespace DiagFramework {

class DiagCommand {
public:
    static constexpr int32_t kNotRunning = -1;

    // The row is borrowed (the static table in practice); null gives a command without a row.
    explicit DiagCommand(const DIAG_COMMAND_INFO* info);

    // Step 0, verdict OK, message emptied.
    void startSequence();
    void stopSequence() { m_sequenceNo = kNotRunning; }
    void reset() { m_sequenceNo = kNotRunning; }
    // Next step; 0x80000000 when the step is already above 3.
    JLIB::JResult proceedSequence();
    // Records one step's result: any result but OK makes the verdict NG; a message is appended,
    // after a blank when the text is not empty. 0x80000000 when the step is above 3.
    JLIB::JResult setSequenceResult(DiagResult result, const char* message);

    const char* commandName() const { return m_pInfo ? m_pInfo->commandName : nullptr; }
    int32_t commandId() const { return m_pInfo ? m_pInfo->commandId : -1; }
    int32_t category() const { return m_pInfo ? m_pInfo->category : 0; }
    // The destination of the step (kNotRunning: the current one); null outside 0 to 3.
    const char* destThreadId(int32_t step) const;
    int32_t sequenceNo() const { return m_sequenceNo; }
    DiagResult diagResult() const { return m_result; }
    const std::string& messageStr() const { return m_message; }
    bool isExecuting() const { return m_sequenceNo >= 0; }
    // True unless the next step lies within 0 to 3 and has a destination.
    bool isLastSequence() const;

private:
    const DIAG_COMMAND_INFO* m_pInfo;  // the static table's row
    int32_t m_sequenceNo = kNotRunning;
    DiagResult m_result = DiagResult::kOk;
    std::string m_message;
};

}  // namespace DiagFramework
