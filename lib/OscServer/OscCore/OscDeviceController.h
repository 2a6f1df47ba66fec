#pragma once
// Base of a device controller: device information and status, modes, events, lists and
// identification. Every operation has a harmless default (result 0, outputs unchanged). Used on
// the OSC server's host thread.
#include <cstdint>
#include <string>

#include "OscServer/OscCore/OscTypes.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class IOscDeviceCallback;

class OscDeviceController {
public:
    OscDeviceController() = default;
    OscDeviceController(const OscDeviceController&) = delete;
    OscDeviceController& operator=(const OscDeviceController&) = delete;
    virtual ~OscDeviceController();

    // Keeps the server's callback (owned by the server).
    [[nodiscard]] virtual JLIB::JResult initialize(IOscDeviceCallback* callback);
    [[nodiscard]] virtual JLIB::JResult getDeviceInfo(std::string& value, const std::string& key);
    [[nodiscard]] virtual JLIB::JResult getDeviceStatus(std::string& value, const std::string& key);
    [[nodiscard]] virtual JLIB::JResult changeDeviceMode(const std::string& mode);
    // origin: the asking client's slot id.
    [[nodiscard]] virtual JLIB::JResult runEvent(uint8_t origin, const std::string& event,
                                                 const JVariantList& arguments);
    // The number of items, the first and the last item index.
    [[nodiscard]] virtual JLIB::JResult getListItemNum(const std::string& list, uint32_t& count, uint32_t& head,
                                                       uint32_t& tail);
    [[nodiscard]] virtual JLIB::JResult getListItem(const std::string& list, uint32_t itemIndex, JVariant& item,
                                                    bool& flag);
    [[nodiscard]] virtual JLIB::JResult runIdentify(uint32_t duration);

protected:
    // The server's callback, null until initialize; owned by the server.
    IOscDeviceCallback* m_pCallback = nullptr;
};

}  // namespace JOSC
