#pragma once
// Commands of a directory port: open and close a synchronisation, compare the two folders name
// by name and announce the end of the initial transfer. Built into a caller's buffer and read
// back with pointers into the received payload. Stateless; any task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl::DirectorySynchronizeProtocol {

constexpr uint32_t kStartDirSync = 0x040101;
constexpr uint32_t kStartDirSyncAnswer = 0x040110;
constexpr uint32_t kReqDirSync = 0x040201;
constexpr uint32_t kReqDirSyncAnswer = 0x040210;
constexpr uint32_t kFinishDirSync = 0x040301;
constexpr uint32_t kFinishDirSyncAnswer = 0x040310;
constexpr uint32_t kExistFile = 0x040401;
constexpr uint32_t kExistFileAnswer = 0x040410;
constexpr uint32_t kComplitedDir = 0x040501;
constexpr uint32_t kComplitedDirAnswer = 0x040510;

// Answer codes.
constexpr uint32_t kFileAbsent = 0x2000;
constexpr uint32_t kFilePresent = 0x2001;
constexpr uint32_t kMalformedRequest = 0x80000001u;
constexpr uint32_t kWrongState = 0x80000002u;
constexpr uint32_t kRefused = 0x80000003u;  // already synchronising, or another directory

// Decoder results of their own.
constexpr JLIB::JResult kOtherCommand = 0x80000005u;
constexpr JLIB::JResult kOtherDirectory = 0x80000006u;

constexpr uint32_t kMaxDirectoryNameLength = 23;

// The largest command without a file name (56 bytes): the receive size the port asks for.
uint32_t getMaxBufferSize();

// Encoders: 0, or the codec's failure (0x80000003 when the command does not fit; *length is then
// left alone). Texts are never null.
[[nodiscard]] JLIB::JResult Encode_StartDirSync(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                const char* directoryName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_ReqDirSync(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                              const char* directoryName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_FinishDirSync(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                 const char* directoryName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_ComplitedDir(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                const char* directoryName, uint32_t userValue);
[[nodiscard]] JLIB::JResult Encode_StartDirSyncAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                      const char* directoryName, uint32_t userValue, uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_ReqDirSyncAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                    const char* directoryName, uint32_t userValue, uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_FinishDirSyncAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                       const char* directoryName, uint32_t userValue,
                                                       uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_ComplitedDirAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                      const char* directoryName, uint32_t userValue, uint32_t answer);
[[nodiscard]] JLIB::JResult Encode_ExistFile(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                             const char* directoryName, uint32_t userValue, const char* fileName);
[[nodiscard]] JLIB::JResult Encode_ExistAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                               const char* directoryName, uint32_t userValue, const char* fileName,
                                               uint32_t answer);

// Decoders take the receiver's own directory name. 0; 0x80000005 for a valid command of another
// id; 0x80000006 when the directory name differs (compared in full); 0x80000004 for a payload
// shorter than its length field or a parameter that does not read; 0x80000001 for a null payload.
// Outputs may be null; after a failure none is to be used. Texts point into the payload.
[[nodiscard]] JLIB::JResult Decode_StartDirSync(const uint8_t* payload, uint32_t length, const char* directoryName,
                                                uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_ReqDirSync(const uint8_t* payload, uint32_t length, const char* directoryName,
                                              uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_FinishDirSync(const uint8_t* payload, uint32_t length, const char* directoryName,
                                                 uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_ComplitedDir(const uint8_t* payload, uint32_t length, const char* directoryName,
                                                uint32_t* userValue);
[[nodiscard]] JLIB::JResult Decode_StartDirSyncAnswer(const uint8_t* payload, uint32_t length,
                                                      const char* directoryName, uint32_t* userValue,
                                                      uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_ReqDirSyncAnswer(const uint8_t* payload, uint32_t length,
                                                    const char* directoryName, uint32_t* userValue, uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_FinishDirSyncAnswer(const uint8_t* payload, uint32_t length,
                                                       const char* directoryName, uint32_t* userValue,
                                                       uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_ComplitedDirAnswer(const uint8_t* payload, uint32_t length,
                                                      const char* directoryName, uint32_t* userValue,
                                                      uint32_t* answer);
[[nodiscard]] JLIB::JResult Decode_ExistFile(const uint8_t* payload, uint32_t length, const char* directoryName,
                                             uint32_t* userValue, const char** fileName);
[[nodiscard]] JLIB::JResult Decode_ExistFileAnswer(const uint8_t* payload, uint32_t length,
                                                   const char* directoryName, uint32_t* userValue,
                                                   const char** fileName, uint32_t* answer);

}  // namespace ComControl::DirectorySynchronizeProtocol
