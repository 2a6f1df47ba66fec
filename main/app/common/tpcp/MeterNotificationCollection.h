#pragma once
// The meter-channel handlers by OSC address; the table owns them. Used by the channel's owner task only.
#include <map>
#include <memory>
#include <string>

#include "jlib/jlib_result.h"
#include "common/tpcp/IMeterNotification.h"

namespace TPCP {

class MeterNotificationCollection {
public:
    MeterNotificationCollection() = default;
    ~MeterNotificationCollection() = default;
    MeterNotificationCollection(const MeterNotificationCollection&) = delete;
    MeterNotificationCollection& operator=(const MeterNotificationCollection&) = delete;

    // Enters both handlers under their addresses (again after a free); 0.
    JLIB::JResult createMeterNotificationMap();
    // Deletes every handler; 0.
    JLIB::JResult freeMeterNotificationMap();
    // The handler of an address, or null.
    IMeterNotification* getMeterNotification(const char* address) const;

private:
    std::map<std::string, std::unique_ptr<IMeterNotification>> m_map;
};

}  // namespace TPCP
