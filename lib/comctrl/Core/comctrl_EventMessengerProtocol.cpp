#include "comctrl_EventMessengerProtocol.h"

#include <algorithm>
#include <cstring>

#include "comctrl_IEventExecutor.h"
#include "comctrl_cnp.h"

namespace ComControl {

namespace {

constexpr uint32_t kParamCount = 4;
// Header, the two number parameters (5 + 4 each) and the headers of name and text.
constexpr uint32_t kFixedAnswerSize = kCnpHeaderSize + 9 + 9 + kCnpParamHeaderSize + kCnpParamHeaderSize;

struct CommonData {
    uint32_t result = 0;
    uint32_t id = 0;
    const char* name = "";
    uint32_t nameCount = 0;  // elements, the zero included
    const char* text = "";
    uint32_t textCount = 0;
};

// One text parameter; only the one-byte text type is read as characters.
JLIB::JResult readText(const uint8_t* payload, cnpGetHndl& h, const char*& text, uint32_t& count)
{
    if (uint64_t{h.position} + kCnpParamHeaderSize > h.length || payload[h.position] != kCnpTypeText) {
        return EventMessengerProtocol::kMalformed;
    }
    const uint8_t* data = nullptr;
    JLIB_RETURN_IF_FAILED(cnpGetDataPtr(payload, &h, true, &data, &count));
    text = data ? reinterpret_cast<const char*>(data) : "";  // count 0: an empty text
    return JLIB::kOk;
}

// The four common parameters of a command cnpGetCommand accepted.
JLIB::JResult getCommonData(const uint8_t* payload, uint32_t length, CommonData& d)
{
    cnpGetHndl h{};
    (void)cnpGetResetData(payload, &h);  // payload checked by the caller
    if (length < h.length) return EventMessengerProtocol::kMalformed;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(payload, &h, kCnpTypeUInt32, &d.result, 1));
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(payload, &h, kCnpTypeUInt32, &d.id, 1));
    JLIB_RETURN_IF_FAILED(readText(payload, h, d.name, d.nameCount));
    return readText(payload, h, d.text, d.textCount);
}

JLIB::JResult commandOf(const uint8_t* payload, uint32_t length, uint32_t& command)
{
    return cnpGetCommand(payload, length, kCnpVersion, &command);
}

// Above the limits the answer would outgrow the room reserved for it (and the peer's buffer).
bool tooLong(const CommonData& d)
{
    return d.nameCount > EventMessengerProtocol::kMaxNameLength + 1 ||
           d.textCount > EventMessengerProtocol::kMaxTextLength + 1;
}

JLIB::JResult encode(uint8_t* buffer, uint32_t capacity, uint32_t* length, uint32_t command, uint32_t result,
                     uint32_t id, const char* name, const char* text)
{
    if (!length || !name || !text) return EventMessengerProtocol::kBadArgument;
    *length = 0;
    const size_t nameLength = strnlen(name, EventMessengerProtocol::kMaxNameLength + 1);
    const size_t textLength = strnlen(text, EventMessengerProtocol::kMaxTextLength + 1);
    if (nameLength > EventMessengerProtocol::kMaxNameLength || textLength > EventMessengerProtocol::kMaxTextLength) {
        return EventMessengerProtocol::kBadArgument;
    }
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, &pos, command, kParamCount));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt32, &result, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt32, &id, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeText, name,
                                                   static_cast<uint32_t>(nameLength) + 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeText, text,
                                                   static_cast<uint32_t>(textLength) + 1));
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult EventMessengerProtocol::Encode_Event(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                   const char* name, const char* text, uint32_t id)
{
    return encode(buffer, capacity, length, kEventCommand, 0, id, name, text);
}

JLIB::JResult EventMessengerProtocol::Encode_EventAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                         uint32_t id, const char* name, const char* text,
                                                         uint32_t answerCode)
{
    return encode(buffer, capacity, length, kAnswerCommand, answerCode, id, name, text);
}

JLIB::JResult EventMessengerProtocol::Decode_Event(const uint8_t* payload, uint32_t length, IEventExecutor* executor,
                                                   uint32_t userValue, uint32_t* id, const char** name,
                                                   const char** text)
{
    if (!name || !text || !executor) return kBadArgument;
    uint32_t command = 0;
    JLIB_RETURN_IF_FAILED(commandOf(payload, length, command));
    if (command != kEventCommand) return kWrongCommand;
    CommonData d;
    JLIB_RETURN_IF_FAILED(getCommonData(payload, length, d));
    if (tooLong(d)) return kMalformed;
    if (id) *id = d.id;
    *name = d.name;
    *text = d.text;
    if (JLIB::isFailure(executor->execute(userValue, d.name, d.text))) return kRefused;
    return JLIB::kOk;
}

JLIB::JResult EventMessengerProtocol::Decode_EventAnswer(const uint8_t* payload, uint32_t length, uint32_t* id,
                                                         const char** name, const char** text, uint32_t* answerCode)
{
    if (!name || !text || !answerCode) return kBadArgument;
    uint32_t command = 0;
    JLIB_RETURN_IF_FAILED(commandOf(payload, length, command));
    if (command != kAnswerCommand) return kWrongCommand;
    CommonData d;
    JLIB_RETURN_IF_FAILED(getCommonData(payload, length, d));
    if (id) *id = d.id;
    *name = d.name;
    *text = d.text;
    *answerCode = d.result;
    return JLIB::kOk;
}

JLIB::JResult EventMessengerProtocol::GetAnswerSize(uint32_t* size, uint8_t version, const uint8_t* payload,
                                                    uint32_t length)
{
    uint32_t command = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(payload, length, version, &command));
    uint32_t room = 0;
    if (command == kEventCommand) {
        // A part that cannot be read counts with its largest size; the answer repeats what the
        // event carries up to its first zero.
        uint32_t nameRoom = kMaxNameLength + 1;
        uint32_t textRoom = kMaxTextLength + 1;
        CommonData d;
        cnpGetHndl h{};
        (void)cnpGetResetData(payload, &h);
        if (length >= h.length && JLIB::isSuccess(cnpGetDataValue(payload, &h, kCnpTypeUInt32, &d.result, 1)) &&
            JLIB::isSuccess(cnpGetDataValue(payload, &h, kCnpTypeUInt32, &d.id, 1))) {
            if (JLIB::isSuccess(readText(payload, h, d.name, d.nameCount))) {
                nameRoom = std::min<uint32_t>(static_cast<uint32_t>(std::strlen(d.name)) + 1, nameRoom);
                if (JLIB::isSuccess(readText(payload, h, d.text, d.textCount))) {
                    textRoom = std::min<uint32_t>(static_cast<uint32_t>(std::strlen(d.text)) + 1, textRoom);
                }
            }
        }
        room = kFixedAnswerSize + nameRoom + textRoom;
    } else if (command != kAnswerCommand) {
        return kWrongCommand;
    }
    if (size) *size = room;
    return JLIB::kOk;
}

JLIB::JResult EventMessengerProtocol::Reply(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                            const uint8_t* payload, uint32_t payloadLength, uint32_t answerCode)
{
    if (length) *length = 0;
    uint32_t command = 0;
    CommonData d;
    if (JLIB::isFailure(commandOf(payload, payloadLength, command)) || command != kEventCommand ||
        JLIB::isFailure(getCommonData(payload, payloadLength, d)) || tooLong(d)) {
        return JLIB::kOk;
    }
    return Encode_EventAnswer(buffer, capacity, length, d.id, d.name, d.text, answerCode);
}

}  // namespace ComControl
