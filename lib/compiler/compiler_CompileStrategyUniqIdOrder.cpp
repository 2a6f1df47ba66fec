#include "compiler_CompileStrategyUniqIdOrder.h"

namespace Compiler {

JLIB::JResult CompileStrategyUniqIdOrder::sortProcessibleComponents(const std::vector<T_COMPONENT>&,
                                                                    const std::vector<T_CONNECTIONDB_CONNECTION>&,
                                                                    const DspSystem&, std::vector<uint32_t>&)
{
    return JLIB::kOk;
}

}  // namespace Compiler
