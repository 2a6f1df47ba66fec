#include "compiler_CompileStrategyStepSizeOrder.h"

namespace Compiler {

JLIB::JResult CompileStrategyStepSizeOrder::sortProcessibleComponents(const std::vector<T_COMPONENT>&,
                                                                      const std::vector<T_CONNECTIONDB_CONNECTION>&,
                                                                      const DspSystem&, std::vector<uint32_t>&)
{
    return JLIB::kFailed;
}

}  // namespace Compiler
