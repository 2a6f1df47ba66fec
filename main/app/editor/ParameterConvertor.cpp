#include "editor/ParameterConvertor.h"

#include <cerrno>
#include <cstdlib>

#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterInfo.h"
#include "editor/ArgumentMap.h"
#include "editor/VDProtocolDefine.h"

namespace VDProtocol {

namespace {

bool isNumberType(uint8_t type)
{
    switch (type) {
    case PDB::kTypeSInt8:
    case PDB::kTypeSInt16:
    case PDB::kTypeSInt32:
    case PDB::kTypeUInt8:
    case PDB::kTypeUInt16:
    case PDB::kTypeUInt32:
    case PDB::kTypeFloat:
    case PDB::kTypeBool: return true;
    default: return false;
    }
}

}  // namespace

JLIB::JResult ParameterConvertor::Decode_ParameterType(uint32_t& prmType, uint8_t typeCode)
{
    switch (typeCode) {
    case PDB::kTypeSInt8: prmType = 1; break;
    case PDB::kTypeSInt16: prmType = 2; break;
    case PDB::kTypeSInt32: prmType = 3; break;
    case PDB::kTypeUInt8: prmType = 4; break;
    case PDB::kTypeUInt16:
    case PDB::kTypeBool: prmType = 5; break;
    case PDB::kTypeUInt32: prmType = 6; break;
    case PDB::kTypeFloat: prmType = 10; break;
    case PDB::kTypeString: prmType = 11; break;
    default: return kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult ParameterConvertor::Decode_ParameterInfo(ArgumentMap& map, const PDB::ParameterInfo& info,
                                                       const JVariant& value)
{
    uint32_t prmType = 0;
    JLIB_RETURN_IF_FAILED(Decode_ParameterType(prmType, info.type));
    // Inserts refuse only an empty key or an exhausted heap; the entries are best effort then.
    (void)map.insert(KEY_PRM_TYPE, prmType);
    if (isNumberType(info.type)) {
        (void)map.insertJVariant(KEY_PRM_DEF, info.def);
        (void)map.insertJVariant(KEY_PRM_MAX, info.max);
        (void)map.insertJVariant(KEY_PRM_MIN, info.min);
        (void)map.insertJVariant(KEY_PRM_NOMINAL, info.nominal);
        (void)map.insertJVariant(KEY_PRM_STEP, info.step);
        (void)map.insertString(KEY_PRM_SCALE, std::to_string(info.scaling));
        (void)map.insertString(KEY_PRM_UNIT, info.unit);
        (void)map.insertString(KEY_PRM_DEF_UI, info.defUI);
        (void)map.insertString(KEY_PRM_KIND, info.kind);
        (void)map.insertJVariant(KEY_PRM_VAL, value);
    } else {
        (void)map.insertJVariant(KEY_PRM_MAX, info.max);
        (void)map.insertString(KEY_PRM_DEF_UI, info.defUI);
        (void)map.insertString(KEY_PRM_KIND, info.kind);
        const char* text = value.toString();
        (void)map.insertString(KEY_PRM_VAL, std::string(text ? text : ""));
    }
    return JLIB::kOk;
}

JLIB::JResult ParameterConvertor::Encode_ParameterValue(JVariant& value, uint8_t typeCode, const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    switch (typeCode) {
    case PDB::kTypeUInt8:
    case PDB::kTypeUInt16:
    case PDB::kTypeUInt32:
    case PDB::kTypeBool:
    case PDB::kTypeSInt8:
    case PDB::kTypeSInt16:
    case PDB::kTypeSInt32: {
        const long long number = std::strtoll(begin, &end, 10);
        if (end == begin || errno == ERANGE) return kFailed;
        const auto bits = static_cast<uint32_t>(static_cast<unsigned long long>(number));
        if ((typeCode >> 4) == 2) {
            (void)value.setInt32(static_cast<int>(bits));  // numbers always store
        } else {
            (void)value.setUInt32(bits);  // as above
        }
        return JLIB::kOk;
    }
    case PDB::kTypeFloat: {
        const float number = std::strtof(begin, &end);
        if (end == begin || errno == ERANGE) return kFailed;
        (void)value.setFloat(number);  // as above
        return JLIB::kOk;
    }
    case PDB::kTypeString: {
        JVariant copy(text.c_str(), static_cast<unsigned int>(text.size()));
        if (!copy.isValid()) return kFailed;
        value = std::move(copy);
        return JLIB::kOk;
    }
    default: return kFailed;
    }
}

}  // namespace VDProtocol
