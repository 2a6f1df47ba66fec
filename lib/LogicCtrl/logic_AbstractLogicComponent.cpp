#include "logic_AbstractLogicComponent.h"

#include "logic_Result.h"
#include "logic_Trigger.h"

namespace LogicCtrl {

namespace {

const LogicPortInfo& emptyPortInfo()
{
    static const LogicPortInfo s_empty;
    return s_empty;
}

const Connection& emptyConnection()
{
    static const Connection s_empty;
    return s_empty;
}

const std::vector<Connection>& emptyConnections()
{
    static const std::vector<Connection> s_empty;
    return s_empty;
}

const LogicData& defaultLogicData()
{
    static const LogicData s_default;
    return s_default;
}

}  // namespace

AbstractLogicComponent::~AbstractLogicComponent()
{
    (void)AbstractLogicComponent::finalize();  // always 0
}

JLIB::JResult AbstractLogicComponent::initialize(uint32_t id, const std::vector<LogicPortInfo>& inputs,
                                                 const std::vector<LogicPortInfo>& outputs, uint32_t intervalMs)
{
    if (m_id != kInvalidId) return kInvalidArgument;
    if (id == kInvalidId) return kIdConflict;
    m_id = id;
    m_inputInfos = inputs;
    m_outputInfos = outputs;
    m_inputLinks.assign(inputs.size(), Connection());
    m_outputLinks.assign(outputs.size(), std::vector<Connection>());
    // Built in place: a copied port would start dirty, and a port without data stays so.
    m_inputValues = std::vector<LogicData>(inputs.size());
    m_outputValues = std::vector<LogicData>(outputs.size());
    m_inputTestFlags.assign(inputs.size(), false);
    m_outputTestFlags.assign(outputs.size(), false);
    // A kind outside 1 to 8 leaves the port without data, which is what the description says.
    for (size_t i = 0; i < inputs.size(); ++i) {
        const LogicPortInfo& info = inputs[i];
        (void)m_inputValues[i].initialize(info.m_type, info.m_expressionName.c_str(), info.m_minimum, info.m_maximum);
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        const LogicPortInfo& info = outputs[i];
        (void)m_outputValues[i].initialize(info.m_type, info.m_expressionName.c_str(), info.m_minimum,
                                           info.m_maximum);
    }
    m_intervalMs = intervalMs;
    m_lastProcessingTime = 0;
    m_triggered = false;
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::finalize()
{
    m_id = kInvalidId;
    for (uint32_t port = 0; port < logicInputPortNum(); ++port) (void)disconnectLogicFrom(port);  // port valid
    for (uint32_t port = 0; port < logicOutputPortNum(); ++port) (void)disconnectLogicTo(port);   // port valid
    m_inputInfos.clear();
    m_outputInfos.clear();
    m_inputLinks.clear();
    m_outputLinks.clear();
    m_inputValues.clear();
    m_outputValues.clear();
    m_inputTestFlags.clear();
    m_outputTestFlags.clear();
    m_triggered = false;
    return JLIB::kOk;
}

const LogicPortInfo& AbstractLogicComponent::logicInputPortInfo(uint32_t port) const
{
    return isInput(port) ? m_inputInfos[port] : emptyPortInfo();
}

const LogicPortInfo& AbstractLogicComponent::logicOutputPortInfo(uint32_t port) const
{
    return isOutput(port) ? m_outputInfos[port] : emptyPortInfo();
}

const Connection& AbstractLogicComponent::prevLogicComponent(uint32_t inputPort) const
{
    return isInput(inputPort) ? m_inputLinks[inputPort] : emptyConnection();
}

const std::vector<Connection>& AbstractLogicComponent::nextLogicComponents(uint32_t outputPort) const
{
    return isOutput(outputPort) ? m_outputLinks[outputPort] : emptyConnections();
}

JLIB::JResult AbstractLogicComponent::connectLogicFrom(uint32_t inputPort, ILogicComponent* source,
                                                       uint32_t sourcePort)
{
    if (!isInput(inputPort) || !source) return kInvalidArgument;
    const Connection wanted(source, sourcePort);
    if (m_inputLinks[inputPort] == wanted) return JLIB::kOk;
    // The former source would otherwise keep delivering here, even after it is gone.
    if (m_inputLinks[inputPort].isConnected()) (void)disconnectLogicFrom(inputPort);  // port checked
    (void)m_inputLinks[inputPort].connect(source, sourcePort);  // always 0
    // Finds the pair when it started the linking, so the two calls end there.
    (void)source->connectLogicTo(sourcePort, this, inputPort);  // a refusal leaves our side linked
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::connectLogicTo(uint32_t outputPort, ILogicComponent* target,
                                                     uint32_t targetPort)
{
    if (!isOutput(outputPort) || !target) return kInvalidArgument;
    std::vector<Connection>& targets = m_outputLinks[outputPort];
    const Connection wanted(target, targetPort);
    for (const Connection& entry : targets) {
        if (entry == wanted) return JLIB::kOk;
    }
    targets.push_back(wanted);
    (void)target->connectLogicFrom(targetPort, this, outputPort);  // a refusal leaves the pair listed
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::disconnectLogicFrom(uint32_t inputPort)
{
    if (!isInput(inputPort)) return kInvalidArgument;
    const Connection former = m_inputLinks[inputPort];
    (void)m_inputLinks[inputPort].disconnect();  // always 0
    if (former.isConnected()) (void)former.component()->disconnectLogicTo(former.port(), this, inputPort);
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::disconnectLogicTo(uint32_t outputPort)
{
    if (!isOutput(outputPort)) return kInvalidArgument;
    // The entry is taken off before the target is told, so a list that shrinks meanwhile is no risk.
    while (!m_outputLinks[outputPort].empty()) {
        const Connection entry = m_outputLinks[outputPort].front();
        (void)disconnectLogicTo(outputPort, entry.component(), entry.port());  // port checked
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::disconnectLogicTo(uint32_t outputPort, ILogicComponent* target,
                                                        uint32_t targetPort)
{
    if (!isOutput(outputPort)) return kInvalidArgument;
    std::vector<Connection>& targets = m_outputLinks[outputPort];
    const Connection pair(target, targetPort);
    for (auto it = targets.begin(); it != targets.end(); ++it) {
        if (!(*it == pair)) continue;
        targets.erase(it);
        // Only an input that still names this output is unlinked: a copy of a component, or a
        // target that refused the port, must not cut another source's link.
        if (target && target->prevLogicComponent(targetPort) == Connection(this, outputPort)) {
            (void)target->disconnectLogicFrom(targetPort);  // the port exists there
        }
        break;
    }
    return JLIB::kOk;
}

const LogicData& AbstractLogicComponent::getLogicInValue(uint32_t inputPort) const
{
    return isInput(inputPort) ? m_inputValues[inputPort] : defaultLogicData();
}

const LogicData& AbstractLogicComponent::getLogicOutValue(uint32_t outputPort) const
{
    return isOutput(outputPort) ? m_outputValues[outputPort] : defaultLogicData();
}

JLIB::JResult AbstractLogicComponent::sendLogicData(uint32_t inputPort, const LogicData& data)
{
    if (!isInput(inputPort)) return kInvalidArgument;
    if (m_inputTestFlags[inputPort]) return JLIB::kOk;
    LogicData& input = m_inputValues[inputPort];
    const JLIB::JResult result = input.receive(data);
    if (input.isDirty()) (void)triggerLogic();  // always 0
    return result;
}

template <typename Write>
JLIB::JResult AbstractLogicComponent::writeOutput(uint32_t outputPort, Write write)
{
    if (!isOutput(outputPort)) return kInvalidArgument;
    if (m_outputTestFlags[outputPort]) return JLIB::kOk;
    return write(m_outputValues[outputPort]);
}

JLIB::JResult AbstractLogicComponent::setLogicOutNormValue(uint32_t outputPort, float value)
{
    return writeOutput(outputPort, [&](LogicData& data) { return data.setNormValue(value); });
}

JLIB::JResult AbstractLogicComponent::setLogicOutValue(uint32_t outputPort, uint32_t value)
{
    return writeOutput(outputPort, [&](LogicData& data) { return data.setValue(JVariant(value)); });
}

JLIB::JResult AbstractLogicComponent::setLogicOutValue(uint32_t outputPort, int32_t value)
{
    return writeOutput(outputPort, [&](LogicData& data) { return data.setValue(JVariant(value)); });
}

JLIB::JResult AbstractLogicComponent::setLogicOutValue(uint32_t outputPort, float value)
{
    return writeOutput(outputPort, [&](LogicData& data) { return data.setValue(JVariant(value)); });
}

JLIB::JResult AbstractLogicComponent::setLogicOutString(uint32_t outputPort, const char* text)
{
    return writeOutput(outputPort, [&](LogicData& data) { return data.setString(text); });
}

JLIB::JResult AbstractLogicComponent::setLogicOutEvent(uint32_t outputPort)
{
    return writeOutput(outputPort, [](LogicData& data) { return data.setEvent(); });
}

JLIB::JResult AbstractLogicComponent::setLogicInTestValue(uint32_t inputPort, const LogicData& data)
{
    if (!isInput(inputPort)) return kInvalidArgument;
    m_inputValues[inputPort] = data;
    m_inputTestFlags[inputPort] = true;
    return triggerLogic();
}

JLIB::JResult AbstractLogicComponent::setLogicOutTestValue(uint32_t outputPort, const LogicData& data)
{
    if (!isOutput(outputPort)) return kInvalidArgument;
    m_outputValues[outputPort] = data;
    m_outputTestFlags[outputPort] = true;
    return triggerLogic();
}

bool AbstractLogicComponent::isLogicInTestMode(uint32_t inputPort) const
{
    return isInput(inputPort) && m_inputTestFlags[inputPort];
}

bool AbstractLogicComponent::isLogicOutTestMode(uint32_t outputPort) const
{
    return isOutput(outputPort) && m_outputTestFlags[outputPort];
}

bool AbstractLogicComponent::isLogicTestMode() const
{
    for (bool flag : m_inputTestFlags) {
        if (flag) return true;
    }
    for (bool flag : m_outputTestFlags) {
        if (flag) return true;
    }
    return false;
}

JLIB::JResult AbstractLogicComponent::enterLogicTestMode()
{
    m_inputTestFlags.assign(m_inputTestFlags.size(), true);
    m_outputTestFlags.assign(m_outputTestFlags.size(), true);
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::exitLogicTestMode()
{
    m_inputTestFlags.assign(m_inputTestFlags.size(), false);
    m_outputTestFlags.assign(m_outputTestFlags.size(), false);
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::runLogic(uint32_t timeMs, RunState state)
{
    if (!shouldProcessLogic(timeMs, state)) return JLIB::kOk;
    (void)processLogic(timeMs, state);      // the component's own result; the pass goes on
    (void)postProcessLogic(timeMs, state);  // always 0 here
    return JLIB::kOk;
}

JLIB::JResult AbstractLogicComponent::triggerLogic()
{
    m_triggered = true;
    return logic_Trigger(this);
}

bool AbstractLogicComponent::isParamForLogic(uint32_t, uint32_t, uint32_t) { return false; }

bool AbstractLogicComponent::shouldProcessLogic(uint32_t timeMs, RunState state)
{
    bool due = false;
    if (state == kRunInitial) {
        due = true;
    } else if (state == kRunTriggered || (state == kRunPeriodic && m_intervalMs == 0)) {
        due = m_triggered;
    } else if (state == kRunPeriodic) {
        due = static_cast<uint32_t>(timeMs - m_lastProcessingTime) >= m_intervalMs;  // wraps with the counter
    }
    if (!due) return false;
    // Before processing: a trigger raised while the component processes asks for a later pass.
    m_triggered = false;
    m_lastProcessingTime = timeMs;
    return true;
}

JLIB::JResult AbstractLogicComponent::processLogic(uint32_t, RunState) { return JLIB::kOk; }

JLIB::JResult AbstractLogicComponent::postProcessLogic(uint32_t, RunState state)
{
    for (LogicData& input : m_inputValues) (void)input.dataConsumed();  // a port without data refuses
    for (uint32_t port = 0; port < logicOutputPortNum(); ++port) {
        LogicData& output = m_outputValues[port];
        if (state != kRunInitial && !output.isDirty()) continue;
        // Passed on before it is consumed, so an event output delivers its count, not 0.
        for (const Connection& entry : m_outputLinks[port]) {
            if (entry.isConnected()) (void)entry.component()->sendLogicData(entry.port(), output);  // target's own
        }
        (void)output.dataConsumed();  // a port without data refuses
    }
    return JLIB::kOk;
}

}  // namespace LogicCtrl
