#pragma once
// Base of every port component of a link unit: turns the multiplexer's single event call into a
// send and a receive operation and lets the component send on its port. Owner task of the unit
// only; the port is borrowed from the unit while the link is up.
#include <cstdint>

#include "comctrl_IPort.h"
#include "comctrl_IPortObserver.h"

namespace ComControl {

class UnitComponent : public IPortObserver {
public:
    // Component results the unit translates (low 31 bits; see AbstractUnit::fromUnitComponentErr).
    static constexpr JLIB::JResult kBadArgument = 0x80000001u;
    static constexpr JLIB::JResult kNoMemory = 0x80000002u;
    static constexpr JLIB::JResult kNoRoom = 0x80000003u;  // low 16 bits 3: kept, offered again
    static constexpr JLIB::JResult kBusy = 0x80000005u;
    static constexpr JLIB::JResult kPending = 0x80000006u;

    UnitComponent() = default;
    UnitComponent(const UnitComponent&) = delete;
    UnitComponent& operator=(const UnitComponent&) = delete;

    // 0x80000003 for a null flags pointer. A component result whose low 16 bits are 3 becomes
    // 0x80000001 (no room now), any other failure 0x80000003 (ends the link).
    [[nodiscard]] JLIB::JResult event(uint8_t* output, uint32_t outputCapacity, uint32_t* produced,
                                      const uint8_t* input, uint32_t inputLength, uint8_t* flags) override;
    ~UnitComponent() override = default;

    // Keeps the first 4 characters; 0x80000001 for a null name.
    [[nodiscard]] JLIB::JResult setPortName(const char* name);
    // Drops the current port, runs eventReset, and asks a new port (may be null; borrowed from the
    // unit) for room for the requested receive size. Always 0.
    JLIB::JResult setPort(IPort* port);
    // Remembers size as the payload this component needs; 0x80000002 when the port refuses it.
    [[nodiscard]] JLIB::JResult extendReceiveBufferSize(uint32_t size);
    // Lets the port collect what this component has to send now; 0x80000000 without a port.
    [[nodiscard]] JLIB::JResult writeRequest();
    bool isSendable() const { return m_pPort != nullptr; }
    const char* portname() const { return m_portName; }
    uint32_t requestedReceiveSize() const { return m_requestedReceiveSize; }

    // Clears pending work; runs whenever the port is attached or detached.
    virtual JLIB::JResult eventReset() { return JLIB::kOk; }
    // Writes at most capacity bytes of one message; *more asks to be called again at once.
    virtual JLIB::JResult eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more)
    {
        return JLIB::kOk;
    }
    // Consumes one payload and may write an answer; sets kFlagMore or kFlagHold in *flags itself.
    virtual JLIB::JResult eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                                        uint32_t inputLength, uint8_t* flags)
    {
        return JLIB::kOk;
    }

private:
    IPort* m_pPort = nullptr;  // the unit's multiplexer, set while connected
    char m_portName[5] = {};
    uint32_t m_requestedReceiveSize = 0;
};

}  // namespace ComControl
