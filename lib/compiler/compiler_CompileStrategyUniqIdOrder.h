#pragma once
// Places ready instances in ascending uniqID order. One task at a time.
#include "compiler_AbstractSimpleCompileStrategy.h"

namespace Compiler {

class CompileStrategyUniqIdOrder : public AbstractSimpleCompileStrategy {
public:
    ~CompileStrategyUniqIdOrder() override = default;
    // Leaves the order as it is; 0.
    JLIB::JResult sortProcessibleComponents(const std::vector<T_COMPONENT>& instances,
                                            const std::vector<T_CONNECTIONDB_CONNECTION>& connections,
                                            const DspSystem& dspSystem, std::vector<uint32_t>& ready) override;
};

}  // namespace Compiler
