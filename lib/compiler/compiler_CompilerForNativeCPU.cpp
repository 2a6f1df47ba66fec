#include "compiler_CompilerForNativeCPU.h"

#include <vector>

#include "compiler_Component.h"
#include "compiler_ICompilerCallbackForNativeCPU.h"
#include "compiler_resultCodes.h"

namespace Compiler {

JLIB::JResult CompilerForNativeCPU::chooseDspSystem()
{
    const T_CONNECTIONDB_DSPSYSTEM& wanted = m_connectionDB.getConnectionDB().dspSystem;
    for (const T_DSPSYSTEMDB_DSPSYSTEM& entry : m_dspSystemDB.getDspSystemDB()) {
        if (entry.name != wanted.name || entry.fsHz != wanted.fsHz ||
            entry.numSamplePerFrame != wanted.numSamplePerFrame) {
            continue;
        }
        if (JLIB::isFailure(m_dspSystem.initialize(entry, wanted.fsHz, wanted.numSamplePerFrame, wanted.renderSamples,
                                                   wanted.delayCompensation))) {
            return kUnusableInput;
        }
        return m_dspSystem.isValid() ? JLIB::kOk : kUnusableInput;
    }
    // A system an earlier compile chose is not what this configuration asks for.
    return kUnusableInput;
}

uint32_t CompilerForNativeCPU::compile(const std::string& componentDB, const std::string& connectionDB,
                                       const std::string& dspSystemDB, ICompilerCallbackForNativeCPU* callback,
                                       std::string& result)
{
    result.clear();
    (void)m_result.clear();  // always 0
    if (JLIB::isFailure(m_componentDB.fromJsonString(componentDB)) ||
        JLIB::isFailure(m_dspSystemDB.fromJsonString(dspSystemDB)) ||
        JLIB::isFailure(m_connectionDB.fromJsonString(connectionDB))) {
        return kUnusableInput;
    }
    JLIB_RETURN_IF_FAILED(chooseDspSystem());

    const T_CONNECTIONDB& db = m_connectionDB.getConnectionDB();
    std::vector<T_COMPONENT> instances(db.components.size());
    for (size_t i = 0; i < db.components.size(); ++i) {
        JLIB_RETURN_IF_FAILED(initializeComponentInstance(m_componentDB.getComponentDB(), db.components[i], instances[i]));
    }

    m_pCallback = callback;
    // On a copy: this compile's fill levels must not reach the next one.
    const JLIB::JResult code = m_uniqIdStrategy.doCompile(instances, db.connections, m_dspSystem, m_result, this);
    for (const T_CONNECTIONDB_CONNECTION& c : db.logicConnections) {
        m_result.logicConnections.push_back({c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo});
    }
    (void)m_compileResult.setCompileResult(m_result);  // always 0
    JLIB_RETURN_IF_FAILED(m_compileResult.toJsonString(result));
    return code;
}

uint32_t CompilerForNativeCPU::onCompileProgress(bool& cancel)
{
    return m_pCallback ? m_pCallback->onCompileProgress(cancel) : JLIB::kOk;
}

}  // namespace Compiler
