#pragma once
// A parameter value to and from its display text: through the value expression its kind names
// ("OnOff", "Level", "String"), otherwise by the value's or the parameter's type. The shared
// expressions are built before any thread starts and only read; an adapter is read-only after
// construction, so any task may use it.
#include <cstdint>
#include <string>

#include "PDB/Expression/ExpressionCollection.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace Expression {
class IExpression;
class DefaultExpression;
class OnOffExpression;
class LevelExpression;
class StringTableExpression;
struct PrmAttribute;
}  // namespace Expression

namespace PDB {
class ParameterInfo;
}

namespace VDProtocol {

extern Expression::DefaultExpression gDefaultExpression;          // knob 30 to 330
extern Expression::OnOffExpression gOnOffExpression;
extern Expression::LevelExpression gLevelExpression;
extern Expression::StringTableExpression gStringTableExpression;  // no rows, knob 30 to 330

struct ExpressionTableRow {
    const char* name;  // "" for the unnamed row
    Expression::IExpression* expression;
};
constexpr uint32_t kExpressionTableRows = 4;
extern const ExpressionTableRow gExpressionTable[kExpressionTableRows];

class ExpressionAdapter {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;

    // Registers every row of the table under the kind value of its name.
    ExpressionAdapter();
    virtual ~ExpressionAdapter();
    ExpressionAdapter(const ExpressionAdapter&) = delete;
    ExpressionAdapter& operator=(const ExpressionAdapter&) = delete;

    // A non-empty registered kind: the expression's text without unit (invalid when it fails).
    // Otherwise Int32 and UInt32 as signed decimal, a String copied, a Float with six decimals;
    // a Binary or invalid value gives an invalid value.
    JVariant toText(const PDB::ParameterInfo& info, const JVariant& value) const;
    // A non-empty registered kind: the expression's conversion. Otherwise numbers of any literal
    // kind are read and fitted to the parameter's type (fitNumber), a STRING takes a copy.
    // 0x80000000 for a value that is no String or a BINARY or unknown type, the parser's code for
    // a text that is no number; the output is written only on success.
    [[nodiscard]] JLIB::JResult fromText(JVariant& value, const PDB::ParameterInfo& info, const JVariant& text) const;
    // The registered expression of the kind, or null.
    Expression::IExpression* getExpression(const std::string& kind) const;
    // Minimum, maximum, nominal, default, step, scaling and the unit cut to 24 characters. 0.
    JLIB::JResult getAttribute(Expression::PrmAttribute& attribute, const PDB::ParameterInfo& info) const;

    // A number (Int32, UInt32 or Float) as the value the parameter's type holds: a fraction for an
    // integer type is rounded to the nearest integer and held within the type's 32-bit range, an
    // integer for a FLOAT becomes that number. Texts and other types are copied unchanged.
    static JVariant fitNumber(const PDB::ParameterInfo& info, const JVariant& number);

private:
    // Its lookups record nothing; only the constructor adds.
    mutable Expression::ExpressionCollection m_collection;
};

}  // namespace VDProtocol
