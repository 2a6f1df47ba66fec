#pragma once
// Console command codec: builds commands (9-byte header, typed big-endian parameters) into a
// caller's buffer and reads them back through a parse handle. Stateless and allocation-free;
// any task. Parse errors are logged through the device log and answer kCnpParseError.
#include <cstdint>

#include "jlib/jlib_result.h"

class JVariant;

namespace ComControl {

constexpr uint8_t kCnpVersion = 0x11;
constexpr uint32_t kCnpHeaderSize = 9;
constexpr uint32_t kCnpParamHeaderSize = 5;  // type byte and element count

// Parameter types: the high nibble is the kind, the low nibble the element width.
constexpr uint8_t kCnpTypeUInt8 = 0x11;
constexpr uint8_t kCnpTypeInt8 = 0x21;
constexpr uint8_t kCnpTypeText = 0x31;  // characters and a terminating zero, counted
constexpr uint8_t kCnpTypeBytes = 0x51;
constexpr uint8_t kCnpTypeUInt16 = 0x12;
constexpr uint8_t kCnpTypeInt16 = 0x22;
constexpr uint8_t kCnpTypeUInt32 = 0x14;
constexpr uint8_t kCnpTypeInt32 = 0x24;
constexpr uint8_t kCnpTypeFloat = 0x44;

constexpr JLIB::JResult kCnpBadArgument = 0x80000001u;
constexpr JLIB::JResult kCnpNoRoom = 0x80000003u;
constexpr JLIB::JResult kCnpParseError = 0x80000004u;

// Read state over one command; cnpGetResetData fills it, each read advances it.
struct cnpGetHndl {
    uint8_t nextIndex;   // index of the next parameter
    uint8_t prmCount;    // parameter count from the header
    uint32_t position;   // offset of the next parameter from the command start
    uint32_t length;     // length field + 5
};

// Building. pos is the caller's running length. 0; 0x80000001 null buffer or pos; 0x80000003
// when the data does not fit (bytes appended by the same call stay, so the caller drops the
// whole command).
[[nodiscard]] JLIB::JResult cnpMakeHeaderAndCommand(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                                    uint32_t commandId, uint8_t prmCount);
// A finished command without parameters (9 bytes).
[[nodiscard]] JLIB::JResult cnpMakeSimpleCommand(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                                 uint32_t commandId);
// Writes length - 5 into the length field; 0x80000001 for a null buffer or a length below 9.
[[nodiscard]] JLIB::JResult cnpMakeFinish(uint8_t* buffer, uint32_t length);
// Append count elements big-endian; a count of 0 gives 0 without looking at anything else.
[[nodiscard]] JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                           const uint8_t* bytes, uint32_t count);
[[nodiscard]] JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                           const uint16_t* values, uint32_t count);
[[nodiscard]] JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                           const uint32_t* values, uint32_t count);
[[nodiscard]] JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                           const float* values, uint32_t count);
// One parameter: type byte, count, elements (values point at bytes, 16-bit or 32-bit values or
// floats as the type's width says). 0x80000001 for an unknown type, nothing written.
[[nodiscard]] JLIB::JResult cnpMakeAddPrmTypeAndData(uint8_t* buffer, uint32_t capacity, uint32_t* pos,
                                                     uint8_t type, const void* values, uint32_t count);

// Reading. cnpGetCommand checks version and length against the received length and gives the
// 24-bit id; 0x80000001 for a null command or id.
[[nodiscard]] JLIB::JResult cnpGetCommand(const uint8_t* command, uint32_t receivedLength, uint8_t expectedVersion,
                                          uint32_t* commandId, uint8_t* version = nullptr);
// Only for a command cnpGetCommand accepted. 0; 0x80000001 for null arguments.
JLIB::JResult cnpGetResetData(const uint8_t* command, cnpGetHndl* handle);
// The next parameter's integers into destination, stored at the target type's width in host
// order; capacity counts elements. Float, text and raw-byte parameters are refused.
[[nodiscard]] JLIB::JResult cnpGetDataValue(const uint8_t* command, cnpGetHndl* handle, uint8_t targetType,
                                            void* destination, uint32_t capacity);
// The next parameter (one number, a text or raw bytes) into value; 0x80000000 when the value
// refuses it (text too long, heap exhausted, empty raw bytes).
[[nodiscard]] JLIB::JResult cnpGetDataValueForSetPrm(const uint8_t* command, cnpGetHndl* handle, JVariant* value);
// Pointer into the command at the next parameter's elements (null for none) and their count;
// valid while the command is. With textRequired only a zero-terminated text is taken.
[[nodiscard]] JLIB::JResult cnpGetDataPtr(const uint8_t* command, cnpGetHndl* handle, bool textRequired,
                                          const uint8_t** data, uint32_t* count = nullptr);

// The code carried in an answer command for a local result.
[[nodiscard]] JLIB::JResult cnpGetAnswer(JLIB::JResult local);

}  // namespace ComControl
