#pragma once
// How a parameter provider reports changes to the OSC server: element changes for the host and for
// the clients' notifications, and snapshot events. Called on the server's host thread only. The
// destructor comes last, after the operations.
#include <cstdint>
#include <string>

namespace JOSC {

class IOscParameterCallback {
public:
    enum SSChangeReason : int32_t {
        kSSChangeRecall = 0,
        kSSChangeCurrent = 1,
        kSSChangeUpdate = 2,
    };

    // origin: the client slot whose request made the change, so that it is not told of it.
    virtual uint32_t onParameterChanged(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) = 0;
    virtual uint32_t onFoundDirty(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) = 0;
    virtual uint32_t onFoundDirtyWithTarget(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) = 0;
    virtual uint32_t onSnapshotChanged(uint8_t origin, const std::string& category, uint32_t number,
                                       SSChangeReason reason) = 0;
    virtual uint32_t onSnapshotChanged(uint8_t origin, const std::string& category, const std::string& name,
                                       SSChangeReason reason) = 0;
    virtual ~IOscParameterCallback() = default;
};

}  // namespace JOSC
