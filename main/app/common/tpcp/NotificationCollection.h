#pragma once
// The command-stream handlers by OSC address; the table owns them. Used by the channel's owner task only.
#include <map>
#include <memory>
#include <string>

#include "jlib/jlib_result.h"
#include "common/tpcp/INotification.h"

namespace TPCP {

class NotificationCollection {
public:
    NotificationCollection() = default;
    ~NotificationCollection() = default;
    NotificationCollection(const NotificationCollection&) = delete;
    NotificationCollection& operator=(const NotificationCollection&) = delete;

    // Enters both handlers under their addresses (again after a free); 0.
    JLIB::JResult createNotificationMap();
    // Deletes every handler; 0.
    JLIB::JResult freeNotificationMap();
    // The handler of an address, or null.
    INotification* getNotification(const char* address) const;

private:
    std::map<std::string, std::unique_ptr<INotification>> m_map;
};

}  // namespace TPCP
