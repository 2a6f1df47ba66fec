#include "fsw/Charcode.h"

namespace {

// Writes units in order while they fit together with a terminator; counts them either way.
template <typename Unit>
class UnitSink {
public:
    UnitSink(Unit* destination, uint32_t length) : m_pDestination(destination), m_length(length)
    {
        if (m_length != 0) m_pDestination[0] = Unit(0);
    }

    void put(const Unit* units, uint32_t count)
    {
        if (m_fits && m_length != 0 && m_used + count + 1 <= m_length) {
            for (uint32_t k = 0; k < count; ++k) m_pDestination[m_used + k] = units[k];
            m_written = m_used + count;
        } else {
            m_fits = false;  // later units would land out of order
        }
        m_used += count;
    }

    uint32_t finish()
    {
        if (m_length == 0) return m_used + 1;
        m_pDestination[m_written] = Unit(0);  // every write left room for it
        return m_fits ? m_used + 1 : 0;
    }

    void fail()
    {
        if (m_length != 0) m_pDestination[0] = Unit(0);
    }

private:
    Unit* m_pDestination;
    uint32_t m_length;
    uint32_t m_used = 0;     // units the whole text needs so far
    uint32_t m_written = 0;  // units actually in the destination
    bool m_fits = true;
};

int leadingOnes(uint8_t b)
{
    int n = 0;
    while (n < 8 && (b & (0x80u >> n))) ++n;
    return n;
}

}  // namespace

uint32_t Charcode_Utf8toUtf16(const char* source, uint32_t sourceLength, uint16_t* destination,
                              uint32_t destinationLength)
{
    if (!source || (!destination && destinationLength != 0)) return 0;
    const auto* src = reinterpret_cast<const uint8_t*>(source);
    UnitSink<uint16_t> sink(destination, destinationLength);
    uint32_t i = 0;
    while (i < sourceLength && src[i] != 0) {
        const uint8_t lead = src[i++];
        const int ones = leadingOnes(lead);
        uint32_t value = lead;
        if (ones == 1 || ones > 6) continue;  // a lone continuation byte, or 0xFE / 0xFF
        if (ones >= 2) {
            value = lead & (0x7Fu >> ones);
            for (int k = 1; k < ones && i < sourceLength && (src[i] & 0xC0) == 0x80; ++k) {
                value = (value << 6) | (src[i++] & 0x3Fu);
            }
        }
        if (value > 0x10FFFF) value = 0xFFFD;  // a surrogate pair cannot carry it
        if (value < 0x10000) {
            const uint16_t unit = static_cast<uint16_t>(value);
            sink.put(&unit, 1);
        } else {
            const uint32_t v = value - 0x10000;
            const uint16_t pair[2] = {static_cast<uint16_t>(0xD800 + (v >> 10)),
                                      static_cast<uint16_t>(0xDC00 + (v & 0x3FF))};
            sink.put(pair, 2);
        }
    }
    return sink.finish();
}

uint32_t Charcode_Utf16toUtf8(const uint16_t* source, uint32_t sourceLength, char* destination,
                              uint32_t destinationLength)
{
    if (!source || (!destination && destinationLength != 0)) return 0;
    UnitSink<char> sink(destination, destinationLength);
    uint32_t i = 0;
    while (i < sourceLength && source[i] != 0) {
        uint32_t value = source[i++];
        if (value >= 0xDC00 && value <= 0xDFFF) continue;
        if (value >= 0xD800 && value <= 0xDBFF) {
            if (i >= sourceLength || source[i] < 0xDC00 || source[i] > 0xDFFF) {
                sink.fail();
                return 0;
            }
            value = ((value - 0xD800) << 10) + (source[i++] - 0xDC00) + 0x10000;
        }
        char bytes[6];
        uint32_t count = 0;
        if (value < 0x80) {
            bytes[count++] = static_cast<char>(value);
        } else {
            static const uint32_t kLimits[] = {0x800, 0x10000, 0x200000, 0x4000000};
            static const uint8_t kLeads[] = {0xC0, 0xE0, 0xF0, 0xF8, 0xFC};
            uint32_t extra = 1;
            while (extra < 5 && value >= kLimits[extra - 1]) ++extra;
            bytes[0] = static_cast<char>(kLeads[extra - 1] | (value >> (6 * extra)));
            for (uint32_t k = 1; k <= extra; ++k) {
                bytes[k] = static_cast<char>(0x80 | ((value >> (6 * (extra - k))) & 0x3F));
            }
            count = extra + 1;
        }
        sink.put(bytes, count);
    }
    return sink.finish();
}
