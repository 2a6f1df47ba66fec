#include "comctrl_EventMessenger.h"

#include <cstring>
#include <new>

#include "comctrl_EventMessengerProtocol.h"
#include "comctrl_IEventExecutor.h"
#include "comctrl_cnp.h"

namespace ComControl {

namespace {

using Protocol = EventMessengerProtocol;

// A zero-terminated copy of at most limit characters; null when the heap refuses.
char* copyText(const char* text, uint32_t limit)
{
    const size_t length = strnlen(text, limit);
    char* copy = new (std::nothrow) char[length + 1];
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

JLIB::JResult encodeEvent(uint8_t* buffer, uint32_t capacity, uint32_t* length, const EventMessenger::T_SENDOBJ& object)
{
    return Protocol::Encode_Event(buffer, capacity, length, object.name, object.text, object.id);
}

}  // namespace

JLIB::JResult EventMessenger::T_SENDOBJ::set(const char* newName, const char* newText, uint32_t newId,
                                             uint32_t newAnswerCode)
{
    if (!isEmpty()) return kBusy;
    owned = false;
    name = newName;
    text = newText;
    id = newId;
    answerCode = newAnswerCode;
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::T_SENDOBJ::stock(const char* newName, const char* newText, uint32_t newId,
                                               uint32_t newAnswerCode)
{
    if (!isEmpty()) return kBusy;
    if (!newName || !newText) return kNoMemory;
    // An empty text is an event without items ("ApplyConfig"): kept like any other.
    char* nameCopy = copyText(newName, Protocol::kMaxNameLength);
    char* textCopy = copyText(newText, Protocol::kMaxTextLength);
    if (!nameCopy || !textCopy) {
        delete[] nameCopy;
        delete[] textCopy;
        return kNoMemory;
    }
    owned = true;
    name = nameCopy;
    text = textCopy;
    id = newId;
    answerCode = newAnswerCode;
    return JLIB::kOk;
}

void EventMessenger::T_SENDOBJ::reset()
{
    if (owned) {
        delete[] name;
        delete[] text;
    }
    owned = false;
    name = nullptr;
    text = nullptr;
    id = 0;
    answerCode = 0;
}

JLIB::JResult EventMessenger::initialize(bool notServerUnit, IUnitComponentObserver* observer)
{
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::setExecutor(const char* name, IEventExecutor& executor, uint32_t userValue)
{
    if (!name || strnlen(name, kMaxExecutorName + 2) > kMaxExecutorName + 1) return kBadArgument;
    if (JLIB::isFailure(extendReceiveBufferSize(Protocol::getMaxBufferSize()))) return kNoMemory;
    std::memset(m_executorName, 0, sizeof(m_executorName));
    std::strncpy(m_executorName, name, kMaxExecutorName);
    m_pExecutor = &executor;
    m_userValue = userValue;
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::changeAction(SendAction action)
{
    if (action && m_action) return kPending;
    m_action = action;
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::send(uint32_t /*id*/, const char* name, const char* text)
{
    if (!name || !text) return kBadArgument;
    // The peer drops longer ones unexecuted; refusing here tells the caller.
    if (strnlen(name, Protocol::kMaxNameLength + 1) > Protocol::kMaxNameLength ||
        strnlen(text, Protocol::kMaxTextLength + 1) > Protocol::kMaxTextLength) {
        return kBadArgument;
    }
    if (!isSendable()) return kBusy;
    if (m_executing) return stockForLater(name, text);
    JLIB_RETURN_IF_FAILED(m_sendObject.set(name, text, 0));
    if (JLIB::isFailure(changeAction(&encodeEvent))) {
        m_sendObject.reset();  // the texts are the caller's
        return kPending;
    }
    (void)writeRequest();  // the port is set: always 0; no room now leaves the event with us
    if (m_sendObject.isEmpty()) return JLIB::kOk;
    // Still here: it waits for room, so the caller's texts must be copied.
    m_sendObject.reset();
    if (JLIB::isFailure(m_sendObject.stock(name, text, 0))) {
        (void)dropPending();
        return kNoMemory;
    }
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::stockForLater(const char* name, const char* text)
{
    // Framed now, the event would take the room reserved for the answer, and an event whose
    // answer does not fit is offered again and would run twice.
    if (!m_sendObject.isEmpty()) return kBusy;
    if (m_action) return kPending;
    JLIB_RETURN_IF_FAILED(m_sendObject.stock(name, text, 0));
    m_action = &encodeEvent;
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::periodicHandle(uint32_t /*elapsedMs*/)
{
    // The port asks for data only on a write request: without this a waiting event would block
    // every later one, keep-alives included, until the peer dropped the link.
    if (hasPendingEvent() && isSendable()) (void)writeRequest();  // a port is set: always 0
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::dropPending()
{
    m_action = nullptr;
    m_sendObject.reset();
    return JLIB::kOk;
}

JLIB::JResult EventMessenger::eventReset() { return dropPending(); }

JLIB::JResult EventMessenger::eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more)
{
    *more = false;
    *produced = 0;
    if (!m_action || m_sendObject.isEmpty()) return JLIB::kOk;
    const JLIB::JResult r = m_action(output, capacity, produced, m_sendObject);
    if (JLIB::isSuccess(r)) return dropPending();
    *produced = 0;
    // Too small: offered again once the queue drained. Anything else keeps the event waiting.
    return (r & 0xFFFFu) == 3 ? kNoRoom : JLIB::kOk;
}

JLIB::JResult EventMessenger::eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced,
                                            const uint8_t* input, uint32_t inputLength, uint8_t* flags)
{
    *flags = 0;
    *produced = 0;
    uint32_t answerSize = 0;
    if (JLIB::isFailure(Protocol::GetAnswerSize(&answerSize, kCnpVersion, input, inputLength))) return JLIB::kOk;
    if (capacity < answerSize) return kNoRoom;
    uint32_t command = 0;
    if (JLIB::isFailure(cnpGetCommand(input, inputLength, kCnpVersion, &command))) return JLIB::kOk;
    JLIB::JResult r = JLIB::kOk;
    switch (command) {
    case Protocol::kEventCommand:
        r = receiveEvent(output, capacity, produced, input, inputLength);
        // An event the executor sent goes out right after the answer.
        if (hasPendingEvent()) *flags |= kFlagMore;
        break;
    case Protocol::kAnswerCommand: r = receiveEventAnswer(input, inputLength); break;
    default: break;
    }
    return r == kNoRoom ? kNoRoom : JLIB::kOk;
}

JLIB::JResult EventMessenger::receiveEvent(uint8_t* output, uint32_t capacity, uint32_t* produced,
                                           const uint8_t* input, uint32_t inputLength)
{
    uint32_t id = 0;
    const char* name = nullptr;
    const char* text = nullptr;
    m_executing = true;
    const JLIB::JResult decoded = Protocol::Decode_Event(input, inputLength, m_pExecutor, m_userValue, &id, &name, &text);
    m_executing = false;
    JLIB_RETURN_IF_FAILED(decoded);
    const JLIB::JResult r = Protocol::Encode_EventAnswer(output, capacity, produced, id, name, text, cnpGetAnswer(0));
    if (JLIB::isSuccess(r)) return JLIB::kOk;
    *produced = 0;
    return (r & 0xFFFFu) == 3 ? kNoRoom : r;
}

JLIB::JResult EventMessenger::receiveEventAnswer(const uint8_t* input, uint32_t inputLength)
{
    uint32_t id = 0;
    uint32_t code = 0;
    const char* name = nullptr;
    const char* text = nullptr;
    const JLIB::JResult r = Protocol::Decode_EventAnswer(input, inputLength, &id, &name, &text, &code);
    return (r & 0x7FFFFFFFu) == 5 ? kBusy : r;
}

}  // namespace ComControl
