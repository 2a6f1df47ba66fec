#include "dravo/manager/dravo_convertDRAVOValue.h"

#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterInfo.h"
#include "dravo/common/dravo_VariantType.h"
#include "jlib/JVariant.h"

namespace DRAVO {

namespace {

constexpr unsigned int kMaxTextLength = 1024;

// The variant type's own failures (text cut, no room) become the one failure code.
JLIB::JResult toResult(uint32_t result)
{
    return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace

JLIB::JResult convertPDBToDRAVOValue(const JVariant& in, VariantType& out)
{
    switch (in.getType()) {
    case JVariant::kTypeInt32:
        return out.setInt32(in.toInt32());
    case JVariant::kTypeUInt32:
        return out.setUInt32(in.toUInt32());
    case JVariant::kTypeFloat:
        return out.setFloat(in.toFloat());
    case JVariant::kTypeString:
        // A refused text changes nothing, which must not leave an older value looking current.
        (void)out.invalid();
        return toResult(out.setString(in.toString()));
    case JVariant::kTypeBinary:
        (void)out.invalid();
        return toResult(out.setBinary(in.toBinary(), in.getBinaryLength()));
    default:
        (void)out.invalid();
        return JLIB::kFailed;
    }
}

JLIB::JResult convertDRAVOToPDBValue(const VariantType& in, JVariant& out)
{
    switch (in.type()) {
    case VariantType::kTypeUInt32:
        (void)out.setUInt32(in.toUInt32());  // numbers always store
        return JLIB::kOk;
    case VariantType::kTypeInt32:
        (void)out.setInt32(in.toInt32());
        return JLIB::kOk;
    case VariantType::kTypeFloat:
        (void)out.setFloat(in.toFloat());
        return JLIB::kOk;
    case VariantType::kTypeString:
        if (JLIB::isFailure(out.setString(in.toString(), kMaxTextLength))) {
            (void)out.invalid();  // not the database value's "ERROR:" stand-in
            return JLIB::kFailed;
        }
        return JLIB::kOk;
    case VariantType::kTypeBinary:
        if (JLIB::isFailure(out.setBinary(in.toBinary(), in.getBinaryLength()))) {
            (void)out.invalid();
            return JLIB::kFailed;
        }
        return JLIB::kOk;
    default:
        (void)out.invalid();
        return JLIB::kFailed;
    }
}

uint32_t calcDRAVOValueMemorySizeToAllocate(const PDB::ParameterInfo& info)
{
    if (info.type == PDB::kTypeString) return info.itemSize + 1;
    if (info.type == PDB::kTypeBinary) return info.itemSize;
    return 0;
}

}  // namespace DRAVO
