#pragma once
// One typed argument or reply field of a text control command: its tag (the JSON member name),
// whether it holds a value, how it reads one token and how it prints itself in either form and
// character set. Not locked: belongs to one command object on the server's thread.
#include <cstdint>

#include "jlib/JDataStream.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpElement {
public:
    // Statuses of decode: 0 accepted, 1 accepted with a clamped number or a cut token.
    static constexpr JLIB::JResult kAdjusted = 1;
    static constexpr JLIB::JResult kStreamFull = 0x80000006u;

    ScpElement() = default;
    explicit ScpElement(const char* tag, bool set) : m_pTag(tag), m_set(set) {}
    ScpElement(const ScpElement&) = default;
    ScpElement& operator=(const ScpElement&) = default;
    virtual ~ScpElement();

    // Set flag off and the value back to its empty form.
    virtual void clear() { m_set = false; }
    virtual uint32_t capacity() const { return 1; }
    // Reads one token as collected by a decoder (double quotes still in it).
    [[nodiscard]] virtual JLIB::JResult decode(const ScpString& token) = 0;
    // Appends the printed form; 0x80000006 when the stream is full.
    [[nodiscard]] virtual JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                               JLIB::JDataStream<unsigned char>& stream) = 0;

    // The tag is borrowed: a constant text that outlives the element.
    void initialize(const char* tag)
    {
        m_pTag = tag;
        clear();
    }
    const char* getTag() const { return m_pTag; }
    bool isSet() const { return m_set; }

protected:
    void markSet(bool set) { m_set = set; }

private:
    const char* m_pTag = nullptr;
    bool m_set = false;
};

}  // namespace SCP
