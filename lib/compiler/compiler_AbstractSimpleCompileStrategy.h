#pragma once
// Places one instance per pass: the first of the ready instances (after the subclass had its
// say on their order) goes on the first core free at the current step; the step never goes
// back. One task at a time.
#include <cstdint>
#include <vector>

#include "compiler_ComponentDependency.h"
#include "compiler_DspSystem.h"
#include "compiler_ICompileStrategy.h"

namespace Compiler {

class AbstractSimpleCompileStrategy : public ICompileStrategy {
public:
    ~AbstractSimpleCompileStrategy() override = default;

    // The progress callback runs once per instance looked at: a pass looks at the instance list
    // up to its target. A configuration that can never be placed completely (a cycle or
    // self-link, a connection naming no instance, two instances of one uniqID, a step need only
    // cores without "step" could take) answers 0x80000003 with what was placed so far and a
    // result record code of 0x80000000.
    [[nodiscard]] JLIB::JResult doCompile(const std::vector<T_COMPONENT>& instances,
                                          const std::vector<T_CONNECTIONDB_CONNECTION>& connections,
                                          DspSystem dspSystem, T_COMPILERESULT& result,
                                          ICompileStrategyCallback* callback) override;

    // May reorder the ascending ready ids; the first is placed next. The code is not looked at.
    virtual JLIB::JResult sortProcessibleComponents(const std::vector<T_COMPONENT>& instances,
                                                    const std::vector<T_CONNECTIONDB_CONNECTION>& connections,
                                                    const DspSystem& dspSystem, std::vector<uint32_t>& ready) = 0;

    ComponentDependency& componentDependency() { return m_dependency; }

private:
    ComponentDependency m_dependency;
};

}  // namespace Compiler
