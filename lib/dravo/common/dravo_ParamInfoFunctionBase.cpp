#include "dravo/common/dravo_ParamInfoFunctionBase.h"

namespace DRAVO {

ParamInfoFunctionBase::ParamInfoFunctionBase() = default;

ParamInfoFunctionBase::~ParamInfoFunctionBase() = default;

}  // namespace DRAVO
