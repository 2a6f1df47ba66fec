#pragma once
// The device model a server owner supplies: information, status, mode, events, lists and
// identification. Every operation answers 0 and leaves its outputs as they were by default.
// Called on the server's thread.
#include <cstdint>

#include "jlib/JVariant.h"
#include "textcontrol/IScpDeviceCallback.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpDeviceController {
public:
    ScpDeviceController() = default;
    ScpDeviceController(const ScpDeviceController&) = delete;
    ScpDeviceController& operator=(const ScpDeviceController&) = delete;
    virtual ~ScpDeviceController();

    // Keeps the callback (borrowed: the server outlives its use).
    virtual uint32_t initialize(IScpDeviceCallback* callback);
    virtual uint32_t getDeviceInfo(ScpString& data, const ScpString& tag);
    virtual uint32_t getDeviceStatus(ScpString& data, const ScpString& tag);
    virtual uint32_t changeDeviceMode(const ScpString& mode);
    virtual uint32_t runEvent(const ScpString& eventId, const ScpString& data);
    virtual uint32_t getListItemNum(const ScpString& category, uint32_t& number, uint32_t& head, uint32_t& tail);
    // A set flag makes the command's status 1.
    virtual uint32_t getListItem(const ScpString& category, uint32_t index, JVariant& data, bool& flag);
    virtual uint32_t runIdentify(uint32_t duration);

protected:
    IScpDeviceCallback* getCallback() const { return m_pCallback; }

private:
    IScpDeviceCallback* m_pCallback = nullptr;
};

}  // namespace SCP
