#include "DiagFramework/diagfrwk_DiagMessage.h"

#include "TMS/AbstractMessage.h"

namespace DiagFramework {

namespace {

// Builds the user message; false when a piece could not be stored.
bool build(TMS::AbstractMessage& message, uint32_t id)
{
    return JLIB::isSuccess(message.initialize(TMS::kMessageUser, id));
}

JLIB::JResult sendResult(const char* threadName, const char* commandName, uint32_t step, DiagResult result,
                         const char* text)
{
    if (!threadName || !commandName) return JLIB::kFailed;
    TMS::AbstractMessage message;
    const bool built = build(message, kDiagResultMessageId) &&
                       JLIB::isSuccess(message.addData("CommandName", commandName)) &&
                       JLIB::isSuccess(message.addData("SequenceNo", step)) &&
                       JLIB::isSuccess(message.addData("Result", static_cast<int32_t>(result))) &&
                       JLIB::isSuccess(message.addData("Message", text));
    if (!built) return JLIB::kFailed;
    return message.sendWithWaiting(threadName);
}

}  // namespace

JLIB::JResult sendDiagRequestMessage(const char* commandName)
{
    if (!commandName) return JLIB::kFailed;
    TMS::AbstractMessage message;
    const bool built = build(message, kDiagRequestMessageId) &&
                       JLIB::isSuccess(message.addData("CommandName", commandName)) &&
                       JLIB::isSuccess(message.addData("SequenceNo", static_cast<int32_t>(0)));
    if (!built) return JLIB::kFailed;
    return message.sendWithWaiting(kDiagThreadName);
}

JLIB::JResult sendDiagSeqRequestMessage(const char* threadName, const char* commandName, uint32_t step)
{
    if (!threadName || !commandName) return JLIB::kFailed;
    TMS::AbstractMessage message;
    const bool built = build(message, kDiagRequestMessageId) &&
                       JLIB::isSuccess(message.addData("CommandName", commandName)) &&
                       JLIB::isSuccess(message.addData("SequenceNo", step));
    if (!built) return JLIB::kFailed;
    return message.sendWithWaiting(threadName);
}

JLIB::JResult sendDiagSeqReplyMessage(const char* commandName, uint32_t step, DiagResult result, const char* message)
{
    return sendResult(kDiagThreadName, commandName, step, result, message);
}

JLIB::JResult sendDiagResultMessage(const char* threadName, const char* commandName, uint32_t step, DiagResult result,
                                    const char* message)
{
    return sendResult(threadName, commandName, step, result, message);
}

JLIB::JResult sendOutputMessage(const char* text)
{
    if (!text) return JLIB::kFailed;
    TMS::AbstractMessage message;
    const bool built = build(message, kDiagOutputMessageId) && JLIB::isSuccess(message.addData("Message", text));
    if (!built) return JLIB::kFailed;
    return message.sendWithWaiting(kDiagThreadName);
}

}  // namespace DiagFramework
