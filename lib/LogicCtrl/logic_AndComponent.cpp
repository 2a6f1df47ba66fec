#include "logic_AndComponent.h"

namespace LogicCtrl {

JLIB::JResult AndComponent::initialize(uint32_t id, uint32_t, uint32_t)
{
    const std::vector<LogicPortInfo> inputs = {
        LogicPortInfo("in1", kLogicDataNormalized, nullptr),
        LogicPortInfo("in2", kLogicDataNormalized, nullptr),
        LogicPortInfo("in3", kLogicDataNormalized, nullptr),
    };
    const std::vector<LogicPortInfo> outputs = {LogicPortInfo("out", kLogicDataNormalized, nullptr)};
    return AbstractLogicComponent::initialize(id, inputs, outputs, 0);
}

JLIB::JResult AndComponent::processLogic(uint32_t, RunState)
{
    bool all = true;
    for (uint32_t port = 0; port < logicInputPortNum() && all; ++port) {
        bool isNumber = false;
        const float value = getLogicInValue(port).getValue().toFloat(&isNumber);
        all = isNumber && value >= 0.5f;  // NaN compares false
    }
    return setLogicOutNormValue(0, all ? 1.0f : 0.0f);
}

}  // namespace LogicCtrl
