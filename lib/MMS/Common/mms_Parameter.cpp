#include "mms_Parameter.h"

#include <cfloat>
#include <cstring>

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"
#include "mms_CollectionTagInfo.h"
#include "mms_CommonFunction.h"
#include "mms_DirtyFlagList.h"
#include "mms_ISetChecker.h"
#include "mms_JVariantWrapper.h"
#include "mms_SetOrderNotifyWrapper.h"
#include "mms_StringConverter.h"

namespace MMS {

namespace {

constexpr uint8_t kMinSet = 0x01;
constexpr uint8_t kMaxSet = 0x02;
constexpr uint8_t kDefSet = 0x04;
constexpr uint8_t kStepSet = 0x08;
constexpr uint8_t kNominalSet = 0x10;

// A "PR" tag holds element sizes in 16 bits.
constexpr uint32_t kMaxStringSize = 0xFFFF;
constexpr uint32_t kMaxArraySize = 0xFFFF;

bool isSignedType(uint32_t type) { return type == kMmsTypeInt8 || type == kMmsTypeInt16 || type == kMmsTypeInt32; }
bool isUnsignedType(uint32_t type)
{
    return type == kMmsTypeBit || type == kMmsTypeUInt8 || type == kMmsTypeUInt16 || type == kMmsTypeUInt32;
}
bool isKnownType(uint32_t type)
{
    return isSignedType(type) || isUnsignedType(type) || type == kMmsTypeString || type == kMmsTypeFloat;
}

// Bits of bit parameters and of filter flags lie from the least significant bit of each byte.
bool readPackedBit(const unsigned char* base, uint32_t bit) { return ((base[bit / 8] >> (bit % 8)) & 1u) != 0; }
void writePackedBit(unsigned char* base, uint32_t bit, bool on)
{
    const auto mask = static_cast<unsigned char>(1u << (bit % 8));
    if (on) {
        base[bit / 8] = static_cast<unsigned char>(base[bit / 8] | mask);
    } else {
        base[bit / 8] = static_cast<unsigned char>(base[bit / 8] & ~mask);
    }
}

bool anyNonZero(const unsigned char* bytes, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i) {
        if (bytes[i] != 0) return true;
    }
    return false;
}

// The low size bytes of a 32-bit value, as the value memory holds them (host order).
void storeLow(unsigned char* to, uint32_t raw, uint32_t size)
{
    if (size == 1) {
        const auto v = static_cast<uint8_t>(raw);
        std::memcpy(to, &v, 1);
    } else if (size == 2) {
        const auto v = static_cast<uint16_t>(raw);
        std::memcpy(to, &v, 2);
    } else {
        std::memcpy(to, &raw, 4);
    }
}

uint32_t loadUnsigned(const unsigned char* from, uint32_t size)
{
    if (size == 1) return from[0];
    if (size == 2) {
        uint16_t v;
        std::memcpy(&v, from, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, from, 4);
    return v;
}

int32_t loadSigned(const unsigned char* from, uint32_t size)
{
    if (size == 1) {
        int8_t v;
        std::memcpy(&v, from, 1);
        return v;
    }
    if (size == 2) {
        int16_t v;
        std::memcpy(&v, from, 2);
        return v;
    }
    int32_t v;
    std::memcpy(&v, from, 4);
    return v;
}

}  // namespace

Parameter::Parameter(uint32_t* result, const char* name, uint32_t arraySize, uint32_t type, const JVariant* minimum,
                     const JVariant* maximum, const JVariant* defaultValue, const JVariant* step,
                     const JVariant* nominal, uint32_t unitOffset, uint32_t unitSize, uint32_t scaling, uint32_t kind,
                     uint32_t nameFormatOffset, uint32_t nameFormatSize)
    : m_arraySize(arraySize),
      m_type(type),
      m_unitOffset(unitOffset),
      m_unitSize(unitSize),
      m_scaling(scaling == 0 ? 1 : scaling),
      m_kind(kind),
      m_nameFormatOffset(nameFormatOffset),
      m_nameFormatSize(nameFormatSize)
{
    uint32_t dummy = 0;
    uint32_t& out = result != nullptr ? *result : dummy;
    out = kMmsMissing;
    std::memset(m_name, 0, sizeof(m_name));
    if (mmsIsFailure(StringConverter::nodeNameCopy(m_name, name))) return;
    if (arraySize == 0 || arraySize > kMaxArraySize || !isKnownType(type)) return;
    if (type == kMmsTypeString && maximum != nullptr) {
        bool ok = false;
        const uint32_t size = maximum->toUInt32(&ok);
        if (ok && size > kMaxStringSize) return;
    }
    // A refused attribute stays unset; the root reports a missing default later.
    (void)setPrmMin(minimum);
    (void)setPrmMax(maximum);
    (void)setPrmDef(defaultValue);
    (void)setPrmStep(step);
    (void)setPrmNominal(nominal);
    out = kMmsOk;
}

uint32_t Parameter::release()
{
    delete this;
    return kMmsOk;
}

uint32_t Parameter::releaseItems(SharedMemWrapper*) { return kMmsOk; }

uint32_t Parameter::getElementSize() const
{
    switch (m_type) {
    case kMmsTypeInt8:
    case kMmsTypeUInt8: return 1;
    case kMmsTypeInt16:
    case kMmsTypeUInt16: return 2;
    case kMmsTypeInt32:
    case kMmsTypeUInt32:
    case kMmsTypeFloat: return 4;
    case kMmsTypeString: return m_max.u32;
    default: return 0;
    }
}

// ---- attribute cells ----

uint32_t Parameter::dataTypeCompare(int* out, const JVariant& value, const PrmPrivate& cell) const
{
    bool ok = false;
    if (isSignedType(m_type)) {
        const int32_t v = value.toInt32(&ok);
        if (!ok) return kMmsBadArgument;
        *out = v == cell.i32 ? 0 : (v > cell.i32 ? 1 : -1);
        return kMmsOk;
    }
    if (isUnsignedType(m_type)) {
        const uint32_t v = value.toUInt32(&ok);
        if (!ok) return kMmsBadArgument;
        *out = v == cell.u32 ? 0 : (v > cell.u32 ? 1 : -1);
        return kMmsOk;
    }
    if (m_type == kMmsTypeFloat) {
        const float v = value.toFloat(&ok);
        if (!ok) return kMmsBadArgument;
        *out = v == cell.f32 ? 0 : (v > cell.f32 ? 1 : -1);
        return kMmsOk;
    }
    if (m_type == kMmsTypeString) return kMmsOk;
    return kMmsBadArgument;
}

uint32_t Parameter::dataRangeCheck(const JVariant& value) const
{
    bool ok = false;
    if (isSignedType(m_type)) {
        const int32_t v = value.toInt32(&ok);
        if (!ok) return kMmsBadArgument;
        if (m_type == kMmsTypeInt8 && (v < -128 || v > 127)) return kMmsBadArgument;
        if (m_type == kMmsTypeInt16 && (v < -32768 || v > 32767)) return kMmsBadArgument;
        return kMmsOk;
    }
    if (isUnsignedType(m_type)) {
        const uint32_t v = value.toUInt32(&ok);
        if (!ok) return kMmsBadArgument;
        if (m_type == kMmsTypeBit && v > 1) return kMmsBadArgument;
        if (m_type == kMmsTypeUInt8 && v > 0xFF) return kMmsBadArgument;
        if (m_type == kMmsTypeUInt16 && v > 0xFFFF) return kMmsBadArgument;
        return kMmsOk;
    }
    if (m_type == kMmsTypeFloat) {
        const float v = value.toFloat(&ok);
        // Written so that a NaN fails as well.
        if (!ok || !(v >= -FLT_MAX && v <= FLT_MAX)) return kMmsBadArgument;
        return kMmsOk;
    }
    if (m_type == kMmsTypeString) return kMmsOk;
    return kMmsBadArgument;
}

uint32_t Parameter::getJVariant(PrmPrivate& cell, const JVariant* value) const
{
    if (value == nullptr) return kMmsBadArgument;
    bool ok = false;
    if (isSignedType(m_type)) {
        const int32_t v = value->toInt32(&ok);
        if (!ok) return kMmsBadArgument;
        cell.i32 = v;
        return kMmsOk;
    }
    if (isUnsignedType(m_type) || m_type == kMmsTypeString) {
        const uint32_t v = value->toUInt32(&ok);
        if (!ok) return kMmsBadArgument;
        cell.u32 = v;
        return kMmsOk;
    }
    if (m_type == kMmsTypeFloat) {
        const float v = value->toFloat(&ok);
        if (!ok) return kMmsBadArgument;
        cell.f32 = v;
        return kMmsOk;
    }
    return kMmsBadArgument;
}

void Parameter::setJVariant(JVariant* out, const PrmPrivate& cell) const
{
    if (isSignedType(m_type)) {
        (void)out->setInt32(cell.i32);  // always succeeds
    } else if (m_type == kMmsTypeFloat) {
        (void)out->setFloat(cell.f32);
    } else {
        (void)out->setUInt32(cell.u32);
    }
}

uint32_t Parameter::setPrmMin(const JVariant* value)
{
    if (value == nullptr || isStringType()) return kMmsOk;
    JLIB_RETURN_IF_FAILED(dataRangeCheck(*value));
    int cmp = 0;
    if (isAttribSet(kMaxSet)) {
        JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_max));
        if (cmp > 0) return kMmsBadArgument;
    }
    if (isAttribSet(kDefSet)) {
        JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_def));
        if (cmp > 0) return kMmsBadArgument;
    }
    JLIB_RETURN_IF_FAILED(getJVariant(m_min, value));
    m_attribFlags |= kMinSet;
    return kMmsOk;
}

uint32_t Parameter::setPrmMax(const JVariant* value)
{
    if (isStringType()) {
        if (value == nullptr) {
            m_max.u32 = 0;
        } else {
            JLIB_RETURN_IF_FAILED(getJVariant(m_max, value));
        }
        m_attribFlags |= kMaxSet;
        return kMmsOk;
    }
    if (value == nullptr) return kMmsOk;
    JLIB_RETURN_IF_FAILED(dataRangeCheck(*value));
    int cmp = 0;
    if (isAttribSet(kMinSet)) {
        JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_min));
        if (cmp < 0) return kMmsBadArgument;
    }
    if (isAttribSet(kDefSet)) {
        JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_def));
        if (cmp < 0) return kMmsBadArgument;
    }
    JLIB_RETURN_IF_FAILED(getJVariant(m_max, value));
    m_attribFlags |= kMaxSet;
    return kMmsOk;
}

uint32_t Parameter::setPrmDef(const JVariant* value)
{
    if (value == nullptr) return kMmsOk;
    if (!isStringType()) {
        JLIB_RETURN_IF_FAILED(dataRangeCheck(*value));
        int cmp = 0;
        if (isAttribSet(kMinSet)) {
            JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_min));
            if (cmp < 0) return kMmsBadArgument;
        }
        if (isAttribSet(kMaxSet)) {
            JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_max));
            if (cmp > 0) return kMmsBadArgument;
        }
    }
    JLIB_RETURN_IF_FAILED(getJVariant(m_def, value));
    m_attribFlags |= kDefSet;
    return kMmsOk;
}

uint32_t Parameter::setPrmStep(const JVariant* value)
{
    if (value == nullptr || isStringType()) return kMmsOk;
    JLIB_RETURN_IF_FAILED(dataRangeCheck(*value));
    bool ok = false;
    if (m_type == kMmsTypeFloat) {
        if (!(value->toFloat(&ok) > 0.0f) || !ok) return kMmsBadArgument;
    } else if (value->toUInt32(&ok) == 0 || !ok) {
        return kMmsBadArgument;
    }
    JLIB_RETURN_IF_FAILED(getJVariant(m_step, value));
    m_attribFlags |= kStepSet;
    return kMmsOk;
}

uint32_t Parameter::setPrmNominal(const JVariant* value)
{
    if (value == nullptr) return kMmsOk;
    JLIB_RETURN_IF_FAILED(dataRangeCheck(*value));
    JLIB_RETURN_IF_FAILED(getJVariant(m_nominal, value));
    m_attribFlags |= kNominalSet;
    return kMmsOk;
}

uint32_t Parameter::getPrmMin(JVariant* out) const
{
    if (out == nullptr || isStringType()) return kMmsBadArgument;
    if (!isAttribSet(kMinSet)) return kMmsNoDefault;
    setJVariant(out, m_min);
    return kMmsOk;
}

uint32_t Parameter::getPrmMax(JVariant* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    if (!isAttribSet(kMaxSet)) return kMmsNoDefault;
    setJVariant(out, m_max);
    return kMmsOk;
}

uint32_t Parameter::getPrmStep(JVariant* out) const
{
    if (out == nullptr || isStringType()) return kMmsBadArgument;
    if (!isAttribSet(kStepSet)) return kMmsNoDefault;
    setJVariant(out, m_step);
    return kMmsOk;
}

uint32_t Parameter::getStringAttrib(JVariant* out, const PrmPrivate& cell, uint8_t flag,
                                    const char* stringMemory) const
{
    if (out == nullptr) return kMmsBadArgument;
    if (!isAttribSet(flag)) return kMmsNoDefault;
    if (!isStringType()) {
        setJVariant(out, cell);
        return kMmsOk;
    }
    if (m_max.u32 == 0) return kMmsNoDefault;
    if (stringMemory == nullptr) return kMmsMissing;
    return JLIB::isSuccess(out->setString(stringMemory + cell.u32, m_max.u32)) ? kMmsOk : kMmsBadArgument;
}

uint32_t Parameter::getPrmDef(JVariant* out, const char* stringMemory) const
{
    return getStringAttrib(out, m_def, kDefSet, stringMemory);
}

uint32_t Parameter::getPrmNominal(JVariant* out, const char* stringMemory) const
{
    return getStringAttrib(out, m_nominal, kNominalSet, stringMemory);
}

uint32_t Parameter::getPrmUnitSize(uint32_t* out) const
{
    if (out == nullptr || isStringType()) return kMmsBadArgument;
    *out = m_unitSize;
    return kMmsOk;
}

uint32_t Parameter::getPrmUnit(char* buffer, const char* stringMemory) const
{
    if (buffer == nullptr || isStringType()) return kMmsBadArgument;
    if (m_unitSize == 0) return kMmsOk;
    if (stringMemory == nullptr) return kMmsNoDefault;
    std::memcpy(buffer, stringMemory + m_unitOffset, m_unitSize);
    buffer[m_unitSize] = '\0';
    return kMmsOk;
}

uint32_t Parameter::getPrmNameFormatSize(uint32_t* out) const
{
    if (out == nullptr || isStringType()) return kMmsBadArgument;
    *out = m_nameFormatSize;
    return kMmsOk;
}

uint32_t Parameter::getPrmNameFormat(char* buffer, const char* stringMemory) const
{
    if (buffer == nullptr) return kMmsBadArgument;
    buffer[0] = '\0';
    if (m_nameFormatSize == 0 || stringMemory == nullptr) return kMmsNoDefault;
    std::memcpy(buffer, stringMemory + m_nameFormatOffset, m_nameFormatSize);
    buffer[m_nameFormatSize] = '\0';
    return kMmsOk;
}

uint32_t Parameter::getPrmScaling(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_scaling;
    return kMmsOk;
}

uint32_t Parameter::getPrmKind(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_kind;
    return kMmsOk;
}

uint32_t Parameter::getPrmType(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_type;
    return kMmsOk;
}

// ---- node queries ----

uint32_t Parameter::getNodeName(char* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    std::memcpy(out, m_name, sizeof(m_name));
    return kMmsOk;
}

uint32_t Parameter::getChildNodeName(char*, uint32_t) const { return kMmsBadArgument; }

uint32_t Parameter::getNodeArraySize(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_arraySize;
    return kMmsOk;
}

uint32_t Parameter::getNodeCategory(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = 1;
    return kMmsOk;
}

uint32_t Parameter::getNodePrmNum(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_serialAddr.unit;
    return kMmsOk;
}

uint32_t Parameter::getNodeDirtyBitNum(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = m_dirtyAddr.unit;
    return kMmsOk;
}

uint32_t Parameter::getNodeDataSize(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = getElementSize();
    return kMmsOk;
}

uint32_t Parameter::getNumOfChildNodes(uint32_t* out) const
{
    if (out == nullptr) return kMmsBadArgument;
    *out = 0;
    return kMmsOk;
}

uint32_t Parameter::getStrAddrSize(uint32_t* size, uint8_t leadingSlash) const
{
    return StringConverter::getAddressSize(size, m_name, leadingSlash);
}

// ---- layout ----

uint32_t Parameter::setAddrInfo(T_ADDR_INFO& record, uint32_t* cursor, uint32_t unit, uint32_t count)
{
    if (cursor == nullptr) return kMmsBadArgument;
    const uint64_t end = static_cast<uint64_t>(*cursor) + static_cast<uint64_t>(unit) * count;
    if (end > 0xFFFFFFFFu) return kMmsBadArgument;
    record.offset = *cursor;
    record.unit = unit;
    *cursor = static_cast<uint32_t>(end);
    return kMmsOk;
}

uint32_t Parameter::setParamMemAddr(uint32_t* valueCursor, uint32_t* bitCursor)
{
    if (valueCursor == nullptr || bitCursor == nullptr || !isKnownType(m_type)) return kMmsBadArgument;
    if (m_type == kMmsTypeBit) {
        const uint32_t bit = *bitCursor % 8;
        const uint64_t end = static_cast<uint64_t>(*valueCursor) + (bit + m_arraySize) / 8;
        if (end > 0xFFFFFFFFu) return kMmsBadArgument;
        m_valueAddr.offset = *valueCursor;
        m_valueAddr.unit = 0;
        m_bitOffset = bit;
        *valueCursor = static_cast<uint32_t>(end);
        *bitCursor = (bit + m_arraySize) % 8;
        return kMmsOk;
    }
    uint32_t cursor = *valueCursor;
    if (*bitCursor % 8 != 0) {
        // The byte the bit parameters before this one share is closed.
        if (cursor == 0xFFFFFFFFu) return kMmsBadArgument;
        ++cursor;
    }
    JLIB_RETURN_IF_FAILED(setAddrInfo(m_valueAddr, &cursor, getElementSize(), m_arraySize));
    m_bitOffset = 0;
    *valueCursor = cursor;
    *bitCursor = 0;
    return kMmsOk;
}

uint32_t Parameter::setDirtyFlagMemAddr(uint32_t* cursor) { return setAddrInfo(m_dirtyAddr, cursor, 1, m_arraySize); }

uint32_t Parameter::setParamSerNumMemAddr(uint32_t* cursor)
{
    return setAddrInfo(m_serialAddr, cursor, 1, m_arraySize);
}

uint32_t Parameter::setTagInfoMemAddr(uint32_t* cursor)
{
    return setAddrInfo(m_tagAddr, cursor, kMmsParameterTagSize, 1);
}

uint32_t Parameter::setScalarInfoMemAddr(uint32_t* cursor) { return setAddrInfo(m_scalarAddr, cursor, 1, 1); }

uint32_t Parameter::setMemAddrInfo(uint32_t* valueCursor, uint32_t* dirtyBitCursor, uint32_t* parameterIndexCursor,
                                   uint32_t* tagCursor, uint32_t* scalarCursor, uint32_t* bitCursor)
{
    uint32_t result = setParamMemAddr(valueCursor, bitCursor);
    result |= setDirtyFlagMemAddr(dirtyBitCursor);
    result |= setParamSerNumMemAddr(parameterIndexCursor);
    result |= setTagInfoMemAddr(tagCursor);
    result |= setScalarInfoMemAddr(scalarCursor);
    return result;
}

uint32_t Parameter::setImportTags(unsigned char* tagArea, uint32_t) const
{
    if (tagArea == nullptr) return kMmsMissing;
    return CollectionTagInfo::appendParameterTag(tagArea + m_tagAddr.offset, m_name, getElementSize(), m_arraySize,
                                                 m_type);
}

// ---- addressing ----

uint32_t Parameter::cnvFastToStrAddr(char* buffer, uint32_t size, const T_FAST_ADDRESS* address,
                                     uint32_t depth) const
{
    if (address == nullptr || address->depth != depth) return kMmsNoSuchItem;
    return StringConverter::appendStringAddress(buffer, size, m_name, 0);
}

uint32_t Parameter::cnvFastToScalarAddr(uint32_t* out, uint32_t base, const T_FAST_ADDRESS* address,
                                        uint32_t depth) const
{
    if (address == nullptr || address->depth != depth) return kMmsNoSuchItem;
    if (out == nullptr) return kMmsBadArgument;
    *out = base + m_scalarAddr.offset;
    return kMmsOk;
}

uint32_t Parameter::cnvScalarToFastAddr(uint32_t*, uint32_t* depthOut, uint32_t, uint32_t, uint32_t depth) const
{
    if (depthOut == nullptr) return kMmsBadArgument;
    *depthOut = depth;
    return kMmsOk;
}

uint32_t Parameter::isScalarRange(uint32_t scalar, uint32_t) const
{
    if (scalar < m_scalarAddr.offset) return 1;
    return scalar == m_scalarAddr.offset ? 0 : 2;
}

uint32_t Parameter::cnvPrmIndexToFastAddr(uint32_t*, uint32_t* indexVector, uint32_t* depthOut, uint32_t maxDepth,
                                          uint32_t parameterIndex, uint32_t depth) const
{
    if (depth > maxDepth || depthOut == nullptr) return kMmsBadArgument;
    if (isPrmIndexRange(parameterIndex, depth) != 0) return kMmsBadArgument;
    if (depth != 0) {
        if (indexVector == nullptr) return kMmsMissing;
        indexVector[depth - 1] = parameterIndex - m_serialAddr.offset;
    }
    *depthOut = depth;
    return kMmsOk;
}

uint32_t Parameter::isPrmIndexRange(uint32_t parameterIndex, uint32_t) const
{
    if (parameterIndex < m_serialAddr.offset) return 1;
    return parameterIndex - m_serialAddr.offset < m_arraySize ? 0 : 2;
}

uint32_t Parameter::isChannelSize(uint32_t element) const
{
    return element < m_arraySize ? kMmsOk : kMmsBadArgument;
}

// ---- values ----

uint32_t Parameter::elementIndex(uint32_t* element, const T_FAST_ADDRESS* address, uint32_t depth) const
{
    if (address == nullptr || depth == 0 || address->depth != depth) return kMmsNoSuchItem;
    if (address->indexes == nullptr) return kMmsMissing;
    const uint32_t e = address->indexes[depth - 1];
    if (e >= m_arraySize) return kMmsBadArgument;
    *element = e;
    return kMmsOk;
}

uint32_t Parameter::setPrmValue(unsigned char* values, const JVariant& value, uint32_t element)
{
    unsigned char* base = values + m_valueAddr.offset;
    if (m_type == kMmsTypeBit) {
        // Read as a truth value: a value that is not 0 sets the bit, and only a real change of the
        // bit counts as a change.
        const bool on = value.toUInt32() != 0;
        const uint32_t bit = m_bitOffset + element;
        if (readPackedBit(base, bit) == on) return kMmsOk;
        writePackedBit(base, bit, on);
        return kMmsChanged;
    }
    if (m_type == kMmsTypeString) {
        bool ok = false;
        const char* text = value.toString(&ok);
        if (!ok) return kMmsBadArgument;
        const uint32_t length = text == nullptr ? 0 : mmsStrnlen(text, m_max.u32 + 1);
        if (length > m_max.u32) return kMmsBadArgument;
        unsigned char* slot = base + static_cast<uint64_t>(element) * m_max.u32;
        const uint32_t stored = mmsStrnlen(reinterpret_cast<const char*>(slot), m_max.u32);
        if (stored == length && (length == 0 || std::memcmp(slot, text, length) == 0)) return kMmsOk;
        std::memset(slot, 0, m_max.u32);
        if (length != 0) std::memcpy(slot, text, length);  // a full slot keeps no terminator
        return kMmsChanged;
    }
    bool ok = false;
    uint32_t raw = 0;
    if (isSignedType(m_type)) {
        raw = static_cast<uint32_t>(value.toInt32(&ok));
    } else if (isUnsignedType(m_type)) {
        raw = value.toUInt32(&ok);
    } else if (m_type == kMmsTypeFloat) {
        const float f = value.toFloat(&ok);
        std::memcpy(&raw, &f, sizeof(raw));
    } else {
        return kMmsBadArgument;
    }
    if (!ok) return kMmsBadArgument;
    const uint32_t size = getElementSize();
    unsigned char bytes[4];
    storeLow(bytes, raw, size);
    unsigned char* slot = base + static_cast<uint64_t>(element) * size;
    if (std::memcmp(slot, bytes, size) == 0) return kMmsOk;
    std::memcpy(slot, bytes, size);
    return kMmsChanged;
}

uint32_t Parameter::getPrmValue(JVariantWrapper* out, const unsigned char* values, uint32_t element) const
{
    if (out == nullptr || values == nullptr) return kMmsBadArgument;
    const unsigned char* base = values + m_valueAddr.offset;
    const uint32_t size = getElementSize();
    if (isSignedType(m_type)) {
        *out = static_cast<int>(loadSigned(base + element * size, size));
    } else if (m_type == kMmsTypeBit) {
        *out = static_cast<unsigned int>(readPackedBit(base, m_bitOffset + element) ? 1 : 0);
    } else if (isUnsignedType(m_type)) {
        *out = static_cast<unsigned int>(loadUnsigned(base + element * size, size));
    } else if (m_type == kMmsTypeFloat) {
        float f;
        std::memcpy(&f, base + element * size, sizeof(f));
        *out = f;
    } else if (m_type == kMmsTypeString) {
        const char* slot = reinterpret_cast<const char*>(base) + static_cast<uint64_t>(element) * size;
        return out->setString(slot, size);
    } else {
        return kMmsBadArgument;
    }
    // A value stored outside the limits (an import of raw bytes, a changed definition) is not
    // handed out as it is.
    const uint32_t limit = limitChecker(out, nullptr, 0);
    if (mmsIsFailure(limit) || (limit & kMmsAdjusted) == 0) return kMmsOk;
    JVariant replacement;
    if (isAttribSet(kDefSet)) {
        setJVariant(&replacement, m_def);
        *out = replacement;
    } else if (isAttribSet(kNominalSet)) {
        setJVariant(&replacement, m_nominal);
        *out = replacement;
    }
    return kMmsOk;
}

uint32_t Parameter::limitChecker(JVariant* value, uint8_t* atLimit, uint16_t mode) const
{
    uint8_t dummy = 0;
    uint8_t& limit = atLimit != nullptr ? *atLimit : dummy;
    limit = 0;
    if (m_type == kMmsTypeString) {
        limit = 1;
        return kMmsOk;
    }
    if (!isKnownType(m_type)) return kMmsBadArgument;
    uint32_t result = kMmsOk;
    if (isSignedType(m_type) && value->getType() == JVariant::kTypeUInt32 && value->toUInt32() >= 0x80000000u) {
        if ((mode & kMmsRefuseAboveMax) != 0) return kMmsLimit;
        (void)value->setInt32(0x7FFFFFFF);  // always succeeds
        result |= kMmsAdjusted;
        limit = 1;
    } else if (isUnsignedType(m_type) && value->getType() == JVariant::kTypeInt32 && value->toInt32() < 0) {
        if ((mode & kMmsRefuseBelowMin) != 0) return kMmsLimit;
        (void)value->setUInt32(0);
        result |= kMmsAdjusted;
        limit = 1;
    }
    int cmp = 0;
    if (isAttribSet(kMaxSet)) {
        JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_max));
        if (cmp > 0) {
            if ((mode & kMmsRefuseAboveMax) != 0) return kMmsLimit;
            setJVariant(value, m_max);
            result |= kMmsAdjusted;
            limit = 1;
        } else if (cmp == 0) {
            limit = 1;
        }
    }
    if (isAttribSet(kMinSet)) {
        JLIB_RETURN_IF_FAILED(dataTypeCompare(&cmp, *value, m_min));
        if (cmp < 0) {
            if ((mode & kMmsRefuseBelowMin) != 0) return kMmsLimit;
            setJVariant(value, m_min);
            result |= kMmsAdjusted;
            limit = 1;
        } else if (cmp == 0) {
            limit = 1;
        }
    }
    return result;
}

uint32_t Parameter::limitChecker(JVariantWrapper* value, uint8_t* atLimit, uint16_t mode) const
{
    JVariant copy;
    bool ok = false;
    switch (value->getType()) {
    case JVariant::kTypeInt32: (void)copy.setInt32(value->toInt32(&ok)); break;
    case JVariant::kTypeUInt32: (void)copy.setUInt32(value->toUInt32(&ok)); break;
    case JVariant::kTypeFloat: (void)copy.setFloat(value->toFloat(&ok)); break;
    default:
        if (atLimit != nullptr) *atLimit = 1;
        return kMmsOk;  // texts have no limits to apply
    }
    if (!ok) return kMmsBadArgument;
    const uint32_t result = limitChecker(&copy, atLimit, mode);
    if (mmsIsSuccess(result) && (result & kMmsAdjusted) != 0) *value = copy;
    return result;
}

uint32_t Parameter::roundChecker(JVariant* value, uint16_t mode) const
{
    if (m_type == kMmsTypeString || !isAttribSet(kStepSet)) return kMmsOk;
    const PrmPrivate* reference = isAttribSet(kNominalSet) ? &m_nominal : (isAttribSet(kDefSet) ? &m_def : nullptr);
    if (reference == nullptr) return kMmsOk;
    bool ok = false;
    if (m_type == kMmsTypeFloat) {
        const float v = value->toFloat(&ok);
        if (!ok) return kMmsBadArgument;
        const float ref = reference->f32;
        const float step = m_step.f32;
        float r = v > ref ? mmsFmod(v - ref, step) : mmsFmod(ref - v, step);
        if (!(v > ref) && r != 0.0f) r = step - r;
        if (r == 0.0f) return kMmsOk;
        if ((mode & kMmsRefuseOffStep) != 0) return kMmsLimit;
        float rounded = v - r;
        if (isAttribSet(kMinSet) && rounded < m_min.f32) rounded = v + (step - r);  // stays within the limits
        if ((isAttribSet(kMinSet) && rounded < m_min.f32) || (isAttribSet(kMaxSet) && rounded > m_max.f32)) {
            return kMmsLimit;
        }
        (void)value->setFloat(rounded);
        return kMmsAdjusted;
    }
    // Integers: differences and the step are taken as unsigned 32-bit numbers.
    const uint32_t step = m_step.u32;
    uint32_t v = 0;
    bool above = false;
    if (isSignedType(m_type)) {
        const int32_t s = value->toInt32(&ok);
        v = static_cast<uint32_t>(s);
        above = s > reference->i32;
    } else {
        v = value->toUInt32(&ok);
        above = v > reference->u32;
    }
    if (!ok) return kMmsBadArgument;
    const uint32_t ref = reference->u32;
    uint32_t r = above ? (v - ref) % step : (ref - v) % step;
    if (!above && r != 0) r = step - r;
    if (r == 0) return kMmsOk;
    if ((mode & kMmsRefuseOffStep) != 0) return kMmsLimit;
    // Rounding goes down; where the point below would wrap past the bottom of the 32-bit range or
    // fall under the minimum, the grid point above is taken, and a value with neither inside the
    // limits is refused.
    const auto fits = [&](int64_t candidate) {
        if (isSignedType(m_type)) {
            if (candidate < INT32_MIN || candidate > INT32_MAX) return false;
            if (isAttribSet(kMinSet) && candidate < m_min.i32) return false;
            if (isAttribSet(kMaxSet) && candidate > m_max.i32) return false;
            return true;
        }
        if (candidate < 0 || candidate > static_cast<int64_t>(UINT32_MAX)) return false;
        if (isAttribSet(kMinSet) && candidate < static_cast<int64_t>(m_min.u32)) return false;
        if (isAttribSet(kMaxSet) && candidate > static_cast<int64_t>(m_max.u32)) return false;
        return true;
    };
    const int64_t current = isSignedType(m_type) ? static_cast<int64_t>(static_cast<int32_t>(v)) : v;
    int64_t rounded = current - r;
    if (!fits(rounded)) rounded = current + (static_cast<int64_t>(step) - r);
    if (!fits(rounded)) return kMmsLimit;
    if (isSignedType(m_type)) {
        (void)value->setInt32(static_cast<int32_t>(rounded));
    } else {
        (void)value->setUInt32(static_cast<uint32_t>(rounded));
    }
    return kMmsAdjusted;
}

uint32_t Parameter::setValueRangeCheck(JVariant* out, const JVariant& value, uint16_t mode) const
{
    *out = value;
    uint8_t atLimit = 0;
    uint32_t result = limitChecker(out, &atLimit, mode);
    if (mmsIsFailure(result) || atLimit != 0) return result;
    const uint32_t rounded = roundChecker(out, mode);
    if (mmsIsFailure(rounded)) return rounded;
    return result | rounded;
}

uint32_t Parameter::markChanged(uint32_t element, uint8_t factor, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                unsigned char* factors) const
{
    const uint32_t bit = dirtyBase + m_dirtyAddr.offset + element;
    if (holder != nullptr) (void)holder->set(bit);  // a task list without subscribers marks nothing
    if (factors != nullptr) factors[bit] = factor;
    return kMmsChanged;
}

uint32_t Parameter::setPrm(JVariant* oldValueOut, const JVariant& value, const T_FAST_ADDRESS* address,
                           uint32_t depth, uint8_t factor, uint16_t mode, const ISetChecker* checker,
                           unsigned char* values, IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors,
                           SetOrderNotifyWrapper* notify, uint32_t parameterIndexBase)
{
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, depth));
    if (values == nullptr) return kMmsMissing;
    JVariant checked;
    const uint32_t range = setValueRangeCheck(&checked, value, mode);
    if (mmsIsFailure(range)) return range;
    if (oldValueOut != nullptr) {
        JVariantWrapper old(oldValueOut);
        (void)getPrmValue(&old, values, element);  // values and the type were checked above
    }
    const uint32_t bit = dirtyBase + m_dirtyAddr.offset + element;
    if (checker != nullptr && checker->isBlocked(factors != nullptr ? factors[bit] : 0, factor)) return range;
    const uint32_t written = setPrmValue(values, checked, element);
    if (mmsIsFailure(written)) return written;
    if ((written & kMmsChanged) != 0) {
        (void)markChanged(element, factor, holder, dirtyBase, factors);
        if (notify != nullptr) (void)notify->set(parameterIndexBase + m_serialAddr.offset + element);
    }
    return range | written;
}

uint32_t Parameter::setPrmArray(uint32_t* count, JVariantArray* oldValuesOut, const JVariantArray& newValues,
                                const T_FAST_ADDRESS* from, const uint32_t* to, uint32_t depth,
                                const unsigned char* factorsIn, uint8_t oneValue, uint8_t oneFactor, uint16_t mode,
                                const ISetChecker* checker, unsigned char* values, IDirtyFlagHolder* holder,
                                uint32_t dirtyBase, unsigned char* factors, SetOrderNotifyWrapper* notify,
                                uint32_t parameterIndexBase)
{
    if (from == nullptr || to == nullptr || from->indexes == nullptr || depth == 0 || from->depth != depth) {
        return kMmsNoSuchItem;
    }
    if (count == nullptr) return kMmsBadArgument;
    uint32_t result = kMmsOk;
    const uint32_t last = to[depth - 1];
    for (uint32_t e = from->indexes[depth - 1]; e <= last && e < m_arraySize; ++e) {
        JVariant input;
        if (!JLIB::isSuccess(newValues.getValue(&input, oneValue != 0 ? 0 : *count))) continue;
        const uint8_t factor = factorsIn != nullptr ? factorsIn[oneFactor != 0 ? 0 : *count] : 0;
        const uint32_t position = (*count)++;
        const T_FAST_ADDRESS one{nullptr, &e, 1};
        JVariant old;
        const uint32_t r = setPrm(&old, input, &one, 1, factor, mode, checker, values, holder, dirtyBase, factors,
                                  notify, parameterIndexBase);
        if (mmsIsFailure(r)) continue;
        if (oldValuesOut != nullptr) (void)oldValuesOut->setValue(position, old);  // a short output keeps less
        result |= r;
    }
    return result;
}

uint32_t Parameter::checkPrm(JVariant* value, const T_FAST_ADDRESS* address, uint32_t depth, uint16_t mode) const
{
    if (address == nullptr || address->depth != depth) return kMmsNoSuchItem;
    if (value == nullptr) return kMmsBadArgument;
    JVariant checked;
    const uint32_t result = setValueRangeCheck(&checked, *value, mode);
    if (mmsIsSuccess(result)) *value = checked;
    return result;
}

uint32_t Parameter::getPrm(JVariant* out, uint8_t* factorOut, const T_FAST_ADDRESS* address, uint32_t depth,
                           uint8_t clearFlag, const unsigned char* values, unsigned char* dirtyBits,
                           uint32_t dirtyBase, const unsigned char* factors) const
{
    JVariantWrapper wrapper(out);
    return getPrm(out != nullptr ? &wrapper : nullptr, factorOut, address, depth, clearFlag, values, dirtyBits,
                  dirtyBase, factors);
}

uint32_t Parameter::getPrm(JVariantWrapper* out, uint8_t* factorOut, const T_FAST_ADDRESS* address, uint32_t depth,
                           uint8_t clearFlag, const unsigned char* values, unsigned char* dirtyBits,
                           uint32_t dirtyBase, const unsigned char* factors) const
{
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, depth));
    if (out == nullptr) return kMmsBadArgument;
    if (values == nullptr) return kMmsMissing;
    JLIB_RETURN_IF_FAILED(getPrmValue(out, values, element));
    const uint32_t bit = dirtyBase + m_dirtyAddr.offset + element;
    if (factorOut != nullptr && factors != nullptr) *factorOut = factors[bit];
    if (clearFlag != 0) return CommonFunction::dirtyFlagController(dirtyBits, bit, 0);
    return kMmsOk;
}

uint32_t Parameter::getPrmArray(uint32_t* count, JVariantArray* out, unsigned char* factorsOut,
                                unsigned char* dirtyBitsOut, const T_FAST_ADDRESS* from, const uint32_t* to,
                                uint32_t depth, uint8_t clearFlag, const unsigned char* values,
                                unsigned char* dirtyBits, uint32_t dirtyBase, const unsigned char* factors) const
{
    if (from == nullptr || to == nullptr || from->indexes == nullptr || depth == 0 || from->depth != depth) {
        return kMmsNoSuchItem;
    }
    if (count == nullptr) return kMmsBadArgument;
    if (values == nullptr) return kMmsMissing;
    const uint32_t first = from->indexes[depth - 1];
    const uint32_t last = to[depth - 1];
    if (first > last || last >= m_arraySize) return kMmsBadArgument;
    const uint32_t n = last - first + 1;
    const uint32_t firstBit = dirtyBase + m_dirtyAddr.offset + first;
    uint32_t result = kMmsOk;
    if (dirtyBitsOut != nullptr) {
        JLIB_RETURN_IF_FAILED(CommonFunction::dirtyFlagRangeCopy(dirtyBitsOut, *count, dirtyBits, firstBit, n));
    }
    if (clearFlag != 0) result |= CommonFunction::dirtyFlagRengeController(dirtyBits, firstBit, n, 0);
    for (uint32_t e = first; e <= last; ++e) {
        const uint32_t position = *count;
        JVariantWrapper wrapper(out, position);
        const T_FAST_ADDRESS one{nullptr, &e, 1};
        uint8_t factor = 0;
        const uint32_t r = getPrm(&wrapper, &factor, &one, 1, 0, values, dirtyBits, dirtyBase, factors);
        if (mmsIsFailure(r)) return r;
        if (factorsOut != nullptr) factorsOut[position] = factor;
        ++*count;
        result |= r;
    }
    return result;
}

uint32_t Parameter::isChanged(uint8_t* out, const T_FAST_ADDRESS* address, uint32_t depth, uint8_t clearFlag,
                              unsigned char* dirtyBits, uint32_t dirtyBase) const
{
    uint32_t element = 0;
    JLIB_RETURN_IF_FAILED(elementIndex(&element, address, depth));
    if (out == nullptr) return kMmsBadArgument;
    const uint32_t bit = dirtyBase + m_dirtyAddr.offset + element;
    *out = CommonFunction::isDirty(dirtyBits, bit) ? 1 : 0;
    if (*out != 0 && clearFlag != 0) return CommonFunction::dirtyFlagController(dirtyBits, bit, 0);
    return kMmsOk;
}

uint32_t Parameter::getChangedPrm(const void* dirtyBits, uint32_t dirtyBase, uint32_t fromElement,
                                  uint32_t toElement) const
{
    const uint32_t end = toElement < m_arraySize ? toElement : m_arraySize;
    for (uint32_t e = fromElement; e < end; ++e) {
        if (CommonFunction::isDirty(dirtyBits, dirtyBase + m_dirtyAddr.offset + e)) return 1;
    }
    return 0;
}

uint32_t Parameter::getChangedPrmAddr(JVariant* valueOut, uint8_t* factorOut, uint32_t*, uint32_t* indexVectorOut,
                                      uint32_t* depthOut, uint32_t maxDepth, const T_FAST_ADDRESS* after,
                                      uint32_t depth, uint8_t clearFlag, const unsigned char* values,
                                      unsigned char* dirtyBits, uint32_t dirtyBase,
                                      const unsigned char* factors) const
{
    if (depthOut == nullptr || indexVectorOut == nullptr) return kMmsBadArgument;
    if (depth == 0) return kMmsMissing;  // a parameter lies below its top collection
    uint32_t start = 0;
    if (after != nullptr && after->indexes != nullptr && after->depth >= depth) {
        const uint32_t previous = after->indexes[depth - 1];
        if (previous >= m_arraySize) return kMmsOk;
        start = previous + 1;
    }
    for (uint32_t e = start; e < m_arraySize; ++e) {
        const uint32_t bit = dirtyBase + m_dirtyAddr.offset + e;
        if (!CommonFunction::isDirty(dirtyBits, bit)) continue;
        if (maxDepth < depth) return kMmsBadArgument;
        uint32_t result = kMmsFound;
        *depthOut = depth;
        indexVectorOut[depth - 1] = e;
        if (clearFlag != 0) result |= CommonFunction::dirtyFlagController(dirtyBits, bit, 0);
        if (valueOut != nullptr) {
            if (values != nullptr) {
                JVariantWrapper wrapper(valueOut);
                (void)getPrmValue(&wrapper, values, e);  // cannot fail for a built parameter
            } else {
                (void)valueOut->invalid();
            }
        }
        if (factorOut != nullptr && factors != nullptr) *factorOut = factors[bit];
        return result;
    }
    return kMmsOk;
}

uint32_t Parameter::setDefaultPrms(unsigned char* values, const char* stringMemory, uint32_t, uint8_t factor,
                                   IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors)
{
    if (!isAttribSet(kDefSet)) return kMmsNoDefault;
    if (values == nullptr) return kMmsMissing;
    JVariant def;
    JLIB_RETURN_IF_FAILED(getPrmDef(&def, stringMemory));
    uint32_t result = kMmsOk;
    for (uint32_t e = 0; e < m_arraySize; ++e) {
        const uint32_t written = setPrmValue(values, def, e);
        if (mmsIsFailure(written)) return written;
        if ((written & kMmsChanged) != 0 && holder != nullptr && factors != nullptr) {
            (void)markChanged(e, factor, holder, dirtyBase, factors);
        }
        result |= written;
    }
    return result;
}

// ---- import ----

uint32_t Parameter::setDiffPrmDirty(uint32_t* rest, uint32_t byteOffset, uint8_t factor, IDirtyFlagHolder* holder,
                                    uint32_t dirtyBase, unsigned char* factors) const
{
    const uint32_t size = getElementSize();
    const uint32_t element = byteOffset / size;
    *rest = size - byteOffset % size;
    return markChanged(element, factor, holder, dirtyBase, factors);
}

uint32_t Parameter::searchedChangePrm(uint8_t factor, const unsigned char* source, unsigned char* destination,
                                      const unsigned char* filter, uint32_t size, IDirtyFlagHolder* holder,
                                      uint32_t dirtyBase, unsigned char* factors)
{
    const uint32_t elementSize = getElementSize();
    uint32_t result = kMmsOk;
    uint32_t at = 0;
    while (at < size) {
        if (source[at] == destination[at]) {
            ++at;
            continue;
        }
        // A filter flag covers its whole element, whichever of the element's bytes holds it.
        const uint32_t elementStart = at - at % elementSize;
        if (filter != nullptr && anyNonZero(filter + elementStart, elementSize)) {
            at = elementStart + elementSize;
            continue;
        }
        uint32_t rest = 0;
        result |= setDiffPrmDirty(&rest, at, factor, holder, dirtyBase, factors);
        std::memcpy(destination + at, source + at, rest);
        at += rest;
    }
    return result;
}

uint32_t Parameter::sizeDiffCopyData(uint8_t factor, uint32_t sourceElementSize, uint32_t sourceArraySize,
                                     const unsigned char* source, uint32_t sourceSize, unsigned char* values,
                                     const unsigned char* filter, E_FILTER_STRUCTURE filterStructure,
                                     IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors,
                                     uint32_t sourceBitOffset)
{
    if (sourceSize == 0 && sourceElementSize != 0) return kMmsOk;
    const uint32_t ownSize = getElementSize();
    const uint32_t n = sourceArraySize < m_arraySize ? sourceArraySize : m_arraySize;
    const unsigned char* ownFilter = filter != nullptr ? filter + m_valueAddr.offset : nullptr;
    uint32_t result = kMmsOk;
    for (uint32_t i = 0; i < n; ++i) {
        const uint64_t sourceStart = static_cast<uint64_t>(i) * sourceElementSize;
        const uint64_t sourceBit = static_cast<uint64_t>(sourceBitOffset) + i;
        // Every read of the image stays inside it.
        const bool inside = sourceElementSize == 0 ? sourceBit / 8 < sourceSize
                                                   : sourceStart + sourceElementSize <= sourceSize;
        if (!inside) break;
        if (filter != nullptr) {
            bool filtered = false;
            if (filterStructure == E_FILTER_STRUCTURE_VALUES) {
                filtered = ownSize == 0 ? readPackedBit(ownFilter, m_bitOffset + i)
                                        : anyNonZero(ownFilter + static_cast<uint64_t>(i) * ownSize, ownSize);
            } else {
                filtered = sourceElementSize == 0 ? readPackedBit(filter, static_cast<uint32_t>(sourceBit))
                                                  : anyNonZero(filter + sourceStart, sourceElementSize);
            }
            if (filtered) continue;
        }
        JVariant value;
        const unsigned char* from = source + sourceStart;
        if (m_type == kMmsTypeString) {
            const uint32_t smaller = sourceElementSize < ownSize ? sourceElementSize : ownSize;
            const uint32_t length = smaller == 0 ? 0 : smaller - 1;  // an empty slot gives an empty text
            if (!JLIB::isSuccess(value.setString(reinterpret_cast<const char*>(from), length))) continue;
        } else if (m_type == kMmsTypeFloat) {
            continue;  // no conversion between float sizes
        } else if (isSignedType(m_type)) {
            if (sourceElementSize != 1 && sourceElementSize != 2 && sourceElementSize != 4) continue;
            (void)value.setInt32(loadSigned(from, sourceElementSize));
        } else if (sourceElementSize == 0) {
            (void)value.setUInt32(readPackedBit(source, static_cast<uint32_t>(sourceBit)) ? 1u : 0u);
        } else {
            if (sourceElementSize != 1 && sourceElementSize != 2 && sourceElementSize != 4) continue;
            (void)value.setUInt32(loadUnsigned(from, sourceElementSize));
        }
        if (mmsIsFailure(limitChecker(&value, nullptr, 0))) continue;
        const uint32_t written = setPrmValue(values, value, i);
        if (mmsIsFailure(written)) continue;
        if ((written & kMmsChanged) != 0) result |= markChanged(i, factor, holder, dirtyBase, factors);
    }
    return result;
}

uint32_t Parameter::importDataEx(uint8_t factor, const unsigned char* tag, uint32_t tagLength,
                                 const unsigned char* source, uint32_t sourceSize, unsigned char* values,
                                 const unsigned char* filter, E_FILTER_STRUCTURE filterStructure,
                                 IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factors,
                                 const unsigned char*, uint32_t sourceBitOffset)
{
    if (tag == nullptr || tagLength == 0 || source == nullptr || values == nullptr || holder == nullptr ||
        factors == nullptr) {
        return kMmsOk;
    }
    T_PARAMETER_TAG image{};
    if (mmsIsFailure(CollectionTagInfo::readPrmTagInfo(&image, tag, tagLength, false))) return kMmsBadArgument;
    if (sourceSize == 0 && image.elementSize != 0) return kMmsOk;
    if (!CollectionTagInfo::isSameImportDataType(image, m_type)) return kMmsOk;
    const uint32_t ownSize = getElementSize();
    const uint32_t n = image.arraySize < m_arraySize ? image.arraySize : m_arraySize;
    if (image.elementSize != ownSize) {
        return sizeDiffCopyData(factor, image.elementSize, image.arraySize, source, sourceSize, values, filter,
                                filterStructure, holder, dirtyBase, factors, sourceBitOffset);
    }
    const unsigned char* ownFilter = filter != nullptr ? filter + m_valueAddr.offset : nullptr;
    if (m_type != kMmsTypeBit) {
        if (ownSize == 0) return kMmsOk;  // a string slot of size 0 holds nothing
        const uint32_t whole = sourceSize / ownSize;
        const uint32_t elements = n < whole ? n : whole;
        const unsigned char* elementFilter =
            filter == nullptr ? nullptr : (filterStructure == E_FILTER_STRUCTURE_VALUES ? ownFilter : filter);
        return searchedChangePrm(factor, source, values + m_valueAddr.offset, elementFilter, elements * ownSize,
                                 holder, dirtyBase, factors);
    }
    uint32_t result = kMmsOk;
    unsigned char* base = values + m_valueAddr.offset;
    for (uint32_t i = 0; i < n; ++i) {
        const uint64_t sourceBit = static_cast<uint64_t>(sourceBitOffset) + i;
        if (sourceBit / 8 >= sourceSize) break;
        const bool on = readPackedBit(source, static_cast<uint32_t>(sourceBit));
        if (readPackedBit(base, m_bitOffset + i) == on) continue;
        if (filter != nullptr) {
            const bool filtered = filterStructure == E_FILTER_STRUCTURE_VALUES
                                      ? readPackedBit(ownFilter, m_bitOffset + i)
                                      : readPackedBit(filter, static_cast<uint32_t>(sourceBit));
            if (filtered) continue;
        }
        writePackedBit(base, m_bitOffset + i, on);
        result |= markChanged(i, factor, holder, dirtyBase, factors);
    }
    return result;
}

}  // namespace MMS
