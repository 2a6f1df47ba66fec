#include "common/Lpc/LpcOscParameter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "OscServer/OscCore/IOscParameterCallback.h"
#include "common/Lpc/LpcExpression.h"
#include "common/Lpc/LpcOscParameterItem.h"
#include "common/Lpc/LpcSceneList.h"
#include "common/Lpc/LpcSendMessage.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "common/Lpc/internal/LpcOscText.h"
#include "common/Lpc/internal/LpcSaturate.h"
#include "jlib/jlib_printf.h"

namespace LPC {

namespace {

using JOSC::JVariantList;

constexpr uint32_t kTextBufferSize = 33;

// The object settings of the logical-position group, in the order its clients expect them.
const std::vector<std::string>& logicalPositionControlAddresses()
{
    static const std::vector<std::string> addresses = {
        "uz:OBA/Object/AuxSend/On", "uz:OBA/Object/AuxSend/Level", "uz:OBA/Object/RevSend/On",
        "uz:OBA/Object/RevSend/Level", "uz:OBA/Label/Name", "uz:OBA/Label/Color",
        "uz:OBA/Label/Icon", "uz:OBA/Object/Pair", "uz:OBA/Solo/On",
        "uz:OBA/MasterFader/Level", "uz:OBA/Object/LogicalPosition", "uz:OBA/Object/SizeH",
        "uz:OBA/Object/SizeV",
    };
    return addresses;
}

LpcUzProtoMemory& memory() { return LpcUzProtoMemory::getInstance(); }

MemoryAttribute attributeOf(const OscParameterItem& row) { return memory().getMemoryAttribute(row.memoryIndex, 0); }

// The range as the ratio arithmetic takes it: 32 bits without sign.
uint32_t unsignedRange(const MemoryAttribute& a)
{
    return static_cast<uint32_t>(static_cast<int64_t>(a.max) - static_cast<int64_t>(a.min));
}

// A ratio travels as Int32 but counts up to a resolution of 32 bits: 0 to 2^32 - 1 keep their
// 32 bits (which setRatio reads back as unsigned), values from outside the parameter's range
// saturate instead of wrapping.
int32_t ratioToInt32(double ratio)
{
    if (std::isnan(ratio)) return 0;
    if (ratio >= 4294967295.0) return static_cast<int32_t>(UINT32_MAX);
    if (ratio < 0.0) return internal::truncateToInt32(ratio);
    return static_cast<int32_t>(static_cast<uint32_t>(ratio));
}

// The write every setting operation ends in: the protocol memory's write with the row's memory
// index and address, then the server's change function unless the write failed.
JLIB::JResult writeValues(JOSC::IOscParameterCallback* callback, const OscParameterItem& row, uint8_t origin,
                          uint32_t index, uint32_t x, uint32_t y, const JVariantList& values)
{
    const JLIB::JResult written = memory().setValues(origin, row.memoryIndex, row.address, x, y, values);
    if (JLIB::isFailure(written)) return yerrToOsc(written);
    if (callback) (void)callback->onParameterChanged(origin, index, x, y);  // its answer changes nothing
    return yerrToOsc(written);
}

}  // namespace

void internal::formatOscText(char* buffer, uint32_t size, const IExpression* expression, int32_t valueType,
                             const JVariant& value)
{
    if (expression) {
        (void)expression->toText(buffer, size, value);  // a value it cannot show stays as it is
        return;
    }
    switch (valueType) {
    case kLPCValueTypeInteger:
        (void)jlib_snprintf(buffer, size, nullptr, "%d", value.toInt32());  // cut at the buffer
        break;
    case kLPCValueTypeFloat:
        (void)std::snprintf(buffer, size, "%.2f", static_cast<double>(value.toFloat()));
        break;
    default: {
        // A value that is no text shows as "", never as a null pointer handed to the formatter.
        const char* text = value.toString();
        (void)jlib_snprintf(buffer, size, nullptr, "%s", text ? text : "");
        break;
    }
    }
}

JLIB::JResult yerrToOsc(JLIB::JResult code)
{
    if (code == 0 || code == 1) return code;
    if (code >= 0x80000001u && code <= 0x80000005u) return code;
    if (code == LpcUzProtoMemory::kProtected) return JOSC::kReadOnly;
    return JOSC::kInternalError;
}

LpcOscParameter::LpcOscParameter() = default;

LpcOscParameter::~LpcOscParameter() = default;

JLIB::JResult LpcOscParameter::initialize(JOSC::IOscParameterCallback* callback)
{
    return JOSC::OscParameter::initialize(callback);
}

JLIB::JResult LpcOscParameter::getIndexFromAddress(uint32_t& index, const std::string& address)
{
    for (uint32_t row = 0; row < MEMORY_INDEX_NUM; ++row) {
        if (sParameterItemTable[row].address == address) {
            index = row;
            return JLIB::kOk;
        }
    }
    index = 0;
    return JOSC::kUnknownAddress;
}

JLIB::JResult LpcOscParameter::getIndexListFromAddress(JOSC::OscIndexList& indices, const std::string& address)
{
    if (address != kLogicalPositionControl) return JOSC::kUnknownAddress;
    for (const std::string& member : logicalPositionControlAddresses()) {
        uint32_t index = 0;
        if (JLIB::isSuccess(getIndexFromAddress(index, member))) indices.push_back(index);
    }
    return JLIB::kOk;
}

JLIB::JResult LpcOscParameter::getAddress(std::string& address, uint32_t index)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    address = row->address;
    return JLIB::kOk;
}

uint32_t LpcOscParameter::getAddressNum() { return MEMORY_INDEX_NUM; }

JLIB::JResult LpcOscParameter::setValue(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                        const JVariantList& values)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    return writeValues(m_pCallback, *row, origin, index, x, y, values);
}

JLIB::JResult LpcOscParameter::setRatio(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                        const JVariantList& ratios, uint32_t resolution)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    const MemoryAttribute a = attributeOf(*row);
    const double range = unsignedRange(a);
    JVariantList values;
    values.reserve(ratios.size());
    for (const JVariant& ratio : ratios) {
        const uint32_t r = ratio.toUInt32();
        if (resolution < 2) {
            values.emplace_back(0);
        } else if (r < resolution - 1) {
            const double v = static_cast<double>(r) * range / static_cast<double>(resolution - 1) + a.min;
            values.emplace_back(internal::truncateToInt32(v < 0.0 ? v - 0.5 : v + 0.5));
        } else {
            values.emplace_back(a.max);
        }
    }
    return writeValues(m_pCallback, *row, origin, index, x, y, values);
}

JLIB::JResult LpcOscParameter::incDec(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                      const JVariantList& steps, uint32_t, uint32_t)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    const MemoryAttribute a = attributeOf(*row);
    if (a.valueType == kLPCValueTypeString) return JOSC::kUnsupportedCommand;
    JVariantList values;
    const JLIB::JResult read = memory().getValues(values, origin, row->memoryIndex, row->address, x, y);
    if (JLIB::isFailure(read)) return yerrToOsc(read);
    if (steps.size() != values.size()) return JOSC::kInvalidArgument;
    const double range = static_cast<double>(static_cast<int64_t>(a.max) - static_cast<int64_t>(a.min));
    for (size_t i = 0; i < values.size(); ++i) {
        const double moved =
            static_cast<double>(values[i].toInt32()) + static_cast<double>(steps[i].toInt32()) * range * 0.01;
        // A large step saturates here; the database limits the value to the parameter's range.
        values[i] = JVariant(internal::truncateToInt32(moved));
    }
    return writeValues(m_pCallback, *row, origin, index, x, y, values);
}

JLIB::JResult LpcOscParameter::setText(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                       const JVariantList& texts)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    if (!row->expression) return setValue(origin, index, x, y, texts);
    JVariantList values;
    values.reserve(texts.size());
    for (const JVariant& text : texts) {
        JVariant value;
        // A refused text stays invalid, which the protocol memory reports as not stored.
        (void)row->expression->fromText(&value, text.toString());
        values.push_back(value);
    }
    return setValue(origin, index, x, y, values);
}

JLIB::JResult LpcOscParameter::setAttrib(std::vector<JOSC::OscAddressAttrib>&, uint32_t)
{
    return JOSC::kUnsupportedCommand;
}

JLIB::JResult LpcOscParameter::getValue(JVariantList& values, uint8_t origin, uint32_t index, uint32_t x, uint32_t y)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    return yerrToOsc(memory().getValues(values, origin, row->memoryIndex, row->address, x, y));
}

JLIB::JResult LpcOscParameter::getRatio(JVariantList& ratios, uint32_t resolution, uint8_t origin, uint32_t index,
                                        uint32_t x, uint32_t y)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    const MemoryAttribute a = attributeOf(*row);
    if (a.valueType == kLPCValueTypeString) return JOSC::kUnsupportedCommand;
    JVariantList values;
    const JLIB::JResult read = memory().getValues(values, origin, row->memoryIndex, row->address, x, y);
    if (JLIB::isFailure(read)) return yerrToOsc(read);
    const uint32_t range = unsignedRange(a);
    for (const JVariant& value : values) {
        if (range == 0 || resolution == 0) {
            ratios.emplace_back(0);
            continue;
        }
        // v - min in 64 bits: a full 32-bit range would overflow there.
        const int64_t offset = static_cast<int64_t>(value.toInt32()) - static_cast<int64_t>(a.min);
        const double ratio =
            static_cast<double>(offset) * static_cast<double>(resolution - 1) / static_cast<double>(range) + 0.5;
        ratios.emplace_back(ratioToInt32(ratio));
    }
    return yerrToOsc(read);
}

JLIB::JResult LpcOscParameter::getText(JVariantList& texts, uint8_t origin, uint32_t index, uint32_t x, uint32_t y)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    JVariantList values;
    const JLIB::JResult read = memory().getValues(values, origin, row->memoryIndex, row->address, x, y);
    if (JLIB::isFailure(read)) return yerrToOsc(read);
    const MemoryAttribute a = attributeOf(*row);
    for (const JVariant& value : values) {
        char buffer[kTextBufferSize] = {};
        internal::formatOscText(buffer, kTextBufferSize, row->expression, a.valueType, value);
        texts.emplace_back(buffer, kTextBufferSize);
    }
    return yerrToOsc(read);
}

JLIB::JResult LpcOscParameter::getAttrib(std::vector<JOSC::OscAddressAttrib>& attribs, uint32_t index)
{
    const OscParameterItem* row = getParameterItem(index);
    if (!row) return JOSC::kUnknownAddress;
    const MemoryAttribute a = attributeOf(*row);
    JOSC::OscAddressAttrib record;
    record.address = row->address;
    record.xSize = a.sizeX;
    record.ySize = a.sizeY;
    record.minimum = a.min;
    record.maximum = a.max;
    record.infoValue = JVariant(0);
    record.infoText = "";
    record.type = a.valueType == kLPCValueTypeString  ? JOSC::OscAddressAttrib::kTypeString
                  : a.valueType == kLPCValueTypeFloat ? JOSC::OscAddressAttrib::kTypeFloat
                                                      : JOSC::OscAddressAttrib::kTypeInteger;
    record.uiType = JOSC::OscAddressAttrib::kUiTypeAny;
    // Whether "JOSCWritable" lets clients write protected items is not what the record tells.
    record.access = a.isProtected ? JOSC::OscAddressAttrib::kAccessRead : JOSC::OscAddressAttrib::kAccessReadWrite;
    record.scaling = a.scaling;
    for (uint32_t arg = 0; arg < a.argNum; ++arg) attribs.push_back(record);
    return JLIB::kOk;
}

uint32_t LpcOscParameter::getSnapshotNum(const std::string& category)
{
    return acceptableCategory(category.c_str()) ? getValidSceneNum() : 0;
}

JLIB::JResult LpcOscParameter::getSnapshotAttrib(JOSC::OscSnapshotAttrib& attrib, const std::string& category,
                                                 uint32_t number)
{
    if (!acceptableCategory(category.c_str())) return JOSC::kInvalidArgument;
    std::string name;
    if (JLIB::isFailure(getSnapshotNo(number, name))) {
        attrib.clear();
        attrib.attrib = JOSC::OscSnapshotAttrib::kAttribEmpty;
        return JLIB::kOk;
    }
    return getSnapshotAttrib(attrib, category, name);
}

JLIB::JResult LpcOscParameter::getSnapshotAttrib(JOSC::OscSnapshotAttrib& attrib, const std::string& category,
                                                 const std::string& name)
{
    if (!acceptableCategory(category.c_str())) return JOSC::kInvalidArgument;
    std::string title;
    std::string comment;
    const JLIB::JResult found = LPC::getSnapshotInfo(name.c_str(), title, comment);
    attrib.clear();
    if (JLIB::isFailure(found)) {
        attrib.attrib = JOSC::OscSnapshotAttrib::kAttribEmpty;
        return JLIB::kOk;
    }
    attrib.name = name;
    attrib.title = title;
    attrib.comment = comment;
    attrib.attrib = JOSC::OscSnapshotAttrib::kAttribUser;
    return JLIB::kOk;
}

JLIB::JResult LpcOscParameter::getCurrentSnapshot(std::string& name, bool& modified, const std::string& category)
{
    if (!acceptableCategory(category.c_str())) return JOSC::kInvalidArgument;
    std::string number;
    bool edited = false;
    if (JLIB::isFailure(LPC::getCurrentSnapshot(number, edited))) {
        name.clear();
        modified = false;
        return JLIB::kOk;
    }
    name = number;
    modified = edited;
    return JLIB::kOk;
}

JLIB::JResult LpcOscParameter::recallSnapshot(uint8_t origin, const std::string& category, const std::string& name)
{
    if (!acceptableCategory(category.c_str())) return JOSC::kInvalidArgument;
    return JLIB::isFailure(sendMessageRecall(name.c_str(), origin)) ? JOSC::kInternalError : JLIB::kOk;
}

JLIB::JResult LpcOscParameter::updateSnapshot(uint8_t origin, const std::string& category, const std::string& name)
{
    if (!acceptableCategory(category.c_str())) return JOSC::kInvalidArgument;
    return JLIB::isFailure(sendMessageStore(name.c_str(), "", "", origin)) ? JOSC::kInternalError : JLIB::kOk;
}

JLIB::JResult LpcOscParameter::parameterChanged(const std::string& pdbAddress, uint32_t x, uint32_t y, uint8_t origin)
{
    uint32_t index = 0;
    const JLIB::JResult found = getIndexFromAddress(index, pdbToOsc(pdbAddress));
    if (JLIB::isFailure(found)) return found;
    if (!sParameterItemTable[index].isExposed && !LpcThreadCommon::getInstance().emitAllJOSCNotify()) {
        return JLIB::kOk;
    }
    if (m_pCallback) (void)m_pCallback->onFoundDirty(origin, index, x, y);  // the server's business
    return JLIB::kOk;
}

}  // namespace LPC
