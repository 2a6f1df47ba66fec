#pragma once
// What a running command reaches: the three models and its own session's record. Lives on the
// stack for one command, on the server's thread.
#include "textcontrol/ScpDeviceController.h"
#include "textcontrol/ScpMeter.h"
#include "textcontrol/ScpParameter.h"
#include "textcontrol/ScpSessionData.h"

namespace SCP {

class ScpInfoAccessor {
public:
    ScpInfoAccessor(ScpDeviceController& controller, ScpParameter& parameters, ScpMeter& meters,
                    ScpSessionData& session)
        : m_controller(controller), m_parameters(parameters), m_meters(meters), m_session(session)
    {
    }
    virtual ~ScpInfoAccessor() = default;

    ScpDeviceController& getDeviceController() { return m_controller; }
    ScpParameter& getParameters() { return m_parameters; }
    ScpMeter& getMeters() { return m_meters; }
    ScpSessionData& getSessionData() { return m_session; }

private:
    ScpDeviceController& m_controller;
    ScpParameter& m_parameters;
    ScpMeter& m_meters;
    ScpSessionData& m_session;
};

}  // namespace SCP
