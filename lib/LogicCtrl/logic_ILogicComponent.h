#pragma once
// A block of control logic with typed input and output ports whose outputs feed the inputs of
// other blocks, run by the logic network in initial, triggered and periodic passes.
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"
#include "logic_Connection.h"
#include "logic_LogicData.h"
#include "logic_LogicPortInfo.h"

namespace LogicCtrl {

// The kind of a pass.
using RunState = uint32_t;
constexpr RunState kRunInitial = 0;    // every component processes, every output is passed on
constexpr RunState kRunTriggered = 1;  // components whose processing was asked for
constexpr RunState kRunPeriodic = 2;   // components whose interval has passed, and triggered ones

class ILogicComponent {
public:
    virtual ~ILogicComponent() = default;

    // Detaches every link and forgets the ports.
    virtual JLIB::JResult finalize() = 0;
    // 0xFFFFFFFF while not initialised.
    virtual uint32_t uniqID() const = 0;
    virtual uint32_t logicInputPortNum() const = 0;
    virtual uint32_t logicOutputPortNum() const = 0;
    // Reads beyond a count give shared empty objects.
    virtual const LogicPortInfo& logicInputPortInfo(uint32_t port) const = 0;
    virtual const LogicPortInfo& logicOutputPortInfo(uint32_t port) const = 0;
    virtual const Connection& prevLogicComponent(uint32_t inputPort) const = 0;
    // In the order the targets were linked.
    virtual const std::vector<Connection>& nextLogicComponents(uint32_t outputPort) const = 0;

    // Links are kept on both sides: each call makes the matching call on the other component.
    [[nodiscard]] virtual JLIB::JResult connectLogicFrom(uint32_t inputPort,
                                                         ILogicComponent* source, uint32_t sourcePort) = 0;
    [[nodiscard]] virtual JLIB::JResult connectLogicTo(uint32_t outputPort,
                                                       ILogicComponent* target, uint32_t targetPort) = 0;
    [[nodiscard]] virtual JLIB::JResult disconnectLogicFrom(uint32_t inputPort) = 0;
    // Every target of the output.
    [[nodiscard]] virtual JLIB::JResult disconnectLogicTo(uint32_t outputPort) = 0;
    [[nodiscard]] virtual JLIB::JResult disconnectLogicTo(uint32_t outputPort,
                                                          ILogicComponent* target, uint32_t targetPort) = 0;

    virtual const LogicData& getLogicInValue(uint32_t inputPort) const = 0;
    virtual const LogicData& getLogicOutValue(uint32_t outputPort) const = 0;
    // Delivers a source's value to an input.
    [[nodiscard]] virtual JLIB::JResult sendLogicData(uint32_t inputPort, const LogicData& data) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutNormValue(uint32_t outputPort, float value) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutValue(uint32_t outputPort, uint32_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutValue(uint32_t outputPort, int32_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutValue(uint32_t outputPort, float value) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutString(uint32_t outputPort, const char* text) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutEvent(uint32_t outputPort) = 0;

    // Test mode: a port keeps a forced value.
    [[nodiscard]] virtual JLIB::JResult setLogicInTestValue(uint32_t inputPort, const LogicData& data) = 0;
    [[nodiscard]] virtual JLIB::JResult setLogicOutTestValue(uint32_t outputPort, const LogicData& data) = 0;
    virtual bool isLogicInTestMode(uint32_t inputPort) const = 0;
    virtual bool isLogicOutTestMode(uint32_t outputPort) const = 0;
    virtual bool isLogicTestMode() const = 0;
    virtual JLIB::JResult enterLogicTestMode() = 0;
    virtual JLIB::JResult exitLogicTestMode() = 0;

    // One pass over this component at the millisecond count timeMs.
    virtual JLIB::JResult runLogic(uint32_t timeMs, RunState state) = 0;
    // Asks for processing in a later pass.
    virtual JLIB::JResult triggerLogic() = 0;
    // Whether a change of that parameter element calls for processing.
    virtual bool isParamForLogic(uint32_t paramIndex, uint32_t x, uint32_t y) = 0;
    virtual bool shouldProcessLogic(uint32_t timeMs, RunState state) = 0;
    virtual JLIB::JResult processLogic(uint32_t timeMs, RunState state) = 0;
    virtual JLIB::JResult postProcessLogic(uint32_t timeMs, RunState state) = 0;
};

}  // namespace LogicCtrl
