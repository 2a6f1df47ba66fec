#include "OscServer/OscCore/OscServerHelpers.h"

#include "jlib/jlib_number.h"
#include "jlib/jlib_printf.h"

namespace JOSC {

namespace {

// Indexed by the error code with its top bit cleared.
const char* const kErrorNames[] = {
    "InternalError", "UnknownCommand", "UnsupportedCommand", "WrongFormat", "InvalidArgument",
    "UnknownAddress", "UnknownEventID", "TooLongCommand",    "AccessDenied", "ReadOnly",
    "NoPermission",  "Overload",       "Overflow",           "Clipped",
};
constexpr uint32_t kErrorNameCount = sizeof(kErrorNames) / sizeof(kErrorNames[0]);
constexpr uint32_t kWindowMs = 1000;

// The whole text as a decimal 32-bit number; false when it is not one.
bool readInt32(const std::string& text, int32_t& value)
{
    if (!checkDigit(text)) return false;
    const char* end = nullptr;
    const uint32_t r = jlib_strntol(&value, text.c_str(), &end, 10, static_cast<uint32_t>(text.size()));
    return JLIB::isSuccess(r) && end == text.c_str() + text.size();
}

std::string format(const char* pattern, int32_t value)
{
    char text[16] = {};
    if (JLIB::isFailure(jlib_snprintf(text, sizeof(text), nullptr, pattern, value))) return std::string();
    return text;
}

}  // namespace

void split(std::vector<std::string>& pieces, const std::string& text, const std::string& separator, bool dropEmpty)
{
    if (separator.empty()) {
        if (!text.empty() || !dropEmpty) pieces.push_back(text);
        return;
    }
    std::string::size_type start = 0;
    while (true) {
        const std::string::size_type at = text.find(separator, start);
        const std::string piece = text.substr(start, at == std::string::npos ? std::string::npos : at - start);
        if (!piece.empty() || !dropEmpty) pieces.push_back(piece);
        if (at == std::string::npos) return;
        start = at + separator.size();
    }
}

bool checkDigit(const std::string& text)
{
    std::string::size_type i = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

std::string convertOrign1to0(const std::string& text)
{
    int32_t value = 0;
    if (!readInt32(text, value) || value <= 0) return std::string();
    return format("%d", value - 1);
}

std::string convertOrign0to1(const std::string& text)
{
    int32_t value = 0;
    if (!readInt32(text, value) || value < 0) return std::string();
    // Unsigned, so that the largest index still gets its successor rather than a wrapped sign.
    char out[16] = {};
    if (JLIB::isFailure(jlib_snprintf(out, sizeof(out), nullptr, "%u", static_cast<uint32_t>(value) + 1u))) {
        return std::string();
    }
    return out;
}

JVariant makeErrorValue(uint32_t code)
{
    uint32_t index = code & 0x7FFFFFFFu;
    if (index >= kErrorNameCount) index = 0;
    return JVariant(kErrorNames[index], JVariant::kMaxStringLength);
}

bool IsElapsed1000Ms(uint32_t earlier, uint32_t later) { return later - earlier > kWindowMs; }

}  // namespace JOSC
