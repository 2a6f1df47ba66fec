#include "PDB/Expression/OnOffExpression.h"

#include <cstring>

#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"

namespace Expression {

namespace {

constexpr uint32_t kKnobLow = 30;
constexpr uint32_t kKnobHigh = 330;
// Room for "OFF" and its terminator.
constexpr uint32_t kMinimumBuffer = 4;

}  // namespace

OnOffExpression::OnOffExpression() : DefaultExpression(kKnobLow, kKnobHigh) {}

JLIB::JResult OnOffExpression::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                      const PrmAttribute& attr, uint16_t) const
{
    if (buffer == nullptr || size < kMinimumBuffer) return kNotSupported;
    length = 0;
    const int32_t v = value.toInt32();
    const char* text = nullptr;
    if (v == attr.m_Minimum.toInt32())
        text = "OFF";
    else if (v == attr.m_Maximum.toInt32())
        text = "ON";
    else
        return kOutOfRange;
    const uint32_t bytes = static_cast<uint32_t>(std::strlen(text)) + 1;
    std::memcpy(buffer, text, bytes);
    length = bytes;
    return kOk;
}

JLIB::JResult OnOffExpression::fromText(JVariant& out, const char* text, uint32_t length, const PrmAttribute&) const
{
    if (text == nullptr || length == 0) return kBadArgument;
    static const struct {
        const char* text;
        int value;
    } kWords[] = {{"OFF", 0}, {"ON", 1}, {"0", 0}, {"1", 1}};
    for (const auto& word : kWords) {
        if (ParameterProc::Utilities::_strcmpi(text, word.text) == 0) {
            out = word.value;
            return kOk;
        }
    }
    return kBadArgument;
}

}  // namespace Expression
