#pragma once
// The event port component: sends text events, hands each received event to the registered
// executor and answers the events it accepts. At most one outgoing event waits at a time. Owner
// task of the unit only; no locks.
#include <cstdint>

#include "comctrl_UnitComponent.h"

namespace ComControl {

class IEventExecutor;
class IUnitComponentObserver;

class EventMessenger : public UnitComponent {
public:
    // One outgoing event or answer. The texts are borrowed (set) or copies this object frees
    // (stock); empty when both are null.
    struct T_SENDOBJ {
        bool owned = false;
        uint32_t id = 0;
        const char* name = nullptr;
        const char* text = nullptr;
        uint32_t answerCode = 0;

        T_SENDOBJ() = default;
        T_SENDOBJ(const T_SENDOBJ&) = delete;
        T_SENDOBJ& operator=(const T_SENDOBJ&) = delete;
        ~T_SENDOBJ() { reset(); }

        bool isEmpty() const { return !name && !text; }
        // 0x80000005 when not empty.
        [[nodiscard]] JLIB::JResult set(const char* name, const char* text, uint32_t id, uint32_t answerCode = 0);
        // Copies at most 23 and 1023 characters (an empty text included): 0x80000005 when not
        // empty, 0x80000002 for a null name or text or when no copy can be made (stays empty).
        [[nodiscard]] JLIB::JResult stock(const char* name, const char* text, uint32_t id, uint32_t answerCode = 0);
        void reset();
    };

    // Encodes the send object into one command.
    using SendAction = JLIB::JResult (*)(uint8_t* buffer, uint32_t capacity, uint32_t* length, const T_SENDOBJ& object);

    static constexpr uint32_t kMaxExecutorName = 23;

    EventMessenger() = default;
    ~EventMessenger() override = default;

    // observer is borrowed: the unit that owns this messenger. Always 0.
    JLIB::JResult initialize(bool notServerUnit, IUnitComponentObserver* observer);
    // Asks the port for room for the largest event, then keeps the first 23 characters of name,
    // the executor (borrowed; the owner keeps it alive) and the user value. 0x80000001 for a null
    // name or one above 24 characters; 0x80000002 when the port refuses the room.
    [[nodiscard]] JLIB::JResult setExecutor(const char* name, IEventExecutor& executor, uint32_t userValue);
    IEventExecutor* getExecutor() const { return m_pExecutor; }
    const char* executorName() const { return m_executorName; }
    bool notServerUnit() const { return m_notServerUnit; }

    // Frames the event now or keeps a copy until the port has room; sent by the executor while it
    // runs, it follows the answer. id is not used: events go out with id 0. 0; 0x80000001 for a
    // null name or text, a name above 23 or a text above 1023 characters; 0x80000005 without a
    // port or while an event waits; 0x80000006 when a send action is pending; 0x80000002 when
    // the event could neither be sent nor copied.
    [[nodiscard]] JLIB::JResult send(uint32_t id, const char* name, const char* text);
    // 0x80000006 when setting an action while another is pending; nullptr drops the action.
    [[nodiscard]] JLIB::JResult changeAction(SendAction action);
    bool hasPendingEvent() const { return m_action != nullptr && !m_sendObject.isEmpty(); }
    // Asks the port again for a waiting event, which otherwise goes out only when something else
    // makes the port ask this messenger for data. Always 0.
    JLIB::JResult periodicHandle(uint32_t elapsedMs);

    JLIB::JResult eventReset() override;
    JLIB::JResult eventSend(uint8_t* output, uint32_t capacity, uint32_t* produced, bool* more) override;
    // Runs a received event only when the answer fits (else 0x80000003: the port holds the frame
    // and offers it again), so each event runs once. Unreadable payloads are consumed.
    JLIB::JResult eventReceived(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                                uint32_t inputLength, uint8_t* flags) override;

private:
    JLIB::JResult receiveEvent(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t* input,
                               uint32_t inputLength);
    JLIB::JResult receiveEventAnswer(const uint8_t* input, uint32_t inputLength);
    JLIB::JResult dropPending();
    // Keeps a copy of the event to send after the current receive pass.
    JLIB::JResult stockForLater(const char* name, const char* text);

    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    IEventExecutor* m_pExecutor = nullptr;          // the unit's owner keeps it alive
    char m_executorName[kMaxExecutorName + 1] = {};
    uint32_t m_userValue = 0;
    bool m_notServerUnit = false;
    SendAction m_action = nullptr;
    T_SENDOBJ m_sendObject;
    bool m_executing = false;  // inside the executor of a received event
};

}  // namespace ComControl
