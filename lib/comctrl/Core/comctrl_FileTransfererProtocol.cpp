#include "comctrl_FileTransfererProtocol.h"

#include <cstring>

#include "comctrl_cnp.h"

namespace ComControl::FileTransfererProtocol {

namespace {

// header, answer code, user value, accessor name (23 + zero), file name (255 + zero), offset,
// a full chunk and the last flag
constexpr uint32_t kMaxCommandSize = kCnpHeaderSize + 2 * 9 + (5 + 24) + (5 + 256) + 9 + (5 + kMaxChunkSize) + 9;

// Starts a command with the four parameters every one of them carries.
JLIB::JResult beginCommand(uint8_t* buffer, uint32_t capacity, uint32_t* pos, uint32_t id, uint8_t prmCount,
                           uint32_t answer, uint32_t userValue, const char* accessorName, const char* fileName)
{
    *pos = 0;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, pos, id, prmCount));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeUInt32, &answer, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeUInt32, &userValue, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeText, accessorName,
                                                   static_cast<uint32_t>(std::strlen(accessorName)) + 1));
    return cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeText, fileName,
                                    static_cast<uint32_t>(std::strlen(fileName)) + 1);
}

JLIB::JResult finishCommand(uint8_t* buffer, uint32_t pos, uint32_t* length)
{
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult addNumber(uint8_t* buffer, uint32_t capacity, uint32_t* pos, uint32_t value)
{
    return cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeUInt32, &value, 1);
}

JLIB::JResult encodeSimple(uint8_t* buffer, uint32_t capacity, uint32_t* length, uint32_t id, uint32_t answer,
                           const char* accessorName, const char* fileName, uint32_t userValue)
{
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(beginCommand(buffer, capacity, &pos, id, 4, answer, userValue, accessorName, fileName));
    return finishCommand(buffer, pos, length);
}

// Reads the header and the four common parameters of a command of the given id.
struct Reader {
    const uint8_t* payload;
    cnpGetHndl handle{};

    JLIB::JResult begin(uint32_t length, uint32_t id, uint32_t* answer, uint32_t* userValue,
                        const char** accessorName, const char** fileName)
    {
        uint32_t received = 0;
        JLIB_RETURN_IF_FAILED(cnpGetCommand(payload, length, kCnpVersion, &received));
        if (received != id) return kOtherCommand;
        (void)cnpGetResetData(payload, &handle);  // arguments checked above
        if (length < handle.length) return kCnpParseError;
        uint32_t discarded = 0;
        JLIB_RETURN_IF_FAILED(number(answer ? answer : &discarded));
        JLIB_RETURN_IF_FAILED(number(userValue));
        JLIB_RETURN_IF_FAILED(text(accessorName));
        return text(fileName);
    }
    JLIB::JResult number(uint32_t* value)
    {
        return cnpGetDataValue(payload, &handle, kCnpTypeUInt32, value, 1);
    }
    JLIB::JResult text(const char** value)
    {
        const uint8_t* data = nullptr;
        JLIB_RETURN_IF_FAILED(cnpGetDataPtr(payload, &handle, true, &data));
        if (!data) return kCnpParseError;  // a text of no elements has no terminator: unreadable
        *value = reinterpret_cast<const char*>(data);
        return JLIB::kOk;
    }
    JLIB::JResult bytes(const uint8_t** data, uint32_t* count, uint32_t limit)
    {
        const uint8_t* d = nullptr;
        uint32_t n = 0;
        JLIB_RETURN_IF_FAILED(cnpGetDataPtr(payload, &handle, false, &d, &n));
        if (n > limit) return kMalformed;
        *data = n ? d : nullptr;
        *count = n;
        return JLIB::kOk;
    }
};

JLIB::JResult decodeSimple(const uint8_t* payload, uint32_t length, uint32_t id, const char** accessorName,
                           const char** fileName, uint32_t* userValue, uint32_t* answer)
{
    Reader r{payload};
    return r.begin(length, id, answer, userValue, accessorName, fileName);
}

}  // namespace

uint32_t getMaxBufferSize() { return kMaxCommandSize; }

JLIB::JResult Encode_StartSend(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                               const char* fileName, uint32_t fileSize, uint32_t userValue, const uint8_t* hash,
                               uint32_t hashLength)
{
    if (!hash) hashLength = 0;
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(beginCommand(buffer, capacity, &pos, kStartSend, 6, 0, userValue, accessorName, fileName));
    JLIB_RETURN_IF_FAILED(addNumber(buffer, capacity, &pos, fileSize));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, hash, hashLength));
    return finishCommand(buffer, pos, length);
}

JLIB::JResult Encode_StartSendAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                                     const char* fileName, uint32_t userValue, uint32_t answer)
{
    return encodeSimple(buffer, capacity, length, kStartSendAnswer, answer, accessorName, fileName, userValue);
}

JLIB::JResult Encode_ReqSend(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                             const char* fileName, uint32_t userValue)
{
    return encodeSimple(buffer, capacity, length, kReqSend, 0, accessorName, fileName, userValue);
}

JLIB::JResult Encode_ReqSendAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                                   const char* fileName, uint32_t userValue, uint32_t answer)
{
    return encodeSimple(buffer, capacity, length, kReqSendAnswer, answer, accessorName, fileName, userValue);
}

JLIB::JResult Encode_Send(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                          const char* fileName, uint32_t offset, const uint8_t* data, uint32_t dataLength, bool last,
                          uint32_t userValue)
{
    if (!data) dataLength = 0;
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(beginCommand(buffer, capacity, &pos, kSend, 7, 0, userValue, accessorName, fileName));
    JLIB_RETURN_IF_FAILED(addNumber(buffer, capacity, &pos, offset));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, data, dataLength));
    const uint16_t flag = last ? 1 : 0;
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt16, &flag, 1));
    return finishCommand(buffer, pos, length);
}

JLIB::JResult Encode_SendAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                                const char* fileName, uint32_t offset, uint32_t dataLength, uint32_t userValue,
                                uint32_t answer)
{
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(
        beginCommand(buffer, capacity, &pos, kSendAnswer, 6, answer, userValue, accessorName, fileName));
    JLIB_RETURN_IF_FAILED(addNumber(buffer, capacity, &pos, offset));
    JLIB_RETURN_IF_FAILED(addNumber(buffer, capacity, &pos, dataLength));
    return finishCommand(buffer, pos, length);
}

JLIB::JResult Encode_Cancel(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                            const char* fileName, uint32_t userValue)
{
    return encodeSimple(buffer, capacity, length, kCancel, 0, accessorName, fileName, userValue);
}

JLIB::JResult Encode_CancelAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                                  const char* fileName, uint32_t userValue, uint32_t answer)
{
    return encodeSimple(buffer, capacity, length, kCancelAnswer, answer, accessorName, fileName, userValue);
}

JLIB::JResult Encode_Remove(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                            const char* fileName, uint32_t userValue)
{
    return encodeSimple(buffer, capacity, length, kRemove, 0, accessorName, fileName, userValue);
}

JLIB::JResult Encode_RemoveAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* accessorName,
                                  const char* fileName, uint32_t userValue, uint32_t answer)
{
    return encodeSimple(buffer, capacity, length, kRemoveAnswer, answer, accessorName, fileName, userValue);
}

JLIB::JResult Decode_StartSend(const uint8_t* payload, uint32_t length, const char** accessorName,
                               const char** fileName, uint32_t* fileSize, uint32_t* userValue, const uint8_t** hash,
                               uint32_t* hashLength)
{
    Reader r{payload};
    JLIB_RETURN_IF_FAILED(r.begin(length, kStartSend, nullptr, userValue, accessorName, fileName));
    JLIB_RETURN_IF_FAILED(r.number(fileSize));
    const uint8_t* h = nullptr;
    uint32_t n = 0;
    if (r.handle.prmCount > 5) JLIB_RETURN_IF_FAILED(r.bytes(&h, &n, kMaxHashSize));
    if (hash) *hash = h;
    if (hashLength) *hashLength = n;
    return JLIB::kOk;
}

JLIB::JResult Decode_StartSendAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                     const char** fileName, uint32_t* userValue, uint32_t* answer)
{
    return decodeSimple(payload, length, kStartSendAnswer, accessorName, fileName, userValue, answer);
}

JLIB::JResult Decode_ReqSend(const uint8_t* payload, uint32_t length, const char** accessorName,
                             const char** fileName, uint32_t* userValue)
{
    return decodeSimple(payload, length, kReqSend, accessorName, fileName, userValue, nullptr);
}

JLIB::JResult Decode_ReqSendAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                   const char** fileName, uint32_t* userValue, uint32_t* answer)
{
    return decodeSimple(payload, length, kReqSendAnswer, accessorName, fileName, userValue, answer);
}

JLIB::JResult Decode_Send(const uint8_t* payload, uint32_t length, const char** accessorName, const char** fileName,
                          uint32_t* offset, const uint8_t** data, uint32_t* dataLength, bool* last,
                          uint32_t* userValue)
{
    Reader r{payload};
    JLIB_RETURN_IF_FAILED(r.begin(length, kSend, nullptr, userValue, accessorName, fileName));
    JLIB_RETURN_IF_FAILED(r.number(offset));
    JLIB_RETURN_IF_FAILED(r.bytes(data, dataLength, kMaxChunkSize));
    uint16_t flag = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(payload, &r.handle, kCnpTypeUInt16, &flag, 1));
    if (last) *last = flag != 0;
    return JLIB::kOk;
}

JLIB::JResult Decode_SendAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                const char** fileName, uint32_t* offset, uint32_t* dataLength, uint32_t* userValue,
                                uint32_t* answer)
{
    Reader r{payload};
    JLIB_RETURN_IF_FAILED(r.begin(length, kSendAnswer, answer, userValue, accessorName, fileName));
    JLIB_RETURN_IF_FAILED(r.number(offset));
    return r.number(dataLength);
}

JLIB::JResult Decode_Cancel(const uint8_t* payload, uint32_t length, const char** accessorName, const char** fileName,
                            uint32_t* userValue)
{
    return decodeSimple(payload, length, kCancel, accessorName, fileName, userValue, nullptr);
}

JLIB::JResult Decode_CancelAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                  const char** fileName, uint32_t* userValue, uint32_t* answer)
{
    return decodeSimple(payload, length, kCancelAnswer, accessorName, fileName, userValue, answer);
}

JLIB::JResult Decode_Remove(const uint8_t* payload, uint32_t length, const char** accessorName, const char** fileName,
                            uint32_t* userValue)
{
    return decodeSimple(payload, length, kRemove, accessorName, fileName, userValue, nullptr);
}

JLIB::JResult Decode_RemoveAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                  const char** fileName, uint32_t* userValue, uint32_t* answer)
{
    return decodeSimple(payload, length, kRemoveAnswer, accessorName, fileName, userValue, answer);
}

}  // namespace ComControl::FileTransfererProtocol
