#include "jlib_printf.h"

#include <algorithm>
#include <cwchar>

namespace {

// Writes while a place is left; what does not fit is dropped, but the walk goes on
// so that every argument the format names is still taken.
template <typename Ch>
class BoundedWriter {
public:
    BoundedWriter(Ch* buffer, uint32_t size) : m_pos(buffer), m_left(size - 1) {}

    bool full() const { return m_left == 0; }
    void put(Ch ch)
    {
        if (m_left == 0) return;
        *m_pos++ = ch;
        --m_left;
        ++m_written;
    }
    // Literal runs and texts are copied as one block: the per-character path dominated every trace line.
    void putRun(const Ch* text, size_t count)
    {
        const size_t n = count < m_left ? count : m_left;
        std::copy(text, text + n, m_pos);
        m_pos += n;
        m_left -= static_cast<uint32_t>(n);
        m_written += static_cast<uint32_t>(n);
    }
    // Padding stops early once the buffer is full: the rest would be dropped anyway.
    void repeat(Ch ch, int64_t count)
    {
        for (int64_t i = 0; i < count && !full(); ++i) put(ch);
    }
    uint32_t finish()
    {
        *m_pos = Ch(0);
        return m_written;
    }

private:
    Ch* m_pos;
    uint32_t m_left;
    uint32_t m_written = 0;
};

struct Spec {
    bool plus = false;
    bool left = false;
    bool zero = false;
    uint32_t width = 0;
};

template <typename Ch>
void putNumber(BoundedWriter<Ch>& out, const Spec& spec, uint32_t magnitude, char sign, unsigned base, bool upper)
{
    static const char kLower[] = "0123456789abcdef";
    static const char kUpper[] = "0123456789ABCDEF";
    const char* digitSet = upper ? kUpper : kLower;

    // Ten places hold every 32-bit value in decimal, the widest base used.
    char digits[10];
    int n = 0;
    do {
        digits[n++] = digitSet[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);

    const int s = sign ? 1 : 0;
    const int64_t pad = int64_t{spec.width} - s - n;
    if (spec.zero) {
        if (sign) out.put(Ch(sign));
        out.repeat(Ch('0'), pad);
        while (n > 0) out.put(Ch(digits[--n]));
    } else if (spec.left) {
        if (sign) out.put(Ch(sign));
        while (n > 0) out.put(Ch(digits[--n]));
        out.repeat(Ch(' '), pad);
    } else {
        out.repeat(Ch(' '), pad);
        if (sign) out.put(Ch(sign));
        while (n > 0) out.put(Ch(digits[--n]));
    }
}

template <typename Ch>
size_t textLength(const Ch* text)
{
    size_t n = 0;
    while (text[n] != Ch(0)) ++n;
    return n;
}

template <typename Ch>
void putText(BoundedWriter<Ch>& out, const Spec& spec, const Ch* text)
{
    static const Ch kEmpty[1] = {};
    if (!text) text = kEmpty;  // a null text counts as empty
    const size_t length = textLength(text);
    const int64_t pad = int64_t{spec.width} - static_cast<int64_t>(length);
    if (!spec.left) out.repeat(Ch(' '), pad);
    out.putRun(text, length);
    if (spec.left) out.repeat(Ch(' '), pad);
}

enum class State { Text, Flags, Width, Conversion };

template <typename Ch>
JLIB::JResult formatBounded(Ch* buffer, uint32_t size, uint32_t* length, const Ch* format, va_list args)
{
    if (!buffer || !format || size == 0) return JLIB::kFailed;

    BoundedWriter<Ch> out(buffer, size);
    State state = State::Text;
    Spec spec;
    const Ch* p = format;
    while (*p != Ch(0)) {
        const Ch ch = *p;
        switch (state) {
        case State::Text:
            if (ch == Ch('%')) {
                spec = Spec();
                state = State::Flags;
                ++p;
            } else {
                const Ch* end = p;
                while (*end != Ch(0) && *end != Ch('%')) ++end;
                out.putRun(p, static_cast<size_t>(end - p));
                p = end;
            }
            break;
        case State::Flags:
            if (ch == Ch('%') && p[-1] == Ch('%')) {
                out.put(ch);
                state = State::Text;
                ++p;
            } else if (ch == Ch('+')) {
                spec.plus = true;
                ++p;
            } else if (ch == Ch('-')) {
                spec.left = true;
                ++p;
            } else if (ch == Ch('0')) {
                spec.zero = true;
                ++p;
            } else {
                state = State::Width;
            }
            break;
        case State::Width:
            if (ch >= Ch('0') && ch <= Ch('9')) {
                // Saturates instead of wrapping; the output is bounded by the buffer anyway.
                const uint32_t digit = static_cast<uint32_t>(ch - Ch('0'));
                spec.width = spec.width > (0xFFFFFFFFu - digit) / 10 ? 0xFFFFFFFFu : spec.width * 10 + digit;
                ++p;
            } else {
                state = State::Conversion;
            }
            break;
        case State::Conversion:
            state = State::Text;
            switch (ch) {
            case Ch('d'): {
                const int v = va_arg(args, int);
                const uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
                const char sign = v < 0 ? '-' : (spec.plus && v > 0 ? '+' : 0);
                putNumber(out, spec, magnitude, sign, 10, false);
                break;
            }
            case Ch('u'):
                putNumber(out, spec, va_arg(args, unsigned int), 0, 10, false);
                break;
            case Ch('x'):
                putNumber(out, spec, va_arg(args, unsigned int), 0, 16, false);
                break;
            case Ch('X'):
                putNumber(out, spec, va_arg(args, unsigned int), 0, 16, true);
                break;
            case Ch('c'): {
                const int v = va_arg(args, int);
                if constexpr (sizeof(Ch) == 1) {
                    out.put(static_cast<Ch>(static_cast<unsigned char>(v)));
                } else {
                    out.put(static_cast<Ch>(v));
                }
                break;
            }
            case Ch('s'):
                putText(out, spec, va_arg(args, const Ch*));
                break;
            default:
                continue;  // not a conversion: the character is printed as text
            }
            ++p;
            break;
        }
    }

    const uint32_t written = out.finish();
    if (length) *length = written;
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult jlib_vsnprintf(char* buffer, uint32_t size, uint32_t* length, const char* format, va_list args)
{
    return formatBounded(buffer, size, length, format, args);
}

JLIB::JResult jlib_snprintf(char* buffer, uint32_t size, uint32_t* length, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const JLIB::JResult r = formatBounded(buffer, size, length, format, args);
    va_end(args);
    return r;
}

JLIB::JResult jlib_wvsnprintf(wchar_t* buffer, uint32_t size, uint32_t* length, const wchar_t* format, va_list args)
{
    return formatBounded(buffer, size, length, format, args);
}

JLIB::JResult jlib_wsnprintf(wchar_t* buffer, uint32_t size, uint32_t* length, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const JLIB::JResult r = formatBounded(buffer, size, length, format, args);
    va_end(args);
    return r;
}
