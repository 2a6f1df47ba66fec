#pragma once
// The common implementation of a logic component: ports, links on both sides, values, test mode
// and the due test of a pass. Derived components do their work in processLogic. Not locked: the
// network drives components under its lock during a pass; linking runs on the thread that builds
// the configuration while no pass runs.
#include <cstdint>
#include <vector>

#include "logic_ILogicComponent.h"

namespace LogicCtrl {

class AbstractLogicComponent : public ILogicComponent {
public:
    AbstractLogicComponent() = default;
    // Copies every field, links included (the linked components do not list the copy).
    AbstractLogicComponent(const AbstractLogicComponent&) = default;
    AbstractLogicComponent& operator=(const AbstractLogicComponent&) = default;
    // Unlinks from every neighbour, so none keeps a pointer to a destroyed component.
    ~AbstractLogicComponent() override;

    // Sets the ports up from their descriptions (a kind outside 1 to 8 leaves that port without
    // data). intervalMs: time between periodic processing, 0 for processing only when triggered.
    // 0x80000001 when already initialised, 0x80100000 for the id 0xFFFFFFFF.
    [[nodiscard]] JLIB::JResult initialize(uint32_t id, const std::vector<LogicPortInfo>& inputs,
                                           const std::vector<LogicPortInfo>& outputs, uint32_t intervalMs);

    // Keeps the interval and the last processing time.
    JLIB::JResult finalize() override;
    uint32_t uniqID() const override { return m_id; }
    uint32_t logicInputPortNum() const override { return static_cast<uint32_t>(m_inputInfos.size()); }
    uint32_t logicOutputPortNum() const override { return static_cast<uint32_t>(m_outputInfos.size()); }
    const LogicPortInfo& logicInputPortInfo(uint32_t port) const override;
    const LogicPortInfo& logicOutputPortInfo(uint32_t port) const override;
    const Connection& prevLogicComponent(uint32_t inputPort) const override;
    const std::vector<Connection>& nextLogicComponents(uint32_t outputPort) const override;

    // Link operations: 0x80000001 for a port not below its count or a null component, else 0.
    // An input that already has another source is first unlinked from it. A target that refuses
    // its port still stays in the output's list; deliveries over it then fail there.
    [[nodiscard]] JLIB::JResult connectLogicFrom(uint32_t inputPort,
                                                 ILogicComponent* source, uint32_t sourcePort) override;
    [[nodiscard]] JLIB::JResult connectLogicTo(uint32_t outputPort,
                                               ILogicComponent* target, uint32_t targetPort) override;
    [[nodiscard]] JLIB::JResult disconnectLogicFrom(uint32_t inputPort) override;
    [[nodiscard]] JLIB::JResult disconnectLogicTo(uint32_t outputPort) override;
    [[nodiscard]] JLIB::JResult disconnectLogicTo(uint32_t outputPort,
                                                  ILogicComponent* target, uint32_t targetPort) override;

    const LogicData& getLogicInValue(uint32_t inputPort) const override;
    const LogicData& getLogicOutValue(uint32_t outputPort) const override;
    // 0x80000001 beyond the count; ignored (0) on an input in test mode; a delivery that makes
    // the input dirty triggers processing.
    [[nodiscard]] JLIB::JResult sendLogicData(uint32_t inputPort, const LogicData& data) override;
    // Output writes: 0x80000001 beyond the count, ignored (0) in test mode, else the result of
    // the value's operation. They do not trigger; postProcessLogic passes the output on.
    [[nodiscard]] JLIB::JResult setLogicOutNormValue(uint32_t outputPort, float value) override;
    [[nodiscard]] JLIB::JResult setLogicOutValue(uint32_t outputPort, uint32_t value) override;
    [[nodiscard]] JLIB::JResult setLogicOutValue(uint32_t outputPort, int32_t value) override;
    [[nodiscard]] JLIB::JResult setLogicOutValue(uint32_t outputPort, float value) override;
    [[nodiscard]] JLIB::JResult setLogicOutString(uint32_t outputPort, const char* text) override;
    [[nodiscard]] JLIB::JResult setLogicOutEvent(uint32_t outputPort) override;

    // Forces a copy of data (always dirty) onto the port, sets its test flag and triggers;
    // 0x80000001 beyond the count.
    [[nodiscard]] JLIB::JResult setLogicInTestValue(uint32_t inputPort, const LogicData& data) override;
    [[nodiscard]] JLIB::JResult setLogicOutTestValue(uint32_t outputPort, const LogicData& data) override;
    bool isLogicInTestMode(uint32_t inputPort) const override;
    bool isLogicOutTestMode(uint32_t outputPort) const override;
    bool isLogicTestMode() const override;
    // Set or clear every test flag; neither triggers.
    JLIB::JResult enterLogicTestMode() override;
    JLIB::JResult exitLogicTestMode() override;

    // When due: processLogic, then postProcessLogic. Always 0.
    JLIB::JResult runLogic(uint32_t timeMs, RunState state) override;
    // Sets the trigger flag and asks the engine thread for a triggered pass.
    JLIB::JResult triggerLogic() override;
    // False: no parameter concerns the base.
    bool isParamForLogic(uint32_t paramIndex, uint32_t x, uint32_t y) override;
    // Initial: always; triggered, or periodic without interval: when triggered; periodic with an
    // interval: when it has passed since the last processing (across the counter's wrap).
    // When due, clears the trigger and takes timeMs as the last processing time.
    bool shouldProcessLogic(uint32_t timeMs, RunState state) override;
    // Does nothing; 0.
    JLIB::JResult processLogic(uint32_t timeMs, RunState state) override;
    // Consumes every input, then passes on each output that is dirty (every output in the
    // initial pass) and consumes it.
    JLIB::JResult postProcessLogic(uint32_t timeMs, RunState state) override;

private:
    bool isInput(uint32_t port) const { return port < m_inputInfos.size(); }
    bool isOutput(uint32_t port) const { return port < m_outputInfos.size(); }
    // Checks the port and test mode, then applies the write to the output's value.
    template <typename Write>
    JLIB::JResult writeOutput(uint32_t outputPort, Write write);

    uint32_t m_id = 0xFFFFFFFFu;
    std::vector<LogicPortInfo> m_inputInfos;
    std::vector<LogicPortInfo> m_outputInfos;
    std::vector<Connection> m_inputLinks;
    std::vector<std::vector<Connection>> m_outputLinks;
    std::vector<LogicData> m_inputValues;
    std::vector<LogicData> m_outputValues;
    std::vector<bool> m_inputTestFlags;
    std::vector<bool> m_outputTestFlags;
    uint32_t m_intervalMs = 0;
    uint32_t m_lastProcessingTime = 0;
    bool m_triggered = false;
};

}  // namespace LogicCtrl
