#pragma once
// The parameter model a server owner supplies: addresses, values, attributes and snapshots.
// Every operation does nothing by default, so an owner overrides what its device has. Called on
// the server's thread; a model changed by other threads protects itself.
// Results: 0 success, top bit failure; setters answer 1 when they adjusted the value.
#include <cstdint>

#include "jlib/JVariant.h"
#include "textcontrol/IScpParameterCallback.h"
#include "textcontrol/ScpAddressAttrib.h"
#include "textcontrol/ScpSnapshotAttrib.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpParameter {
public:
    ScpParameter() = default;
    ScpParameter(const ScpParameter&) = delete;
    ScpParameter& operator=(const ScpParameter&) = delete;
    virtual ~ScpParameter();

    // Keeps the callback (borrowed: the server outlives its use) for change reports.
    virtual uint32_t initialize(IScpParameterCallback* callback);
    // A failure means an unknown address. Default: index 0.
    virtual uint32_t getIndexFromAddress(uint32_t& index, const ScpString& address);
    virtual uint32_t getAddress(ScpString& address, uint32_t index);
    // A count, not a status.
    virtual uint32_t getAddressNum();
    virtual uint32_t setAddressNum(int32_t count);
    virtual uint32_t setValue(uint8_t session, uint32_t index, uint32_t x, uint32_t y, const JVariant& value);
    // The ratio runs from 0 to resolution - 1.
    virtual uint32_t setRatio(uint8_t session, uint32_t index, uint32_t x, uint32_t y, uint32_t ratio,
                              uint32_t resolution);
    virtual uint32_t incDec(uint8_t session, uint32_t index, uint32_t x, uint32_t y, int32_t steps, uint32_t arg1,
                            uint32_t arg2);
    virtual uint32_t setText(uint8_t session, uint32_t index, uint32_t x, uint32_t y, const ScpString& text);
    // Default: clears the record.
    virtual uint32_t setAttrib(ScpAddressAttrib& attrib, uint32_t index);
    // Default: Int32 0.
    virtual uint32_t getValue(JVariant& value, uint8_t session, uint32_t index, uint32_t x, uint32_t y);
    virtual uint32_t getRatio(uint32_t& ratio, uint32_t resolution, uint8_t session, uint32_t index, uint32_t x,
                              uint32_t y);
    // Default: empty text.
    virtual uint32_t getText(ScpString& text, uint8_t session, uint32_t index, uint32_t x, uint32_t y);
    // Default: the cleared record.
    virtual uint32_t getAttrib(ScpAddressAttrib& attrib, uint32_t index);
    virtual uint32_t checkDirty(uint32_t& index);
    // A count, not a status.
    virtual uint32_t getSnapshotNum(const ScpString& category);
    virtual uint32_t setSnapshotNum(const ScpString& category, uint32_t count);
    virtual uint32_t getSnapshotAttrib(ScpSnapshotAttrib& attrib, const ScpString& category, uint32_t snapshotIndex);
    virtual uint32_t setSnapshotAttrib(ScpSnapshotAttrib& attrib, const ScpString& category, uint32_t snapshotIndex);
    virtual uint32_t getCurrentSnapshot(uint32_t& snapshotIndex, bool& modified, const ScpString& category);
    virtual uint32_t setCurrentSnapshot(uint32_t& snapshotIndex, bool flag, uint8_t session,
                                        const ScpString& category);
    virtual uint32_t recallSnapshot(uint8_t session, const ScpString& category, uint32_t snapshotIndex);
    virtual uint32_t updateSnapshot(uint8_t session, const ScpString& category, uint32_t snapshotIndex);

protected:
    IScpParameterCallback* getCallback() const { return m_pCallback; }

private:
    IScpParameterCallback* m_pCallback = nullptr;
};

}  // namespace SCP
