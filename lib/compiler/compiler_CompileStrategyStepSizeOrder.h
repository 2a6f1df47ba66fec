#pragma once
// Meant to order ready instances by step size; it leaves the order as it is, so it places in
// uniqID order too. The compiler holds one and does not use it. One task at a time.
#include "compiler_AbstractSimpleCompileStrategy.h"

namespace Compiler {

class CompileStrategyStepSizeOrder : public AbstractSimpleCompileStrategy {
public:
    ~CompileStrategyStepSizeOrder() override = default;
    // Leaves the order as it is; 0x80000000.
    JLIB::JResult sortProcessibleComponents(const std::vector<T_COMPONENT>& instances,
                                            const std::vector<T_CONNECTIONDB_CONNECTION>& connections,
                                            const DspSystem& dspSystem, std::vector<uint32_t>& ready) override;
};

}  // namespace Compiler
