#pragma once
// Base a component library derives its parameter information object from: reference counting,
// the interface query and the descriptive queries. The library supplies the description, the
// definition text and the three hooks.
#include "dravo/common/dravo_FunctionBase.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"

namespace DRAVO {

class ParamInfoFunctionBase : public FunctionBase<IParamInfoFunction_V1, IID_IParamInfoFunction_V1> {
public:
    ParamInfoFunctionBase();
    ~ParamInfoFunctionBase() override;
};

}  // namespace DRAVO
