#pragma once
// The messages between the diagnostics console's owner thread "Diag" and the worker threads.
// Every send waits while the target's queue is full (up to 100 tries 100 ms apart). Any task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DiagFramework {

enum class DiagResult : int32_t { kNg = 0, kOk = 1, kNotProcessed = 2 };

constexpr const char* kDiagThreadName = "Diag";

// Request: run a command ("SequenceNo" 0 to "Diag"), or carry out one step (to a worker).
constexpr uint32_t kDiagRequestMessageId = 0x10000000;
// Output: a line for the console ("Message").
constexpr uint32_t kDiagOutputMessageId = 0x10000001;
// Result: the result of one step (to "Diag"), or the verdict of a command (to a worker).
constexpr uint32_t kDiagResultMessageId = 0x10000002;

// The step number that stands for the command's current step.
constexpr uint32_t kCurrentSequence = 0xFFFFFFFF;

// Each answers the send's result, or 0x80000000 when a name is null. A null message is sent as
// the empty text.
JLIB::JResult sendDiagRequestMessage(const char* commandName);
JLIB::JResult sendDiagSeqRequestMessage(const char* threadName, const char* commandName, uint32_t step);
JLIB::JResult sendDiagSeqReplyMessage(const char* commandName, uint32_t step, DiagResult result, const char* message);
JLIB::JResult sendDiagResultMessage(const char* threadName, const char* commandName, uint32_t step, DiagResult result,
                                    const char* message);
JLIB::JResult sendOutputMessage(const char* text);

}  // namespace DiagFramework
