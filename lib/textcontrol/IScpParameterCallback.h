#pragma once
// How a parameter model reports changes to the server that uses it. Called on the server's
// thread, except onParameterChanged, which may come from any thread.
#include <cstdint>

#include "textcontrol/ScpTypes.h"

namespace SCP {

class IScpParameterCallback {
public:
    enum SSChangeReason : int32_t {
        kSnapshotRecalled = 0,
        kCurrentSnapshotChanged = 1,
        kSnapshotUpdated = 2,
    };

    // The session index is the session that caused the change.
    virtual uint32_t onParameterChanged(uint8_t session, uint32_t index, uint32_t x, uint32_t y) = 0;
    // To every open session but the given one.
    virtual uint32_t onFoundDirty(uint8_t session, uint32_t index, uint32_t x, uint32_t y) = 0;
    // To the given session only.
    virtual uint32_t onFoundDirtyWithTarget(uint8_t session, uint32_t index, uint32_t x, uint32_t y) = 0;
    virtual uint32_t onSnapshotChanged(uint8_t session, const ScpString& category, uint32_t snapshotIndex,
                                       SSChangeReason reason) = 0;
    virtual ~IScpParameterCallback() = default;
};

}  // namespace SCP
