#include "comctrl_cnp.h"

#include <cstring>

#include "comctrl_Utility.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"

namespace ComControl {

namespace {

uint32_t widthOf(uint8_t type) { return type & 0x0Fu; }
uint32_t kindOf(uint8_t type) { return type >> 4; }

// End of a parameter in 64 bits: a count from the peer times the width must not wrap around
// and pass a bounds check.
uint64_t paramEnd(uint32_t position, uint32_t count, uint32_t width)
{
    return uint64_t{position} + kCnpParamHeaderSize + uint64_t{count} * width;
}

bool headerBeyond(const cnpGetHndl& h) { return uint64_t{h.position} + kCnpParamHeaderSize > h.length; }

void advance(cnpGetHndl& h, uint64_t end)
{
    h.position = static_cast<uint32_t>(end);
    ++h.nextIndex;
}

bool isSourceInteger(uint8_t type)
{
    switch (type) {
    case kCnpTypeUInt8: case kCnpTypeUInt16: case kCnpTypeUInt32:
    case kCnpTypeInt8: case kCnpTypeInt16: case kCnpTypeInt32:
        return true;
    default:
        return false;
    }
}

// Storage width of a target type; 0 for a type integers cannot be converted to.
uint32_t targetWidth(uint8_t type) { return isSourceInteger(type) ? widthOf(type) : 0; }

uint32_t readElement(const uint8_t* at, uint8_t type)
{
    return kindOf(type) == 2 ? static_cast<uint32_t>(Utility::toInt(at, widthOf(type)))
                             : Utility::toUint(at, widthOf(type));
}

JLIB::JResult cnpGetValue(const uint8_t* source, uint8_t fromType, uint32_t count, uint8_t toType, void* destination)
{
    if (!isSourceInteger(fromType)) {
        if (fromType == kCnpTypeText) {
            JLIB_LOG("[E] cnpGetValue (Error:Parameter FromType String)!!!!!!!!!!\n");
        } else {
            JLIB_LOG("[E] cnpGetValue (Error:Parameter FromType Unknown)!!!!!!!!!!\n");
        }
        return kCnpParseError;
    }
    const uint32_t toWidth = targetWidth(toType);
    if (toWidth == 0) {
        if (toType == kCnpTypeText) {
            JLIB_LOG("[E] cnpGetValue (Error:Parameter ToType String)!!!!!!!!!!\n");
        } else {
            JLIB_LOG("[E] cnpGetValue (Error:Parameter ToType Unknown)!!!!!!!!!!\n");
        }
        return kCnpParseError;
    }
    const uint32_t fromWidth = widthOf(fromType);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t value = readElement(source + i * fromWidth, fromType);
        switch (toWidth) {
        case 1: static_cast<uint8_t*>(destination)[i] = static_cast<uint8_t>(value); break;
        case 2: static_cast<uint16_t*>(destination)[i] = static_cast<uint16_t>(value); break;
        default: static_cast<uint32_t*>(destination)[i] = value; break;
        }
    }
    return JLIB::kOk;
}

// Room for count elements of width bytes at *pos; 64 bits so that no count wraps.
JLIB::JResult checkAppend(const uint8_t* buffer, uint32_t capacity, const uint32_t* pos, const void* values,
                          uint32_t count, uint32_t width)
{
    if (!buffer || !pos || !values) return kCnpBadArgument;
    if (uint64_t{*pos} + uint64_t{count} * width > capacity) return kCnpNoRoom;
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult cnpMakeHeaderAndCommand(uint8_t* buffer, uint32_t capacity, uint32_t* pos, uint32_t commandId,
                                      uint8_t prmCount)
{
    if (!buffer || !pos) return kCnpBadArgument;
    if (capacity < kCnpHeaderSize) return kCnpNoRoom;
    buffer[0] = kCnpVersion;
    (void)Utility::fromUint(buffer + 5, 3, commandId);  // width 3 and a live buffer: cannot fail
    buffer[8] = prmCount;
    *pos = kCnpHeaderSize;
    return JLIB::kOk;
}

JLIB::JResult cnpMakeSimpleCommand(uint8_t* buffer, uint32_t capacity, uint32_t* pos, uint32_t commandId)
{
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, pos, commandId, 0));
    return cnpMakeFinish(buffer, *pos);
}

JLIB::JResult cnpMakeFinish(uint8_t* buffer, uint32_t length)
{
    if (!buffer || length < kCnpHeaderSize) return kCnpBadArgument;
    return Utility::fromUint(buffer + 1, 4, length - 5);
}

JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos, const uint8_t* bytes, uint32_t count)
{
    if (count == 0) return JLIB::kOk;
    JLIB_RETURN_IF_FAILED(checkAppend(buffer, capacity, pos, bytes, count, 1));
    std::memcpy(buffer + *pos, bytes, count);
    *pos += count;
    return JLIB::kOk;
}

JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos, const uint16_t* values, uint32_t count)
{
    if (count == 0) return JLIB::kOk;
    JLIB_RETURN_IF_FAILED(checkAppend(buffer, capacity, pos, values, count, 2));
    for (uint32_t i = 0; i < count; ++i, *pos += 2) (void)Utility::fromUint(buffer + *pos, 2, values[i]);
    return JLIB::kOk;
}

JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos, const uint32_t* values, uint32_t count)
{
    if (count == 0) return JLIB::kOk;
    JLIB_RETURN_IF_FAILED(checkAppend(buffer, capacity, pos, values, count, 4));
    for (uint32_t i = 0; i < count; ++i, *pos += 4) (void)Utility::fromUint(buffer + *pos, 4, values[i]);
    return JLIB::kOk;
}

JLIB::JResult cnpMakeAddData(uint8_t* buffer, uint32_t capacity, uint32_t* pos, const float* values, uint32_t count)
{
    if (count == 0) return JLIB::kOk;
    JLIB_RETURN_IF_FAILED(checkAppend(buffer, capacity, pos, values, count, 4));
    for (uint32_t i = 0; i < count; ++i, *pos += 4) (void)Utility::fromFloat(buffer + *pos, values[i]);
    return JLIB::kOk;
}

JLIB::JResult cnpMakeAddPrmTypeAndData(uint8_t* buffer, uint32_t capacity, uint32_t* pos, uint8_t type,
                                       const void* values, uint32_t count)
{
    JLIB::JResult (*appendElements)(uint8_t*, uint32_t, uint32_t*, const void*, uint32_t) = nullptr;
    switch (type) {
    case kCnpTypeUInt8: case kCnpTypeInt8: case kCnpTypeText: case kCnpTypeBytes:
        appendElements = [](uint8_t* b, uint32_t c, uint32_t* p, const void* v, uint32_t n) {
            return cnpMakeAddData(b, c, p, static_cast<const uint8_t*>(v), n);
        };
        break;
    case kCnpTypeUInt16: case kCnpTypeInt16:
        appendElements = [](uint8_t* b, uint32_t c, uint32_t* p, const void* v, uint32_t n) {
            return cnpMakeAddData(b, c, p, static_cast<const uint16_t*>(v), n);
        };
        break;
    case kCnpTypeUInt32: case kCnpTypeInt32:
        appendElements = [](uint8_t* b, uint32_t c, uint32_t* p, const void* v, uint32_t n) {
            return cnpMakeAddData(b, c, p, static_cast<const uint32_t*>(v), n);
        };
        break;
    case kCnpTypeFloat:
        appendElements = [](uint8_t* b, uint32_t c, uint32_t* p, const void* v, uint32_t n) {
            return cnpMakeAddData(b, c, p, static_cast<const float*>(v), n);
        };
        break;
    default:
        return kCnpBadArgument;
    }
    uint8_t countBytes[4];
    (void)Utility::fromUint(countBytes, 4, count);  // fixed width into a local: cannot fail
    JLIB::JResult result = cnpMakeAddData(buffer, capacity, pos, &type, 1);
    result |= cnpMakeAddData(buffer, capacity, pos, countBytes, 4);
    result |= appendElements(buffer, capacity, pos, values, count);
    return result;
}

JLIB::JResult cnpGetCommand(const uint8_t* command, uint32_t receivedLength, uint8_t expectedVersion,
                            uint32_t* commandId, uint8_t* version)
{
    if (!command || !commandId) return kCnpBadArgument;
    if (receivedLength >= 1) {
        if (version) *version = command[0];
        if (command[0] != expectedVersion) {
            JLIB_LOG("[E] cnpGetCommand (Error:command version)\n");
            return kCnpParseError;
        }
    }
    // The length field + 5 in 64 bits: 0xFFFFFFFC..0xFFFFFFFF must not wrap onto a short command.
    if (receivedLength < kCnpHeaderSize || uint64_t{Utility::toUint(command + 1, 4)} + 5 != receivedLength) {
        JLIB_LOG("[E] cnpGetCommand (Error:size)\n");
        return kCnpParseError;
    }
    *commandId = Utility::toUint(command + 5, 3);
    return JLIB::kOk;
}

JLIB::JResult cnpGetResetData(const uint8_t* command, cnpGetHndl* handle)
{
    if (!command || !handle) return kCnpBadArgument;
    handle->nextIndex = 0;
    handle->prmCount = command[8];
    handle->position = kCnpHeaderSize;
    handle->length = Utility::toUint(command + 1, 4) + 5;
    return JLIB::kOk;
}

JLIB::JResult cnpGetDataValue(const uint8_t* command, cnpGetHndl* handle, uint8_t targetType, void* destination,
                              uint32_t capacity)
{
    if (!command || !handle) return kCnpBadArgument;
    cnpGetHndl& h = *handle;
    if (h.nextIndex >= h.prmCount) {
        JLIB_LOG("[E] cnpGetDataValue -> Parse Error パラメータ数(%d) 現在のパラメータ位置(%d)\n", h.prmCount,
                 h.nextIndex);
        return kCnpParseError;
    }
    if (targetType == kCnpTypeText) return kCnpBadArgument;
    if (headerBeyond(h)) {
        JLIB_LOG("[E] cnpGetDataValue -> Parse Error データがあると思われる位置(%lld) バッファサイズ(%d)\n",
                 static_cast<long long>(h.position) + 5, static_cast<int>(h.length));
        return kCnpParseError;
    }
    const uint8_t type = command[h.position];
    const uint32_t count = Utility::toUint(command + h.position + 1, 4);
    const uint64_t end = paramEnd(h.position, count, widthOf(type));
    if (end > h.length) {
        JLIB_LOG("[E] cnpGetDataValue (Error:想定サイズ(%lld),実サイズ(%d))\n", static_cast<long long>(end),
                 static_cast<int>(h.length));
        return kCnpParseError;
    }
    if (count > capacity || (count > 0 && !destination)) {
        JLIB_LOG("[E] cnpGetDataValue (Parse Error 3)\n");
        return kCnpParseError;
    }
    const uint8_t* elements = command + h.position + kCnpParamHeaderSize;
    advance(h, end);
    if (count == 0) return JLIB::kOk;
    return cnpGetValue(elements, type, count, targetType, destination);
}

JLIB::JResult cnpGetDataValueForSetPrm(const uint8_t* command, cnpGetHndl* handle, JVariant* value)
{
    if (!command || !handle || !value) return kCnpBadArgument;
    cnpGetHndl& h = *handle;
    if (h.nextIndex >= h.prmCount) {
        JLIB_LOG("[E] cnpGetDataValueForSetPrm (Error:parse 0)\n");
        return kCnpParseError;
    }
    // The type byte itself must lie inside the command before it decides the path.
    if (uint64_t{h.position} + 1 > h.length) {
        JLIB_LOG("[E] cnpGetDataValueForSetPrm (Error:parse 1)\n");
        return kCnpParseError;
    }
    const uint8_t type = command[h.position];
    if (type == kCnpTypeText || type == kCnpTypeBytes) {
        const uint8_t* data = nullptr;
        uint32_t count = 0;
        JLIB_RETURN_IF_FAILED(cnpGetDataPtr(command, handle, type == kCnpTypeText, &data, &count));
        const uint32_t set = type == kCnpTypeText ? value->setString(reinterpret_cast<const char*>(data), count)
                                                  : value->setBinary(data, count);
        return JLIB::isFailure(set) ? JLIB::kFailed : JLIB::kOk;
    }
    if (headerBeyond(h)) {
        JLIB_LOG("[E] cnpGetDataValueForSetPrm (Error:parse 1)\n");
        return kCnpParseError;
    }
    if (Utility::toUint(command + h.position + 1, 4) != 1) {
        JLIB_LOG("[E] cnpGetDataValueForSetPrm (Error:parse 2)\n");
        return kCnpParseError;
    }
    const uint64_t end = paramEnd(h.position, 1, widthOf(type));
    if (end > h.length) {
        JLIB_LOG("[E] cnpGetDataValueForSetPrm (Error:parse 3)\n");
        return kCnpParseError;
    }
    const uint8_t* element = command + h.position + kCnpParamHeaderSize;
    advance(h, end);
    switch (type) {
    case kCnpTypeUInt8: case kCnpTypeUInt16: case kCnpTypeUInt32:
        (void)value->setUInt32(Utility::toUint(element, widthOf(type)));  // number setters always succeed
        return JLIB::kOk;
    case kCnpTypeInt8: case kCnpTypeInt16: case kCnpTypeInt32:
        (void)value->setInt32(Utility::toInt(element, widthOf(type)));
        return JLIB::kOk;
    case kCnpTypeFloat:
        (void)value->setFloat(Utility::toFloat(element));
        return JLIB::kOk;
    default:
        JLIB_LOG("[E] cnpGetDataValueForSetPrm (Error:parse 4)\n");
        return kCnpParseError;
    }
}

JLIB::JResult cnpGetDataPtr(const uint8_t* command, cnpGetHndl* handle, bool textRequired, const uint8_t** data,
                            uint32_t* count)
{
    if (!command || !handle || !data) return kCnpBadArgument;
    cnpGetHndl& h = *handle;
    if (h.nextIndex >= h.prmCount) {
        JLIB_LOG("[E] cnpGetDataPtr (Error:parse 0)\n");
        return kCnpParseError;
    }
    if (headerBeyond(h)) {
        JLIB_LOG("[E] cnpGetDataPtr (Error:parse 1)\n");
        return kCnpParseError;
    }
    const uint8_t type = command[h.position];
    const uint32_t n = Utility::toUint(command + h.position + 1, 4);
    // Elements without width would hand out a count of bytes that lie past the command.
    if (widthOf(type) == 0 && n > 0) {
        JLIB_LOG("[E] cnpGetDataPtr (Error:parse 2)\n");
        return kCnpParseError;
    }
    const uint64_t end = paramEnd(h.position, n, widthOf(type));
    if (end > h.length) {
        JLIB_LOG("[E] cnpGetDataPtr (Error:parse 2)\n");
        return kCnpParseError;
    }
    if (kindOf(type) == 3) {
        // The last element's zero, or for an empty text the count field's last byte.
        if (command[end - 1] != 0) {
            JLIB_LOG("[E] cnpGetDataPtr (Error:parse 3)\n");
            return kCnpParseError;
        }
    } else if (textRequired) {
        JLIB_LOG("[E] cnpGetDataPtr (Error:parse 4)\n");
        return kCnpParseError;
    }
    const uint8_t* elements = n > 0 ? command + h.position + kCnpParamHeaderSize : nullptr;
    advance(h, end);
    *data = elements;
    if (count) *count = n;
    return JLIB::kOk;
}

JLIB::JResult cnpGetAnswer(JLIB::JResult local)
{
    if (JLIB::isSuccess(local)) return 0;
    const uint32_t low = local & 0xFFFFu;
    if ((low & 0xF000u) != 0) return 0x80000000u | low;
    switch (low) {
    case 2: case 3: return 0x80000004u;
    case 4: return 0x80000001u;
    case 5: return 0x80000002u;
    case 6: return 0x80000003u;
    default: return 0x80000000u;
    }
}

}  // namespace ComControl
