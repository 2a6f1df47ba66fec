// Display texts typed by a user, converted back to values by every expression kind.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "PDB/Expression/DefaultExpression.h"
#include "PDB/Expression/Freq12F24Expression.h"
#include "PDB/Expression/LevelExpression.h"
#include "PDB/Expression/OnOffExpression.h"
#include "PDB/Expression/PrmAttribute.h"
#include "PDB/Expression/Q6F12Expression.h"
#include "PDB/Expression/StringTableExpression.h"

namespace {

const Expression::StringTableExpression::TableForm kRows[] = {
    {"OFF", "Off", nullptr}, {"A", "Alpha", "a"}, {"B", nullptr, "b"}};

// The first byte picks the parameter's range type and scaling; the rest is the text.
Expression::PrmAttribute attributeFor(uint8_t selector)
{
    Expression::PrmAttribute attr;
    if (selector & 1) {
        attr.m_Minimum = -1000.0f;
        attr.m_Maximum = 20000.0f;
        attr.m_Step = 0.5f;
    } else {
        attr.m_Minimum = (selector & 2) ? -0x7FFFFFFF : 0;
        attr.m_Maximum = (selector & 4) ? 0x7FFFFFFF : 1000;
        attr.m_Step = (selector & 8) ? 0 : 1;
    }
    const uint32_t scalings[] = {0, 1, 10, 100};
    attr.m_Scaling = scalings[(selector >> 4) & 3];
    if (selector & 0x40) {
        std::strcpy(attr.m_Unit, "dB");
        attr.m_UnitLength = 2;
    }
    return attr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    static Expression::DefaultExpression defaultExpression(30, 330);
    static Expression::OnOffExpression onOff;
    static Expression::LevelExpression level;
    static Expression::Freq12F24Expression frequency;
    static Expression::Q6F12Expression q;
    static Expression::StringTableExpression table(kRows, 3, 30, 330);
    const Expression::IExpression* kinds[] = {&defaultExpression, &onOff, &level, &frequency, &q, &table};

    const Expression::PrmAttribute attr = attributeFor(data[0]);
    // Callers hand over terminated texts (from JSON strings and OSC arguments).
    const std::string copy(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* text = copy.c_str();
    const uint32_t length = static_cast<uint32_t>(copy.size());
    for (const Expression::IExpression* kind : kinds) {
        JVariant value;
        if (JLIB::isFailure(kind->fromText(value, text, length, attr))) continue;
        char buffer[64];
        uint32_t written = 0;
        (void)kind->toText(buffer, written, sizeof(buffer), value, attr, 0);
        uint32_t degree = 0;
        (void)kind->toDegree(degree, value, attr);
    }
    return 0;
}
