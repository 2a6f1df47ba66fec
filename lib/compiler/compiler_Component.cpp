#include "compiler_Component.h"

#include "compiler_resultCodes.h"

namespace Compiler {

JLIB::JResult initializeComponentInstance(const std::vector<T_COMPONENTDB_COMPONENT>& types,
                                          const T_CONNECTIONDB_COMPONENT& instance, T_COMPONENT& out)
{
    for (const T_COMPONENTDB_COMPONENT& type : types) {
        if (type.name != instance.name || type.majorVersion != instance.majorVersion || type.numX != instance.numX ||
            type.numY != instance.numY) {
            continue;
        }
        T_COMPONENT c;
        c.uniqID = instance.uniqID;
        c.name = type.name;
        c.majorVersion = type.majorVersion;
        c.numX = instance.numX;
        c.numY = instance.numY;
        c.numInPort = type.numInPort;
        c.numOutPort = type.numOutPort;
        c.dspResources.reserve(type.dspResources.size());
        for (const T_COMPONENTDB_DSPRESOURCE& d : type.dspResources) {
            T_COMPONENT_DSPRESOURCE need{d.dspName, d.fsHz, d.numSamplePerFrame, {}};
            need.resources.reserve(d.resources.size());
            for (const T_COMPONENTDB_RESOURCE& r : d.resources) need.resources.push_back({r.name, r.size});
            c.dspResources.push_back(std::move(need));
        }
        out = std::move(c);
        return JLIB::kOk;
    }
    return kUnusableInput;
}

}  // namespace Compiler
