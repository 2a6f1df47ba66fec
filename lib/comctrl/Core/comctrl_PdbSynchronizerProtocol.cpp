#include "comctrl_PdbSynchronizerProtocol.h"

#include <cstring>
#include <memory>
#include <new>

#include "PDB/pdb_ParameterDBCollection.h"
#include "comctrl_Utility.h"
#include "comctrl_cnp.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_md5.h"

namespace ComControl {

namespace {

using P = PdbSynchronizerProtocol;

// A text parameter; null is sent as the empty text (count 1) unless absentAsNone.
JLIB::JResult addText(uint8_t* buffer, uint32_t capacity, uint32_t* pos, const char* text, bool absentAsNone)
{
    if (!text) {
        if (absentAsNone) return cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeText, nullptr, 0);
        text = "";
    }
    const uint32_t count = static_cast<uint32_t>(std::strlen(text)) + 1;
    return cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeText, text, count);
}

JLIB::JResult addU32(uint8_t* buffer, uint32_t capacity, uint32_t* pos, uint32_t value)
{
    return cnpMakeAddPrmTypeAndData(buffer, capacity, pos, kCnpTypeUInt32, &value, 1);
}

// Opens a command after cnpGetCommand; 0x80000004 when the received bytes fall short.
JLIB::JResult open(const uint8_t* command, uint32_t received, uint32_t expectedId, cnpGetHndl& handle)
{
    if (!command) return kCnpBadArgument;
    uint32_t id = 0;
    if (JLIB::isFailure(cnpGetCommand(command, received, kCnpVersion, &id))) return kCnpParseError;
    if (id != expectedId) return kCnpParseError;
    (void)cnpGetResetData(command, &handle);
    if (handle.length > received) return kCnpParseError;
    return JLIB::kOk;
}

JLIB::JResult peek(const uint8_t* command, const cnpGetHndl& handle, uint8_t& type, uint32_t& count);

JLIB::JResult getText(const uint8_t* command, cnpGetHndl& handle, const char** text)
{
    // Only 0x31 itself: another type of the text kind has no element width, and its count would
    // reach past the command.
    uint8_t type = 0;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(peek(command, handle, type, count));
    if (type != kCnpTypeText) return kCnpParseError;
    const uint8_t* data = nullptr;
    JLIB_RETURN_IF_FAILED(cnpGetDataPtr(command, &handle, true, &data));
    *text = reinterpret_cast<const char*>(data);
    return JLIB::kOk;
}

// Type and count of the next parameter without reading it; 0x80000004 past the end.
JLIB::JResult peek(const uint8_t* command, const cnpGetHndl& handle, uint8_t& type, uint32_t& count)
{
    if (handle.nextIndex >= handle.prmCount || uint64_t{handle.position} + kCnpParamHeaderSize > handle.length) {
        return kCnpParseError;
    }
    type = command[handle.position];
    count = Utility::toUint(command + handle.position + 1, 4);
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult P::Encode_AssociationBeginRequest(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                const char* name, bool withTarget)
{
    if (!buffer || !length) return kCnpBadArgument;
    uint32_t pos = 0;
    const uint8_t role = withTarget ? 0x80 : 0x00;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, &pos, CNP_CMD_ASSOCIATION_BEGIN_REQUEST, 2));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, name, false));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, &role, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult P::Decode_AssociationBeginRequest(const uint8_t* command, uint32_t received, const char** name,
                                                bool* withTarget)
{
    if (!name || !withTarget) return kCnpBadArgument;
    cnpGetHndl h{};
    JLIB_RETURN_IF_FAILED(open(command, received, CNP_CMD_ASSOCIATION_BEGIN_REQUEST, h));
    JLIB_RETURN_IF_FAILED(getText(command, h, name));
    uint8_t role = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt8, &role, 1));
    if (role != 0x00 && role != 0x80) {
        JLIB_LOG("[E] Decode_AssociationBeginRequest: role 0x%02X\n", static_cast<unsigned>(role));
        return kCnpParseError;
    }
    *withTarget = role == 0x80;
    return JLIB::kOk;
}

namespace {
JLIB::JResult encodeSimple(uint8_t* buffer, uint32_t capacity, uint32_t* length, uint32_t id)
{
    if (!buffer || !length) return kCnpBadArgument;
    uint32_t pos = 0;
    JLIB_RETURN_IF_FAILED(cnpMakeSimpleCommand(buffer, capacity, &pos, id));
    *length = pos;
    return JLIB::kOk;
}
}  // namespace

JLIB::JResult P::Encode_AssociationEnd(uint8_t* b, uint32_t c, uint32_t* l)
{
    return encodeSimple(b, c, l, CNP_CMD_ASSOCIATION_END);
}
JLIB::JResult P::Encode_AssociationEndAnswer(uint8_t* b, uint32_t c, uint32_t* l)
{
    return encodeSimple(b, c, l, CNP_CMD_ASSOCIATION_END_ANSWER);
}
JLIB::JResult P::Encode_AssociationTellComplete(uint8_t* b, uint32_t c, uint32_t* l)
{
    return encodeSimple(b, c, l, CNP_CMD_ASSOCIATION_TELL_COMPLETE);
}
JLIB::JResult P::Encode_AssociationTellCompleteAnswer(uint8_t* b, uint32_t c, uint32_t* l)
{
    return encodeSimple(b, c, l, CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER);
}
JLIB::JResult P::Decode_AssociationEnd(const uint8_t* command, uint32_t)
{
    return command ? JLIB::kOk : JLIB::kFailed;
}
JLIB::JResult P::Decode_AssociationEndAnswer(const uint8_t* command, uint32_t)
{
    return command ? JLIB::kOk : JLIB::kFailed;
}
JLIB::JResult P::Decode_AssociationTellComplete(const uint8_t* command, uint32_t)
{
    return command ? JLIB::kOk : JLIB::kFailed;
}
JLIB::JResult P::Decode_AssociationTellCompleteAnswer(const uint8_t* command, uint32_t)
{
    return command ? JLIB::kOk : JLIB::kFailed;
}

JLIB::JResult P::generateDigest(uint32_t instanceId, const char*, uint8_t*, uint8_t* valueDigest)
{
    const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(instanceId);
    if (!db.isValid() || !valueDigest) return JLIB::kFailed;
    const uint32_t size = db.exportBinarySize();
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size ? size : 1]);
    if (!bytes) return kCnpBadArgument;
    if (JLIB::isSuccess(db.exportBinary(bytes.get(), size, 0))) {
        T_JLIB_MD5_CTX context;
        jlib_MD5Init(&context);
        jlib_MD5Update(&context, bytes.get(), size);
        jlib_MD5Final(valueDigest, &context);
    }
    return JLIB::kOk;
}

JLIB::JResult P::Encode_AssociationTellParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                 uint32_t instanceId, const char* name)
{
    if (!buffer || !length) return kCnpBadArgument;
    uint8_t structure[kDigestSize] = {};
    uint8_t values[kDigestSize] = {};
    JLIB_RETURN_IF_FAILED(generateDigest(instanceId, name, structure, values));
    return encodeTellParameter(buffer, capacity, length, name, structure, values);
}

JLIB::JResult P::encodeTellParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* name,
                                     const uint8_t* structure, const uint8_t* values)
{
    if (!buffer || !length || !structure || !values) return kCnpBadArgument;
    uint32_t pos = 0;
    const uint8_t sub = CNP_SUBCMD_TELLSTRUCTURE_ASSOCIATION;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, &pos, CNP_CMD_ASSOCIATION_TELL_PARAMETER, 4));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, &sub, 1));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, name, false));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, structure, kDigestSize));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, values, kDigestSize));
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult P::Decode_AssociationTellParameter(const uint8_t* command, uint32_t received, uint32_t instanceId,
                                                 const char** name, bool* structureMatched, bool* valuesMatched)
{
    if (!name || !structureMatched || !valuesMatched) return kCnpBadArgument;
    *structureMatched = false;
    *valuesMatched = false;
    bool named = false;
    uint8_t digests[2][kDigestSize] = {};
    JLIB_RETURN_IF_FAILED(decodeTellParameter(command, received, name, &named, digests[0], digests[1]));
    if (!named) return JLIB::kOk;  // a peer without a name counts as different
    uint8_t structure[kDigestSize] = {};
    uint8_t values[kDigestSize] = {};
    if (JLIB::isFailure(generateDigest(instanceId, *name, structure, values))) return JLIB::kFailed;
    *structureMatched = std::memcmp(digests[0], structure, kDigestSize) == 0;
    *valuesMatched = std::memcmp(digests[1], values, kDigestSize) == 0;
    return JLIB::kOk;
}

JLIB::JResult P::decodeTellParameter(const uint8_t* command, uint32_t received, const char** name, bool* named,
                                     uint8_t* structureDigest, uint8_t* valueDigest)
{
    if (!name || !named || !structureDigest || !valueDigest) return kCnpBadArgument;
    *named = false;
    cnpGetHndl h{};
    JLIB_RETURN_IF_FAILED(open(command, received, CNP_CMD_ASSOCIATION_TELL_PARAMETER, h));
    uint8_t sub = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt8, &sub, 1));
    JLIB_RETURN_IF_FAILED(getText(command, h, name));
    if (!*name) return JLIB::kOk;
    for (uint8_t* digest : {structureDigest, valueDigest}) {
        uint8_t type = 0;
        uint32_t count = 0;
        JLIB_RETURN_IF_FAILED(peek(command, h, type, count));
        // Shorter digests would be compared past what was received.
        if (count != kDigestSize) {
            JLIB_LOG("[E] Decode_AssociationTellParameter: digest of %u bytes\n", static_cast<unsigned>(count));
            return kCnpParseError;
        }
        JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt8, digest, kDigestSize));
    }
    *named = true;
    return JLIB::kOk;
}

JLIB::JResult P::Encode_AssociationTellParameterAnswer(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                       const char* name, bool structureMatched, bool valuesMatched)
{
    if (!buffer || !length) return kCnpBadArgument;
    uint32_t pos = 0;
    const uint32_t result = 0;
    const uint8_t structureDiffers = structureMatched ? 0 : 1;
    const uint8_t valuesDiffer = valuesMatched ? 0 : 1;
    JLIB_RETURN_IF_FAILED(
        cnpMakeHeaderAndCommand(buffer, capacity, &pos, CNP_CMD_ASSOCIATION_TELL_PARAMETER_ANSWER, 4));
    JLIB_RETURN_IF_FAILED(addU32(buffer, capacity, &pos, result));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, name, false));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, &structureDiffers, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, &valuesDiffer, 1));
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult P::Decode_AssociationTellParameterAnswer(const uint8_t* command, uint32_t received, uint32_t* result,
                                                       const char** name, bool* structureMatched,
                                                       bool* valuesMatched)
{
    if (!result || !name || !structureMatched || !valuesMatched) return kCnpBadArgument;
    cnpGetHndl h{};
    JLIB_RETURN_IF_FAILED(open(command, received, CNP_CMD_ASSOCIATION_TELL_PARAMETER_ANSWER, h));
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt32, result, 1));
    JLIB_RETURN_IF_FAILED(getText(command, h, name));
    uint8_t differs[2] = {};
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt8, &differs[0], 1));
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt8, &differs[1], 1));
    *structureMatched = differs[0] == 0;
    *valuesMatched = differs[1] == 0;
    return JLIB::kOk;
}

JLIB::JResult P::encodeSet(uint8_t* buffer, uint32_t capacity, uint32_t* length, const T_DATA& data,
                           uint32_t commFactor, const char* name, const char* subName, const char* textAddress,
                           const uint32_t* numbers, const uint32_t* indexes, uint32_t depth)
{
    const bool isSet = data.commandId == CNP_CMD_SET_PARAMETER;
    if (!buffer || !length || (!isSet && data.commandId != CNP_CMD_SET_PARAMETER_BLOCK) || !name ||
        (depth > 0 && !textAddress && !numbers) || (depth > 0 && !indexes) || (isSet && !data.value)) {
        return kCnpBadArgument;
    }
    uint32_t pos = 0;
    const uint16_t reserved = 0;
    const uint16_t depth16 = static_cast<uint16_t>(depth);
    const uint8_t reserved8 = 0;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, &pos, data.commandId, isSet ? 8 : 9));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, data.reservedType,
                                                   data.reservedType == kCnpTypeUInt8
                                                       ? static_cast<const void*>(&reserved8)
                                                       : static_cast<const void*>(&reserved),
                                                   1));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, name, false));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, subName, true));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt16, &depth16, 1));
    if (textAddress) {
        JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, textAddress, false));
    } else {
        JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt32, numbers, depth));
    }
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt32, indexes, depth));
    const uint32_t factorPos = pos;
    JLIB_RETURN_IF_FAILED(addU32(buffer, capacity, &pos, commFactor));
    if (isSet) {
        const JVariant& v = *data.value;
        const bool integerOrText = v.getType() == JVariant::kTypeInt32 || v.getType() == JVariant::kTypeUInt32 ||
                                   v.getType() == JVariant::kTypeString;
        if (data.integerOrTextValue && !integerOrText) return JLIB::kFailed;
        switch (v.getType()) {
        case JVariant::kTypeInt32: {
            const uint32_t raw = static_cast<uint32_t>(v.toInt32());
            JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeInt32, &raw, 1));
            break;
        }
        case JVariant::kTypeUInt32:
            JLIB_RETURN_IF_FAILED(addU32(buffer, capacity, &pos, v.toUInt32()));
            break;
        case JVariant::kTypeString: {
            const char* text = v.toString();
            const uint32_t count = text ? static_cast<uint32_t>(strnlen(text, kMaxTextValue - 1)) + 1 : 1;
            if (uint64_t{pos} + kCnpParamHeaderSize + count > capacity) return kCnpNoRoom;
            buffer[pos] = kCnpTypeText;
            (void)Utility::fromUint(buffer + pos + 1, 4, count);
            if (text) std::memcpy(buffer + pos + kCnpParamHeaderSize, text, count - 1);
            buffer[pos + kCnpParamHeaderSize + count - 1] = 0;
            pos += kCnpParamHeaderSize + count;
            break;
        }
        case JVariant::kTypeFloat: {
            const float f = v.toFloat();
            JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeFloat, &f, 1));
            break;
        }
        case JVariant::kTypeBinary:
            JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeBytes, v.toBinary(),
                                                           v.getBinaryLength()));
            break;
        default:
            return JLIB::kFailed;
        }
    } else {
        const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(data.instanceId);
        if (!data.source && !db.isValid()) return JLIB::kFailed;
        uint32_t size = 0;
        if (data.source) {
            if (JLIB::isFailure(data.source->imageSize(&size))) return JLIB::kFailed;
        } else {
            size = db.exportBinarySize();
        }
        if (uint64_t{pos} + kCnpParamHeaderSize + size > capacity) return kCnpNoRoom;
        buffer[pos] = kCnpTypeUInt8;
        (void)Utility::fromUint(buffer + pos + 1, 4, size);
        pos += kCnpParamHeaderSize;
        const JLIB::JResult exported =
            data.source ? data.source->writeImage(buffer + pos, size) : db.exportBinary(buffer + pos, size, 0);
        if (JLIB::isFailure(exported)) return JLIB::kFailed;
        pos += size;
        JLIB_RETURN_IF_FAILED(
            cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt8, data.filter, data.filterSize));
        if (data.patch) {
            uint32_t at = factorPos;
            (void)addU32(buffer, capacity, &at, 0);  // the export status, fits where the factor was
        }
    }
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult P::Encode_SetParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length, const JVariant& value,
                                     uint32_t commFactor, const char* name, const char* subName,
                                     const char* textAddress, const uint32_t* numbers, const uint32_t* indexes,
                                     uint32_t depth)
{
    T_DATA data;
    data.commandId = CNP_CMD_SET_PARAMETER;
    data.value = &value;
    return encodeSet(buffer, capacity, length, data, commFactor, name, subName, textAddress, numbers, indexes, depth);
}

JLIB::JResult P::Encode_SetParameterBlock(uint8_t* buffer, uint32_t capacity, uint32_t* length, uint32_t instanceId,
                                          const uint8_t* filter, uint32_t filterSize, uint32_t commFactor,
                                          const char* name, const char* subName, const char* textAddress,
                                          const uint32_t* numbers, const uint32_t* indexes, uint32_t depth,
                                          bool patch)
{
    T_DATA data;
    data.commandId = CNP_CMD_SET_PARAMETER_BLOCK;
    data.instanceId = instanceId;
    data.filter = filter;
    data.filterSize = filterSize;
    data.patch = patch;
    return encodeSet(buffer, capacity, length, data, commFactor, name, subName, textAddress, numbers, indexes, depth);
}

JLIB::JResult P::Encode_AssociationSetParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                uint32_t instanceId, const uint8_t* filter, uint32_t filterSize,
                                                uint32_t commFactor, const char* name, const char* subName)
{
    return Encode_SetParameterBlock(buffer, capacity, length, instanceId, filter, filterSize, commFactor, name,
                                    subName, nullptr, nullptr, nullptr, 0, false);
}

JLIB::JResult P::decodeSet(const uint8_t* command, uint32_t received, uint32_t arrayCapacity, T_DATA& data,
                           uint32_t* commFactor, Address* address)
{
    const bool isSet = data.commandId == CNP_CMD_SET_PARAMETER;
    if (!command || !commFactor || !address || (isSet && !data.valueOut) ||
        (!isSet && data.commandId != CNP_CMD_SET_PARAMETER_BLOCK)) {
        return kCnpBadArgument;
    }
    cnpGetHndl h{};
    JLIB_RETURN_IF_FAILED(open(command, received, data.commandId, h));
    uint16_t reserved = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt16, &reserved, 1));
    JLIB_RETURN_IF_FAILED(getText(command, h, &address->name));
    JLIB_RETURN_IF_FAILED(getText(command, h, &address->subName));
    if (address->subName && address->subName[0] == '\0') address->subName = nullptr;
    uint16_t depth = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt16, &depth, 1));
    address->depth = depth;
    uint8_t type = 0;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(peek(command, h, type, count));
    if (type == kCnpTypeText) {
        JLIB_RETURN_IF_FAILED(getText(command, h, &address->textAddress));
        address->numberCount = 0;
    } else {
        JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt32, address->numbers, arrayCapacity));
        address->numberCount = count;
    }
    JLIB_RETURN_IF_FAILED(peek(command, h, type, count));
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt32, address->indexes, arrayCapacity));
    address->indexCount = count;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt32, commFactor, 1));
    if (isSet) {
        const JLIB::JResult value = cnpGetDataValueForSetPrm(command, &h, data.valueOut);
        return JLIB::isFailure(value) ? kCnpParseError : JLIB::kOk;
    }
    // Image and filter are counted in bytes: elements of another width would misstate their size.
    JLIB_RETURN_IF_FAILED(peek(command, h, type, count));
    if ((type & 0x0F) != 1) return kCnpParseError;
    JLIB_RETURN_IF_FAILED(cnpGetDataPtr(command, &h, false, &data.image, &data.imageSize));
    JLIB_RETURN_IF_FAILED(peek(command, h, type, count));
    if ((type & 0x0F) != 1) return kCnpParseError;
    JLIB_RETURN_IF_FAILED(cnpGetDataPtr(command, &h, false, &data.filter, &data.filterSize));
    return JLIB::kOk;
}

JLIB::JResult P::Decode_SetParameter(const uint8_t* command, uint32_t received, uint32_t arrayCapacity,
                                     JVariant* value, uint32_t* commFactor, Address* address)
{
    T_DATA data;
    data.commandId = CNP_CMD_SET_PARAMETER;
    data.valueOut = value;
    return decodeSet(command, received, arrayCapacity, data, commFactor, address);
}

JLIB::JResult P::Decode_SetParameterBlock(const uint8_t* command, uint32_t received, uint32_t arrayCapacity,
                                          const uint8_t** image, uint32_t* imageSize, const uint8_t** filter,
                                          uint32_t* filterSize, uint32_t* commFactor, Address* address)
{
    if (!image || !imageSize || !filter || !filterSize) return kCnpBadArgument;
    T_DATA data;
    data.commandId = CNP_CMD_SET_PARAMETER_BLOCK;
    JLIB_RETURN_IF_FAILED(decodeSet(command, received, arrayCapacity, data, commFactor, address));
    *image = data.image;
    *imageSize = data.imageSize;
    *filter = data.filter;
    *filterSize = data.filterSize;
    return JLIB::kOk;
}

JLIB::JResult P::Encode_ParameterFlip(uint8_t* buffer, uint32_t capacity, uint32_t* length, const char* name,
                                      const char* subName)
{
    if (!buffer || !length) return kCnpBadArgument;
    uint32_t pos = 0;
    const uint16_t reserved = 0;
    JLIB_RETURN_IF_FAILED(cnpMakeHeaderAndCommand(buffer, capacity, &pos, CNP_CMD_PARAMETER_FLIP, 3));
    JLIB_RETURN_IF_FAILED(cnpMakeAddPrmTypeAndData(buffer, capacity, &pos, kCnpTypeUInt16, &reserved, 1));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, name, false));
    JLIB_RETURN_IF_FAILED(addText(buffer, capacity, &pos, subName, true));
    JLIB_RETURN_IF_FAILED(cnpMakeFinish(buffer, pos));
    *length = pos;
    return JLIB::kOk;
}

JLIB::JResult P::Decode_ParameterFlip(const uint8_t* command, uint32_t received, const char** name,
                                      const char** subName)
{
    if (!name || !subName) return kCnpBadArgument;
    cnpGetHndl h{};
    JLIB_RETURN_IF_FAILED(open(command, received, CNP_CMD_PARAMETER_FLIP, h));
    uint16_t reserved = 0;
    JLIB_RETURN_IF_FAILED(cnpGetDataValue(command, &h, kCnpTypeUInt16, &reserved, 1));
    JLIB_RETURN_IF_FAILED(getText(command, h, name));
    JLIB_RETURN_IF_FAILED(getText(command, h, subName));
    if (*subName && (*subName)[0] == '\0') *subName = nullptr;
    return JLIB::kOk;
}

uint32_t P::getMaxBufferSize(uint32_t instanceId)
{
    const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(instanceId);
    if (!db.isValid()) return 0;
    return db.exportBinarySize() + kBlockOverhead;
}

}  // namespace ComControl
