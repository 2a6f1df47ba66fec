#pragma once
// What one request's command may use: the three providers and the asking client's session. Made
// by the server per request over objects that outlive it.
#include "OscServer/OscCore/OscDeviceController.h"
#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscSessionData.h"

namespace JOSC {

class OscInfoAccessor {
public:
    OscInfoAccessor(OscDeviceController& deviceController, OscParameter& parameters, OscMeter& meters,
                    OscSessionData& sessionData)
        : m_deviceController(deviceController), m_parameters(parameters), m_meters(meters), m_sessionData(sessionData)
    {
    }
    virtual ~OscInfoAccessor();

    OscDeviceController& getDeviceController() const { return m_deviceController; }
    OscParameter& getParameters() const { return m_parameters; }
    OscMeter& getMeters() const { return m_meters; }
    OscSessionData& getSessionData() const { return m_sessionData; }

private:
    OscDeviceController& m_deviceController;
    OscParameter& m_parameters;
    OscMeter& m_meters;
    OscSessionData& m_sessionData;
};

}  // namespace JOSC
