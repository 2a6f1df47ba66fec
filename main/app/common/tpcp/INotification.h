#pragma once
// Handler of one command-stream notification address. Stateless; used by the stream's owner.
#include <vector>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace TPCP {

class INotificationProcessor;

class INotification {
public:
    virtual ~INotification() = default;
    // The OSC address handled.
    virtual const char* getName() const = 0;
    // 0x80000000 for a null processor or arguments, or a wrong argument count (the processor is
    // then not called); otherwise 0 or 0x80000000 after the processor's result.
    [[nodiscard]] virtual JLIB::JResult process(INotificationProcessor* processor,
                                                const std::vector<JVariant>* arguments) = 0;
};

}  // namespace TPCP
