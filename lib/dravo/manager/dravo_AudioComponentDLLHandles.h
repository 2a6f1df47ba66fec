#pragma once
// One component library's handles as the library repository keeps them under the library key.
// All null in the empty handle set. Read by audio components under the registry's lock.
#include "dravo/common/dravo_IUnknown.h"

namespace DRAVO {

class IParamInfoFunction_V1;
class PDBParameterStrategy;

struct AudioComponentDLLHandles {
    void* library = nullptr;  // the open shared library
    CreateFunctionProc createParamInfoFunction = nullptr;
    CreateFunctionProc createCalcCoefFunction = nullptr;
    CreateFunctionProc createAudioProcessFunction = nullptr;
    CreateFunctionProc createLogicControlFunction = nullptr;  // a library may have none
    // The repository's own object of the library, used by the strategy; two references held.
    IParamInfoFunction_V1* paramInfoFunction = nullptr;
    // Installed in the library's component definition; owned by the repository, which keeps it
    // for the whole run because that definition keeps pointing to it.
    PDBParameterStrategy* parameterStrategy = nullptr;
};

}  // namespace DRAVO
