#include "editor/ArgumentMap.h"

#include <memory>
#include <new>

#include "jlib/jlib_base64.h"

namespace VDProtocol {

namespace {

// Base64 text of 2^31 characters or more would overflow the doubled work buffer.
constexpr unsigned int kMaxBase64Length = 0x80000000u;

void setFlag(bool* ok, bool value)
{
    if (ok) *ok = value;
}

}  // namespace

const JVariant* ArgumentMap::find(const std::string& key) const
{
    const auto it = m_values.find(key);
    return it == m_values.end() ? nullptr : &it->second;
}

JLIB::JResult ArgumentMap::store(const std::string& key, JVariant&& value)
{
    m_values.try_emplace(key, std::move(value));  // an existing key keeps its first value
    return JLIB::kOk;
}

JLIB::JResult ArgumentMap::insert(const std::string& key, int value)
{
    if (key.empty()) return kFailed;
    return store(key, JVariant(value));
}

JLIB::JResult ArgumentMap::insert(const std::string& key, short value) { return insert(key, static_cast<int>(value)); }

JLIB::JResult ArgumentMap::insert(const std::string& key, signed char value)
{
    return insert(key, static_cast<int>(value));
}

JLIB::JResult ArgumentMap::insert(const std::string& key, unsigned int value)
{
    if (key.empty()) return kFailed;
    return store(key, JVariant(value));
}

JLIB::JResult ArgumentMap::insert(const std::string& key, unsigned short value)
{
    return insert(key, static_cast<unsigned int>(value));
}

JLIB::JResult ArgumentMap::insert(const std::string& key, unsigned char value)
{
    return insert(key, static_cast<unsigned int>(value));
}

JLIB::JResult ArgumentMap::insert(const std::string& key, float value)
{
    if (key.empty()) return kFailed;
    return store(key, JVariant(value));
}

JLIB::JResult ArgumentMap::insertString(const std::string& key, const char* text, unsigned int maxLength)
{
    if (key.empty()) return kFailed;
    JVariant value;
    // A text too long is stored as "ERROR:" and still counts as stored; only an exhausted heap,
    // which leaves the value invalid, refuses.
    if (value.setString(text, maxLength) == JVariant::kNoHeap) return kFailed;
    return store(key, std::move(value));
}

JLIB::JResult ArgumentMap::insertString(const std::string& key, const std::string& text)
{
    JVariant value;
    // Callers rely on this form never failing; a value the heap could not hold stays invalid.
    (void)value.setString(text.c_str(), static_cast<unsigned int>(text.size()));
    return store(key, std::move(value));
}

JLIB::JResult ArgumentMap::insertBinary(const std::string& key, const unsigned char* bytes, unsigned int length)
{
    if (key.empty() || !bytes || length == 0) return kFailed;
    JVariant value;
    if (JLIB::isFailure(value.setBinary(bytes, length))) return kFailed;
    return store(key, std::move(value));
}

JLIB::JResult ArgumentMap::insertBase64(const std::string& key, const char* text, unsigned int length)
{
    if (key.empty() || !text || length == 0 || length >= kMaxBase64Length) return kFailed;
    const uint32_t size = length * 2u;
    std::unique_ptr<unsigned char[]> work(new (std::nothrow) unsigned char[size]());
    if (!work) return kFailed;
    uint32_t decoded = 0;
    if (JLIB::isFailure(jlib_decodeBase64(work.get(), &decoded, size, text, length))) return kFailed;
    // A Binary cannot be empty: text that decodes to no byte ("", "====") is refused.
    return insertBinary(key, work.get(), decoded);
}

JLIB::JResult ArgumentMap::insertJVariant(const std::string& key, const JVariant& value)
{
    if (key.empty()) return kFailed;
    JVariant copy(value);
    // A String or Binary whose copy the heap could not hold comes out invalid.
    if (copy.getType() != value.getType()) return kFailed;
    return store(key, std::move(copy));
}

int ArgumentMap::getType(const std::string& key) const
{
    const JVariant* value = find(key);
    return value ? value->getType() : JVariant::kTypeInvalid;
}

int ArgumentMap::toInt32(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return 0;
    }
    return value->toInt32(ok);
}

unsigned int ArgumentMap::toUInt32(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return 0;
    }
    return value->toUInt32(ok);
}

float ArgumentMap::toFloat(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return 0.0f;
    }
    return value->toFloat(ok);
}

const char* ArgumentMap::toString(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return nullptr;
    }
    return value->toString(ok);
}

unsigned int ArgumentMap::getStringLength(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return 0;
    }
    return value->getStringLength(ok);
}

const unsigned char* ArgumentMap::toBinary(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return nullptr;
    }
    return value->toBinary(ok);
}

unsigned int ArgumentMap::getBinaryLength(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return 0;
    }
    return value->getBinaryLength(ok);
}

std::string ArgumentMap::toBase64Data(const std::string& key, bool* ok) const
{
    setFlag(ok, false);
    const JVariant* value = find(key);
    if (!value) return std::string();
    bool isBinary = false;
    const unsigned char* bytes = value->toBinary(&isBinary);
    const unsigned int length = value->getBinaryLength();
    if (!isBinary || !bytes || length == 0) return std::string();
    const uint32_t size = jlib_getBase64EncodeLength(bytes, length);
    if (size == 0) return std::string();
    std::unique_ptr<char[]> text(new (std::nothrow) char[size]);
    if (!text) return std::string();
    if (JLIB::isFailure(jlib_encodeBase64(text.get(), nullptr, size, bytes, length))) return std::string();
    setFlag(ok, true);
    return std::string(text.get());
}

JVariant ArgumentMap::toJVariant(const std::string& key, bool* ok) const
{
    const JVariant* value = find(key);
    if (!value) {
        setFlag(ok, false);
        return JVariant();
    }
    return *value;
}

std::vector<std::string> ArgumentMap::keys() const
{
    std::vector<std::string> out;
    out.reserve(m_values.size());
    for (const auto& entry : m_values) out.push_back(entry.first);
    return out;
}

}  // namespace VDProtocol
