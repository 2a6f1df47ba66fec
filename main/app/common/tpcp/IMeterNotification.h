#pragma once
// Handler of one meter-channel notification address. Stateless; used by the channel's owner.
#include <vector>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace TPCP {

class IMeterNotificationProcessor;

class IMeterNotification {
public:
    virtual ~IMeterNotification() = default;
    virtual const char* getName() const = 0;
    // As INotification::process.
    [[nodiscard]] virtual JLIB::JResult process(IMeterNotificationProcessor* processor,
                                                const std::vector<JVariant>* arguments) = 0;
};

}  // namespace TPCP
