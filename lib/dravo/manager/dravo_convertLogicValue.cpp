#include "dravo_convertLogicValue.h"

#include "LogicCtrl/logic_LogicData.h"
#include "LogicCtrl/logic_LogicPortInfo.h"
#include "dravo/common/dravo_LogicPortInfo_V1.h"
#include "dravo/common/dravo_VariantType.h"
#include "jlib/JVariant.h"

namespace DRAVO {

JLIB::JResult convertValue(uint32_t& type, VariantType& value, float& normalized, uint32_t& dirty,
                           const LogicCtrl::LogicData& data)
{
    JLIB::JResult result = JLIB::kOk;
    switch (data.type()) {
    case LogicCtrl::kLogicDataNormalized:
    case LogicCtrl::kLogicDataFloat:
        (void)value.setFloat(data.getValue().toFloat());  // always 0
        break;
    case LogicCtrl::kLogicDataUInt:
    case LogicCtrl::kLogicDataUInt2:
    case LogicCtrl::kLogicDataUInt3:
        (void)value.setUInt32(data.getValue().toUInt32());
        break;
    case LogicCtrl::kLogicDataEvent:
        // An event port carries no value of its own: the library sees how many events wait.
        (void)value.setUInt32(data.getEventCount());
        break;
    case LogicCtrl::kLogicDataSInt:
        (void)value.setInt32(data.getValue().toInt32());
        break;
    case LogicCtrl::kLogicDataString: {
        const char* text = data.getValue().toString();
        if (JLIB::isFailure(value.setString(text ? text : ""))) result = JLIB::kFailed;
        break;
    }
    default:
        type = 0;
        (void)value.invalid();
        normalized = 0.0f;
        dirty = 0;
        return JLIB::kFailed;
    }
    type = data.type();
    normalized = data.getNormValue();
    dirty = data.isDirty() ? 1 : 0;
    return result;
}

void convertNumericValue(JVariant& out, const VariantType& in)
{
    switch (in.type()) {
    case VariantType::kTypeUInt32:
        (void)out.setUInt32(in.toUInt32());  // always 0x10000
        return;
    case VariantType::kTypeInt32:
        (void)out.setInt32(in.toInt32());
        return;
    case VariantType::kTypeFloat:
        (void)out.setFloat(in.toFloat());
        return;
    default:
        (void)out.invalid();
        return;
    }
}

JLIB::JResult convertLogicPortInfoTable(std::vector<LogicCtrl::LogicPortInfo>& out, const LogicPortInfo_V1* records,
                                        uint32_t count)
{
    out.clear();
    if (!records) return JLIB::kOk;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const LogicPortInfo_V1& record = records[i];
        const uint32_t type = record.type >= 1 && record.type <= 8 ? record.type : LogicCtrl::kLogicDataNone;
        LogicCtrl::LogicPortInfo port(record.name.toString(), type, record.expressionName.toString());
        convertNumericValue(port.m_minimum, record.min);
        convertNumericValue(port.m_maximum, record.max);
        out.push_back(std::move(port));
    }
    return JLIB::kOk;
}

}  // namespace DRAVO
