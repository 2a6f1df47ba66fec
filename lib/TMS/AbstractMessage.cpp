#include "TMS/AbstractMessage.h"

#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"

namespace TMS {

namespace {

constexpr const char* kNoSender = "Dummy";
constexpr unsigned int kMaxTextLength = 1024;

}  // namespace

const ArgumentMap& getNullDataMap()
{
    static const ArgumentMap empty;
    return empty;
}

const JVariant& getNullVariant()
{
    static const JVariant invalid;
    return invalid;
}

AbstractMessage::AbstractMessage() : m_pSender(kNoSender), m_type(kMessageNone), m_id(0) {}

AbstractMessage::AbstractMessage(MessageType type, uint32_t id, const ArgumentMap& data)
    : m_pSender(kNoSender), m_type(type), m_id(id), m_data(data)
{
}

JLIB::JResult AbstractMessage::initialize(MessageType type, uint32_t id)
{
    if (type != kMessageNone && type != kMessageSystem && type != kMessageUser) {
        (void)clear();  // always 0
        return kNotInitialized;
    }
    m_pSender = getCurrentThread().getThreadName();
    if (!m_pSender) m_pSender = kNoSender;  // a thread being released has no name any more
    m_type = type;
    m_id = id;
    m_data.clear();
    return JLIB::kOk;
}

JLIB::JResult AbstractMessage::clear()
{
    m_pSender = kNoSender;
    m_type = kMessageNone;
    m_id = 0;
    m_data.clear();
    return JLIB::kOk;
}

JLIB::JResult AbstractMessage::store(MessageKey key, const JVariant& value)
{
    if (m_type == kMessageNone) return kNotInitialized;
    if (!key.text()) return kBadData;
    // operator[] keeps the key already there, so the first pointer stays.
    m_data[key] = value;
    return JLIB::kOk;
}

JLIB::JResult AbstractMessage::addData(MessageKey key, uint32_t value) { return store(key, JVariant(value)); }

JLIB::JResult AbstractMessage::addData(MessageKey key, int32_t value) { return store(key, JVariant(value)); }

JLIB::JResult AbstractMessage::addData(MessageKey key, float value) { return store(key, JVariant(value)); }

JLIB::JResult AbstractMessage::addData(MessageKey key, const char* text)
{
    return store(key, JVariant(text ? text : "", kMaxTextLength));
}

JLIB::JResult AbstractMessage::addData(MessageKey key, const uint8_t* bytes, uint32_t length)
{
    if (m_type == kMessageNone) return kNotInitialized;
    if (!bytes || length == 0) return kBadData;
    return store(key, JVariant(bytes, length));
}

JLIB::JResult AbstractMessage::deleteData(const char* key)
{
    if (m_type == kMessageNone) return kNotInitialized;
    if (!key) return kBadData;
    const auto it = m_data.find(key);
    if (it == m_data.end()) return kNotInitialized;
    m_data.erase(it);
    return JLIB::kOk;
}

const JVariant& AbstractMessage::data(const char* key) const
{
    if (!key || m_type == kMessageNone) return getNullVariant();
    const auto it = m_data.find(key);
    return it == m_data.end() ? getNullVariant() : it->second;
}

const ArgumentMap& AbstractMessage::arguments() const
{
    return m_type == kMessageNone ? getNullDataMap() : m_data;
}

JLIB::JResult AbstractMessage::send(const char* threadName) const { return send(getThreadByName(threadName)); }

JLIB::JResult AbstractMessage::send(AbstractThread& thread) const { return thread.sendMessage(*this); }

JLIB::JResult AbstractMessage::sendWithWaiting(const char* threadName) const
{
    return sendWithWaiting(getThreadByName(threadName));
}

JLIB::JResult AbstractMessage::sendWithWaiting(AbstractThread& thread) const
{
    return thread.sendMessageWithWaiting(*this);
}

}  // namespace TMS
