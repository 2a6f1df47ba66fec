#pragma once
// Commands of the file port: five requests and their answers, built into a caller's buffer and
// read back with pointers into the received payload. Stateless; any task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl::FileTransfererProtocol {

constexpr uint32_t kStartSend = 0x020101;
constexpr uint32_t kStartSendAnswer = 0x020110;
constexpr uint32_t kReqSend = 0x020201;
constexpr uint32_t kReqSendAnswer = 0x020210;
constexpr uint32_t kSend = 0x020301;
constexpr uint32_t kSendAnswer = 0x020310;
constexpr uint32_t kCancel = 0x020401;
constexpr uint32_t kCancelAnswer = 0x020410;
constexpr uint32_t kRemove = 0x020501;
constexpr uint32_t kRemoveAnswer = 0x020510;

constexpr uint32_t kMaxChunkSize = 2048;
constexpr uint32_t kMaxHashSize = 32;
constexpr JLIB::JResult kMalformed = 0x80000001u;    // a chunk or hash above its bound
constexpr JLIB::JResult kOtherCommand = 0x80000005u;  // a valid command of another id

// The largest command: the receive size a file port asks for.
uint32_t getMaxBufferSize();

// Encoders: 0, or the codec's failure (0x80000003 when the command does not fit; *length is then
// left alone). Names are never null. A null hash counts as an empty one.
[[nodiscard]] JLIB::JResult Encode_StartSend(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                             const char* accessorName, const char* fileName, uint32_t fileSize,
                                             uint32_t userValue, const uint8_t* hash, uint32_t hashLength);
[[nodiscard]] JLIB::JResult Encode_StartSendAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                   const char* accessorName, const char* fileName,
                                                   uint32_t userValue, uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_ReqSend(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                           const char* accessorName, const char* fileName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_ReqSendAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                 const char* accessorName, const char* fileName, uint32_t userValue,
                                                 uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_Send(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                        const char* accessorName, const char* fileName, uint32_t offset,
                                        const uint8_t* data, uint32_t dataLength, bool last, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_SendAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                              const char* accessorName, const char* fileName, uint32_t offset,
                                              uint32_t dataLength, uint32_t userValue, uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_Cancel(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                          const char* accessorName, const char* fileName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_CancelAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                const char* accessorName, const char* fileName, uint32_t userValue,
                                                uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_Remove(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                          const char* accessorName, const char* fileName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_RemoveAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                const char* accessorName, const char* fileName, uint32_t userValue,
                                                uint32_t answer);

// Decoders: 0; 0x80000005 for a valid command of another id (nothing written); the codec's
// failure otherwise (0x80000004 parse error or short payload, 0x80000001 null payload); 0x80000001
// for a chunk above 2048 or a hash above 32 bytes. Texts and bytes point into the payload.
// After a failure no output is to be used.
[[nodiscard]] JLIB::JResult Decode_StartSend(const uint8_t* payload, uint32_t length, const char** accessorName,
                                             const char** fileName, uint32_t* fileSize, uint32_t* userValue,
                                             const uint8_t** hash = nullptr, uint32_t* hashLength = nullptr);
[[nodiscard]] JLIB::JResult Decode_StartSendAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                                   const char** fileName, uint32_t* userValue, uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_ReqSend(const uint8_t* payload, uint32_t length, const char** accessorName,
                                           const char** fileName, uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_ReqSendAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                                 const char** fileName, uint32_t* userValue, uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_Send(const uint8_t* payload, uint32_t length, const char** accessorName,
                                        const char** fileName, uint32_t* offset, const uint8_t** data,
                                        uint32_t* dataLength, bool* last, uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_SendAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                              const char** fileName, uint32_t* offset, uint32_t* dataLength,
                                              uint32_t* userValue, uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_Cancel(const uint8_t* payload, uint32_t length, const char** accessorName,
                                          const char** fileName, uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_CancelAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                                const char** fileName, uint32_t* userValue, uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_Remove(const uint8_t* payload, uint32_t length, const char** accessorName,
                                          const char** fileName, uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_RemoveAnswer(const uint8_t* payload, uint32_t length, const char** accessorName,
                                                const char** fileName, uint32_t* userValue, uint32_t* answer);

}  // namespace ComControl::FileTransfererProtocol
