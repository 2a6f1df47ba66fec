#pragma once
// The command information of one editor-link packet: key text to one typed value, ordered by the
// key's bytes, at most one value per key (the first insert of a key wins). A plain value owned by
// one thread at a time.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace VDProtocol {

class ArgumentMap {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    ArgumentMap() = default;
    ArgumentMap(const ArgumentMap& other) = default;
    ArgumentMap& operator=(const ArgumentMap& other) = default;
    virtual ~ArgumentMap() = default;

    // Every insert: 0, or 0x80000000 for an empty key or a refused value (map unchanged). A key
    // already present keeps its earlier value and the insert still answers 0.
    // Signed integers are stored as Int32 (sign-extended), unsigned ones as UInt32.
    JLIB::JResult insert(const std::string& key, int value);
    JLIB::JResult insert(const std::string& key, short value);
    JLIB::JResult insert(const std::string& key, signed char value);
    JLIB::JResult insert(const std::string& key, unsigned int value);
    JLIB::JResult insert(const std::string& key, unsigned short value);
    JLIB::JResult insert(const std::string& key, unsigned char value);
    JLIB::JResult insert(const std::string& key, float value);
    // At most maxLength characters of the text, up to its NUL; a null text stores an empty String.
    // A text above 1023 characters is stored as "ERROR:" (still 0).
    JLIB::JResult insertString(const std::string& key, const char* text, unsigned int maxLength);
    // The whole text; always 0, and stored even under an empty key.
    JLIB::JResult insertString(const std::string& key, const std::string& text);
    // A copy of the bytes; refused for null bytes or length 0.
    JLIB::JResult insertBinary(const std::string& key, const unsigned char* bytes, unsigned int length);
    // Decodes standard Base64 (up to the first "=") and stores the bytes as a Binary; refused for a
    // null text, a length of 0 or of 2^31 and more, text that does not decode or decodes to nothing.
    JLIB::JResult insertBase64(const std::string& key, const char* text, unsigned int length);
    // A copy of any value, an invalid one included.
    JLIB::JResult insertJVariant(const std::string& key, const JVariant& value);

    // The JVariant type id, 5 for a missing key.
    int getType(const std::string& key) const;
    // The JVariant conversions of the stored value; a missing key gives 0 or null and clears the
    // flag. Pointers stay valid until the map changes.
    int toInt32(const std::string& key, bool* ok = nullptr) const;
    unsigned int toUInt32(const std::string& key, bool* ok = nullptr) const;
    float toFloat(const std::string& key, bool* ok = nullptr) const;
    const char* toString(const std::string& key, bool* ok = nullptr) const;
    unsigned int getStringLength(const std::string& key, bool* ok = nullptr) const;
    const unsigned char* toBinary(const std::string& key, bool* ok = nullptr) const;
    unsigned int getBinaryLength(const std::string& key, bool* ok = nullptr) const;
    // The Base64 text of a stored non-empty Binary; otherwise an empty text and the flag cleared.
    std::string toBase64Data(const std::string& key, bool* ok = nullptr) const;
    // A copy of the stored value; a missing key gives an invalid value and clears the flag, which
    // is left untouched when the key exists.
    JVariant toJVariant(const std::string& key, bool* ok = nullptr) const;

    bool hasKey(const std::string& key) const { return m_values.count(key) != 0; }
    std::vector<std::string> keys() const;
    size_t size() const { return m_values.size(); }
    void clear() { m_values.clear(); }

private:
    const JVariant* find(const std::string& key) const;
    // Stores the value unless the key is present; 0 either way.
    JLIB::JResult store(const std::string& key, JVariant&& value);

    std::map<std::string, JVariant> m_values;
};

}  // namespace VDProtocol
