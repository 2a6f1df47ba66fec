#include "DiagFramework/diagfrwk_DiagCommand.h"

namespace DiagFramework {

namespace {

constexpr int32_t kLastStep = static_cast<int32_t>(kMaxSequence) - 1;

}  // namespace

DiagCommand::DiagCommand(const DIAG_COMMAND_INFO* info) : m_pInfo(info) {}

void DiagCommand::startSequence()
{
    m_sequenceNo = 0;
    m_result = DiagResult::kOk;
    m_message.clear();
}

JLIB::JResult DiagCommand::proceedSequence()
{
    if (m_sequenceNo > kLastStep) return JLIB::kFailed;
    ++m_sequenceNo;
    return JLIB::kOk;
}

JLIB::JResult DiagCommand::setSequenceResult(DiagResult result, const char* message)
{
    if (m_sequenceNo > kLastStep) return JLIB::kFailed;
    // "Not processed" counts as NG: a check that did not run has not passed.
    if (result != DiagResult::kOk) m_result = DiagResult::kNg;
    if (message && *message != '\0') {
        if (!m_message.empty()) m_message += ' ';
        m_message += message;
    }
    return JLIB::kOk;
}

const char* DiagCommand::destThreadId(int32_t step) const
{
    if (step == kNotRunning) step = m_sequenceNo;
    if (!m_pInfo || step < 0 || step > kLastStep) return nullptr;
    return m_pInfo->destThreadName[step];
}

bool DiagCommand::isLastSequence() const
{
    const int32_t next = m_sequenceNo + 1;
    return !(next >= 0 && next <= kLastStep && destThreadId(next) != nullptr);
}

}  // namespace DiagFramework
