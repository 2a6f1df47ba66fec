#include "editor/ExpressionAdapter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "PDB/Expression/DefaultExpression.h"
#include "PDB/Expression/LevelExpression.h"
#include "PDB/Expression/OnOffExpression.h"
#include "PDB/Expression/PrmAttribute.h"
#include "PDB/Expression/StringTableExpression.h"
#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterInfo.h"
#include "jlib/jlib_number.h"

namespace VDProtocol {

Expression::DefaultExpression gDefaultExpression(30, 330);
Expression::OnOffExpression gOnOffExpression;
Expression::LevelExpression gLevelExpression;
Expression::StringTableExpression gStringTableExpression(nullptr, 0, 30, 330);

const ExpressionTableRow gExpressionTable[kExpressionTableRows] = {
    {"", &gDefaultExpression},
    {"OnOff", &gOnOffExpression},
    {"Level", &gLevelExpression},
    {"String", &gStringTableExpression},
};

namespace {

constexpr uint32_t kTextSize = 128;
constexpr uint16_t kTextForm = 1;  // first text form, unit flag clear
constexpr uint32_t kUnitCharacters = Expression::PrmAttribute::kUnitCapacity - 1;

bool isIntegerType(uint8_t type)
{
    const uint8_t kind = type >> 4;
    return kind == 1 || kind == 2 || kind == 4;
}

bool isNumberType(uint8_t type) { return isIntegerType(type) || type == PDB::kTypeFloat; }

// The literal's value in the kind it was written in.
JVariant literalValue(uint32_t bits, CATEGORY_JLIB_TYPE category)
{
    switch (category) {
    case CATEGORY_JLIB_NEGATIVE: return JVariant(static_cast<int>(bits));
    case CATEGORY_JLIB_FLOAT: {
        float number = 0.0f;
        std::memcpy(&number, &bits, sizeof number);
        return JVariant(number);
    }
    default: return JVariant(static_cast<unsigned int>(bits));
    }
}

}  // namespace

ExpressionAdapter::ExpressionAdapter()
{
    for (const ExpressionTableRow& row : gExpressionTable) {
        if (!row.expression) continue;
        // Each row has its own name, so no kind value is taken twice.
        (void)m_collection.add(m_collection.registerName(row.name), row.expression);
    }
}

ExpressionAdapter::~ExpressionAdapter() = default;

Expression::IExpression* ExpressionAdapter::getExpression(const std::string& kind) const
{
    return m_collection.get(m_collection.getKindValue(kind.c_str()));
}

JLIB::JResult ExpressionAdapter::getAttribute(Expression::PrmAttribute& attribute, const PDB::ParameterInfo& info) const
{
    attribute.m_Minimum = info.min;
    attribute.m_Maximum = info.max;
    attribute.m_Nominal = info.nominal;
    attribute.m_Default = info.def;
    attribute.m_Step = info.step;
    attribute.m_Scaling = info.scaling;
    const size_t length = std::min<size_t>(info.unit.size(), kUnitCharacters);
    std::memcpy(attribute.m_Unit, info.unit.data(), length);
    attribute.m_Unit[length] = '\0';
    attribute.m_UnitLength = static_cast<uint32_t>(length);
    return JLIB::kOk;
}

JVariant ExpressionAdapter::toText(const PDB::ParameterInfo& info, const JVariant& value) const
{
    if (!info.kind.empty()) {
        if (Expression::IExpression* expression = getExpression(info.kind)) {
            Expression::PrmAttribute attribute;
            (void)getAttribute(attribute, info);
            char buffer[kTextSize] = {};
            uint32_t length = 0;
            if (JLIB::isFailure(expression->toText(buffer, length, kTextSize, value, attribute, kTextForm))) {
                return JVariant();
            }
            return JVariant(buffer, kTextSize);
        }
    }
    char buffer[64];
    switch (value.getType()) {
    case JVariant::kTypeInt32:
    case JVariant::kTypeUInt32:
        (void)std::snprintf(buffer, sizeof buffer, "%d", value.toInt32());
        return JVariant(buffer, sizeof buffer);
    case JVariant::kTypeFloat:
        (void)std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value.toFloat()));
        return JVariant(buffer, sizeof buffer);
    case JVariant::kTypeString: return value;
    default: return JVariant();
    }
}

JLIB::JResult ExpressionAdapter::fromText(JVariant& value, const PDB::ParameterInfo& info, const JVariant& text) const
{
    bool isText = false;
    const char* chars = text.toString(&isText);
    if (!isText || !chars) return kFailed;
    if (!info.kind.empty()) {
        if (Expression::IExpression* expression = getExpression(info.kind)) {
            Expression::PrmAttribute attribute;
            (void)getAttribute(attribute, info);
            return expression->fromText(value, chars, text.getStringLength(), attribute);
        }
    }
    if (info.type == PDB::kTypeString) {
        value = text;
        return JLIB::kOk;
    }
    if (!isNumberType(info.type)) return kFailed;
    CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
    uint32_t bits = 0;
    const JLIB::JResult parsed = jlib_str2value(&bits, &category, chars, std::strlen(chars));
    if (JLIB::isFailure(parsed)) return parsed;
    value = fitNumber(info, literalValue(bits, category));
    return JLIB::kOk;
}

JVariant ExpressionAdapter::fitNumber(const PDB::ParameterInfo& info, const JVariant& number)
{
    const int type = number.getType();
    const bool isNumber = type == JVariant::kTypeInt32 || type == JVariant::kTypeUInt32 || type == JVariant::kTypeFloat;
    if (!isNumber || !isNumberType(info.type)) return number;
    // Int32 and UInt32 keep their sign through double; a Float is widened exactly.
    const double exact = type == JVariant::kTypeInt32    ? static_cast<double>(number.toInt32())
                         : type == JVariant::kTypeUInt32 ? static_cast<double>(number.toUInt32())
                                                         : static_cast<double>(number.toFloat());
    if (info.type == PDB::kTypeFloat) return JVariant(static_cast<float>(exact));
    double rounded = std::isnan(exact) ? 0.0 : std::round(exact);
    if ((info.type >> 4) == 2) {
        rounded = std::fmin(std::fmax(rounded, double(std::numeric_limits<int32_t>::min())),
                            double(std::numeric_limits<int32_t>::max()));
        return JVariant(static_cast<int>(rounded));
    }
    rounded = std::fmin(std::fmax(rounded, 0.0), double(std::numeric_limits<uint32_t>::max()));
    return JVariant(static_cast<unsigned int>(rounded));
}

}  // namespace VDProtocol
