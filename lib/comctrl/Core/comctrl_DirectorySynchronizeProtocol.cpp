#include "comctrl_DirectorySynchronizeProtocol.h"

#include <cstring>

#include "comctrl_cnp.h"

namespace ComControl::DirectorySynchronizeProtocol {

namespace {

// header, answer code, user value, a directory name of 23 characters and its zero
constexpr uint32_t kMaxCommandSize = kCnpHeaderSize + 2 * 9 + (kCnpParamHeaderSize + kMaxDirectoryNameLength + 1);

JLIB::JResult addText(uint8_t* buffer, uint32_t capacity, uint32_t* pos, const char* text)
{
    return cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeText, text,
                                    static_cast<uint32_t>(std::strlen(text)) + 1);
}

// fileName null: the three-parameter commands.
JLIB::JResult encode(uint8_t* buffer, uint32_t capacity, uint32_t* length, uint32_t id, uint32_t answer,
                     uint32_t userValue, const char* directoryName, const char* fileName)
{
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, &pos, id, fileName ? 4 : 3));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt32, &answer, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt32, &userValue, 1));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, directoryName));
    if (fileName) JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, fileName));
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult readText(const uint8_t* payload, cnpGetHndl* handle, const char** value)
{
    const uint8_t* data = nullptr;
    JLIB_RETURN_IF_FAILED(cnpGetDataPtr(payload, handle, true, &data));
    if (!data) return kCnpParseError;  // a text of no elements has no terminator: unreadable
    *value = reinterpret_cast<const char*>(data);
    return JLIB::kOk;
}

// fileName null: the three-parameter commands. Outputs are written as they are read.
JLIB::JResult decode(const uint8_t* payload, uint32_t length, uint32_t id, const char* directoryName,
                     uint32_t* userValue, uint32_t* answer, const char** fileName)
{
    uint32_t received = 0;
    JLIB_RETURN_IF_FAILED(cnpGetCommand(payload, length, kCnpVersion, &received));
    if (received != id) return kOtherCommand;
    cnpGetHndl handle{};
    (void)cnpGetResetData(payload, &handle);  // arguments checked above
    if (length < handle.length) return kCnpParseError;
    uint32_t discarded = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(payload, &handle, kCnpTypeUInt32, answer ? answer : &discarded, 1));
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(payload, &handle, kCnpTypeUInt32, userValue ? userValue : &discarded, 1));
    const char* name = nullptr;
    JLIB_RETURN_IF_FAILED(readText(payload, &handle, &name));
    if (!directoryName || std::strcmp(name, directoryName) != 0) return kOtherDirectory;
    if (!fileName) return JLIB::kOk;
    return readText(payload, &handle, fileName);
}

}  // namespace

uint32_t getMaxBufferSize() { return kMaxCommandSize; }

JLIB::JResult Encode_StartDirSync(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* directoryName,
                                  uint32_t userValue)
{
    return encode(buffer, capacity, length, kStartDirSync, 0, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_ReqDirSync(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* directoryName,
                                uint32_t userValue)
{
    return encode(buffer, capacity, length, kReqDirSync, 0, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_FinishDirSync(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* directoryName,
                                   uint32_t userValue)
{
    return encode(buffer, capacity, length, kFinishDirSync, 0, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_ComplitedDir(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* directoryName,
                                  uint32_t userValue)
{
    return encode(buffer, capacity, length, kComplitedDir, 0, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_StartDirSyncAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                        const char* directoryName, uint32_t userValue, uint32_t answer)
{
    return encode(buffer, capacity, length, kStartDirSyncAnswer, answer, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_ReqDirSyncAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                      const char* directoryName, uint32_t userValue, uint32_t answer)
{
    return encode(buffer, capacity, length, kReqDirSyncAnswer, answer, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_FinishDirSyncAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                         const char* directoryName, uint32_t userValue, uint32_t answer)
{
    return encode(buffer, capacity, length, kFinishDirSyncAnswer, answer, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_ComplitedDirAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                        const char* directoryName, uint32_t userValue, uint32_t answer)
{
    return encode(buffer, capacity, length, kComplitedDirAnswer, answer, userValue, directoryName, nullptr);
}

JLIB::JResult Encode_ExistFile(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* directoryName,
                               uint32_t userValue, const char* fileName)
{
    return encode(buffer, capacity, length, kExistFile, 0, userValue, directoryName, fileName);
}

JLIB::JResult Encode_ExistAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* directoryName,
                                 uint32_t userValue, const char* fileName, uint32_t answer)
{
    return encode(buffer, capacity, length, kExistFileAnswer, answer, userValue, directoryName, fileName);
}

JLIB::JResult Decode_StartDirSync(const uint8_t* payload, uint32_t length, const char* directoryName,
                                  uint32_t* userValue)
{
    return decode(payload, length, kStartDirSync, directoryName, userValue, nullptr, nullptr);
}

JLIB::JResult Decode_ReqDirSync(const uint8_t* payload, uint32_t length, const char* directoryName,
                                uint32_t* userValue)
{
    return decode(payload, length, kReqDirSync, directoryName, userValue, nullptr, nullptr);
}

JLIB::JResult Decode_FinishDirSync(const uint8_t* payload, uint32_t length, const char* directoryName,
                                   uint32_t* userValue)
{
    return decode(payload, length, kFinishDirSync, directoryName, userValue, nullptr, nullptr);
}

JLIB::JResult Decode_ComplitedDir(const uint8_t* payload, uint32_t length, const char* directoryName,
                                  uint32_t* userValue)
{
    return decode(payload, length, kComplitedDir, directoryName, userValue, nullptr, nullptr);
}

JLIB::JResult Decode_StartDirSyncAnswer(const uint8_t* payload, uint32_t length, const char* directoryName,
                                        uint32_t* userValue, uint32_t* answer)
{
    return decode(payload, length, kStartDirSyncAnswer, directoryName, userValue, answer, nullptr);
}

JLIB::JResult Decode_ReqDirSyncAnswer(const uint8_t* payload, uint32_t length, const char* directoryName,
                                      uint32_t* userValue, uint32_t* answer)
{
    return decode(payload, length, kReqDirSyncAnswer, directoryName, userValue, answer, nullptr);
}

JLIB::JResult Decode_FinishDirSyncAnswer(const uint8_t* payload, uint32_t length, const char* directoryName,
                                         uint32_t* userValue, uint32_t* answer)
{
    return decode(payload, length, kFinishDirSyncAnswer, directoryName, userValue, answer, nullptr);
}

JLIB::JResult Decode_ComplitedDirAnswer(const uint8_t* payload, uint32_t length, const char* directoryName,
                                        uint32_t* userValue, uint32_t* answer)
{
    return decode(payload, length, kComplitedDirAnswer, directoryName, userValue, answer, nullptr);
}

JLIB::JResult Decode_ExistFile(const uint8_t* payload, uint32_t length, const char* directoryName,
                               uint32_t* userValue, const char** fileName)
{
    const char* name = nullptr;
    JLIB_RETURN_IF_FAILED(decode(payload, length, kExistFile, directoryName, userValue, nullptr, &name));
    if (fileName) *fileName = name;
    return JLIB::kOk;
}

JLIB::JResult Decode_ExistFileAnswer(const uint8_t* payload, uint32_t length, const char* directoryName,
                                     uint32_t* userValue, const char** fileName, uint32_t* answer)
{
    const char* name = nullptr;
    JLIB_RETURN_IF_FAILED(decode(payload, length, kExistFileAnswer, directoryName, userValue, answer, &name));
    if (fileName) *fileName = name;
    return JLIB::kOk;
}

}  // namespace ComControl::DirectorySynchronizeProtocol
