#pragma once
// A message between threads: sender, type, id and a data map of values under static keys. A
// plain value: the sender keeps and may reuse its own after sending, the queue holds copies.
// One task uses one message object at a time.
#include <cstdint>

#include "TMS/MessageKey.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace TMS {

class AbstractThread;

enum MessageType : uint32_t { kMessageNone = 0, kMessageSystem = 1, kMessageUser = 2 };

enum SysMessageId : uint32_t { kSysStart = 0, kSysStop = 1, kSysPause = 2, kSysRelease = 3 };

// The shared empty argument map and the shared invalid value; made on first use.
const ArgumentMap& getNullDataMap();
const JVariant& getNullVariant();

class AbstractMessage {
public:
    static constexpr JLIB::JResult kNotInitialized = 0x80000000u;  // type 0; also deleteData of a missing key
    static constexpr JLIB::JResult kBadData = 0x80000002u;

    AbstractMessage();
    virtual ~AbstractMessage() = default;
    AbstractMessage(const AbstractMessage&) = default;
    AbstractMessage& operator=(const AbstractMessage&) = default;

    // The sender becomes the calling thread's name ("NullThread" for a task that is no framework
    // thread) and the map is emptied. A type other than 0, 1 or 2 clears the message: 0x80000000.
    [[nodiscard]] JLIB::JResult initialize(MessageType type, uint32_t id);
    JLIB::JResult clear();

    // Each returns 0, 0x80000000 on a message of type 0 (nothing stored). An equal key text
    // replaces the value and keeps the first key.
    [[nodiscard]] JLIB::JResult addData(MessageKey key, uint32_t value);
    [[nodiscard]] JLIB::JResult addData(MessageKey key, int32_t value);
    [[nodiscard]] JLIB::JResult addData(MessageKey key, float value);
    // At most 1024 characters; a null text is stored as the empty text.
    [[nodiscard]] JLIB::JResult addData(MessageKey key, const char* text);
    // A copy of the bytes; null bytes or length 0: 0x80000002.
    [[nodiscard]] JLIB::JResult addData(MessageKey key, const uint8_t* bytes, uint32_t length);
    // 0x80000000 when the key is not there; 0x80000002 for a null key.
    [[nodiscard]] JLIB::JResult deleteData(const char* key);

    // The null value for a null or missing key and on a message of type 0.
    const JVariant& data(const char* key) const;
    // The null argument map on a message of type 0.
    const ArgumentMap& arguments() const;
    bool isValid() const { return m_type != kMessageNone; }
    const char* fromWhere() const { return m_pSender; }
    MessageType messageType() const { return m_type; }
    uint32_t messageId() const { return m_id; }

    // Any task. By name, an unknown thread is the null thread: 0 and nothing is delivered.
    [[nodiscard]] JLIB::JResult send(const char* threadName) const;
    [[nodiscard]] JLIB::JResult send(AbstractThread& thread) const;
    [[nodiscard]] JLIB::JResult sendWithWaiting(const char* threadName) const;
    [[nodiscard]] JLIB::JResult sendWithWaiting(AbstractThread& thread) const;

protected:
    // For SystemMessage: a message of that type and id whose data is a copy of the map.
    AbstractMessage(MessageType type, uint32_t id, const ArgumentMap& data);

private:
    JLIB::JResult store(MessageKey key, const JVariant& value);

    const char* m_pSender;  // a thread's name, or a literal; never owned
    MessageType m_type;
    uint32_t m_id;
    ArgumentMap m_data;
};

}  // namespace TMS
