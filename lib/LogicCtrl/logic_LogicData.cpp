#include "logic_LogicData.h"

#include <cstring>
#include <utility>

#include "PDB/Expression/DefaultExpression.h"
#include "PDB/Expression/ExpressionCollection.h"
#include "PDB/Expression/PrmAttribute.h"
#include "logic_Result.h"

namespace LogicCtrl {

namespace {

// Resolution of every ratio conversion: ratios run 0..999.
constexpr uint32_t kSteps = 1000;
constexpr float kTopRatio = 999.0f;
// Float ranges cross the integer-only expression as thousandths.
constexpr float kFloatScale = 1000.0f;

bool isUnsignedKind(LogicDataType type)
{
    return type == kLogicDataUInt || type == kLogicDataUInt2 || type == kLogicDataUInt3;
}

bool isNumericKind(LogicDataType type) { return type >= kLogicDataNormalized && type <= kLogicDataUInt3; }

bool isValueKind(LogicDataType type) { return type >= kLogicDataNormalized && type <= kLogicDataString; }

// Truncating float casts that stay defined for NaN and out-of-range inputs (which a received
// normalised value may carry).
uint32_t truncToUInt32(float x)
{
    if (!(x > 0.0f)) return 0;
    if (x >= 4294967296.0f) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(x);
}

int32_t truncToInt32(float x)
{
    if (x != x) return 0;
    if (x >= 2147483648.0f) return INT32_MAX;
    if (x <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(x);
}

// The bounds may come in either order.
template <typename T>
T limit(T x, T lo, T hi)
{
    if (hi >= lo) {
        if (x < lo) return lo;
        if (x > hi) return hi;
        return x;
    }
    if (x < hi) return hi;
    if (x > lo) return lo;
    return x;
}

const JVariant& sharedInvalidValue()
{
    static const JVariant s_invalid;
    return s_invalid;
}

}  // namespace

Expression::IExpression& logic_GetExpression(const char* name)
{
    // Nothing registers converters here; the lookup stays so that names keep their meaning.
    static Expression::ExpressionCollection s_collection;
    static Expression::DefaultExpression s_default(30, 330);
    Expression::IExpression* found = s_collection.get(s_collection.getKindValue(name));
    return found ? *found : s_default;
}

LogicData::LogicData()
    : m_type(kLogicDataNone), m_normValue(0.0f), m_dirty(false), m_pExpression(&logic_GetExpression(nullptr))
{
}

LogicData::LogicData(LogicDataType type, const JVariant& value, const char* expressionName, const JVariant& minimum,
                     const JVariant& maximum)
    : LogicData()
{
    if (JLIB::isFailure(initialize(type, expressionName, minimum, maximum))) return;
    if (isValueKind(type)) (void)setValue(value);  // kind 7 refuses a number: it starts invalid
}

LogicData::LogicData(LogicDataType type, const char* expressionName) : LogicData()
{
    (void)initialize(type, expressionName, JVariant(), JVariant());  // an unknown kind stays kind 0
}

LogicData::LogicData(const LogicData& other)
    : m_type(other.m_type),
      m_minimum(other.m_minimum),
      m_maximum(other.m_maximum),
      m_value(other.m_value),
      m_prevValue(other.m_prevValue),
      m_normValue(other.m_normValue),
      m_dirty(true),
      m_pExpression(other.m_pExpression)
{
}

LogicData::LogicData(LogicData&& other) noexcept
    : m_type(other.m_type),
      m_minimum(std::move(other.m_minimum)),
      m_maximum(std::move(other.m_maximum)),
      m_value(std::move(other.m_value)),
      m_prevValue(std::move(other.m_prevValue)),
      m_normValue(other.m_normValue),
      m_dirty(true),
      m_pExpression(other.m_pExpression)
{
}

LogicData& LogicData::operator=(const LogicData& other)
{
    if (this != &other) {
        m_type = other.m_type;
        m_minimum = other.m_minimum;
        m_maximum = other.m_maximum;
        m_value = other.m_value;
        m_prevValue = other.m_prevValue;
        m_normValue = other.m_normValue;
        m_pExpression = other.m_pExpression;
    }
    m_dirty = true;
    return *this;
}

LogicData& LogicData::operator=(LogicData&& other) noexcept
{
    if (this != &other) {
        m_type = other.m_type;
        m_minimum = std::move(other.m_minimum);
        m_maximum = std::move(other.m_maximum);
        m_value = std::move(other.m_value);
        m_prevValue = std::move(other.m_prevValue);
        m_normValue = other.m_normValue;
        m_pExpression = other.m_pExpression;
    }
    m_dirty = true;
    return *this;
}

LogicData::~LogicData() = default;

JLIB::JResult LogicData::initialize(LogicDataType type, const char* expressionName, const JVariant& minimum,
                                    const JVariant& maximum)
{
    if (type < kLogicDataNormalized || type > kLogicDataEvent) return kInvalidArgument;
    m_type = type;
    if (type == kLogicDataNormalized) {
        m_minimum = 0.0f;
        m_maximum = 1.0f;
        m_value = 0.0f;
    } else if (isNumericKind(type)) {
        m_minimum = minimum;
        m_maximum = maximum;
        (void)m_value.invalid();  // always 0
    } else {
        (void)m_minimum.invalid();
        (void)m_maximum.invalid();
        (void)m_value.invalid();
    }
    (void)m_prevValue.invalid();
    m_normValue = 0.0f;
    m_dirty = false;
    m_pExpression = &logic_GetExpression(expressionName);
    return JLIB::kOk;
}

JLIB::JResult LogicData::setValue(const JVariant& value)
{
    if (!isNumericKind(m_type)) return kWrongState;
    m_prevValue = m_value;
    if (m_type == kLogicDataNormalized) {
        m_value = clipValue(JVariant(value.toFloat()));
        m_normValue = m_value.toFloat();
    } else {
        if (isUnsignedKind(m_type)) {
            m_value = clipValue(JVariant(value.toUInt32()));
        } else if (m_type == kLogicDataSInt) {
            m_value = clipValue(JVariant(value.toInt32()));
        } else {
            m_value = clipValue(JVariant(value.toFloat()));
        }
        m_normValue = rawToNorm(value);
    }
    markDirtyIfChanged();
    return JLIB::kOk;
}

JLIB::JResult LogicData::setNormValue(float normalized)
{
    if (!isNumericKind(m_type)) return kWrongState;
    // NaN would pass both limits and spread through every port fed from this one.
    if (!(normalized >= 0.0f)) normalized = 0.0f;
    if (normalized > 1.0f) normalized = 1.0f;
    m_prevValue = m_value;
    m_value = (m_type == kLogicDataNormalized) ? JVariant(normalized) : normToRaw(normalized);
    m_normValue = normalized;
    markDirtyIfChanged();
    return JLIB::kOk;
}

JLIB::JResult LogicData::setString(const char* text)
{
    if (!isValueKind(m_type)) return kWrongState;
    const uint32_t length = text ? static_cast<uint32_t>(std::strlen(text)) : 0;
    m_prevValue = m_value;
    if (m_type == kLogicDataString) {
        m_value = JVariant(text, length);
        m_normValue = 0.0f;
        markDirtyIfChanged();
        return JLIB::kOk;
    }
    Expression::PrmAttribute attr;
    if (m_type == kLogicDataNormalized) {
        attr.m_Minimum = 0.0f;
        attr.m_Maximum = 1.0f;
    } else {
        attr.m_Minimum = m_minimum;
        attr.m_Maximum = m_maximum;
    }
    JVariant produced;
    const JLIB::JResult result = m_pExpression->fromText(produced, text, length, attr);
    if (JLIB::isFailure(result)) return result;
    if (m_type == kLogicDataNormalized) {
        m_value = JVariant(produced.toFloat());
        m_normValue = m_value.toFloat();
    } else {
        m_value = std::move(produced);
        m_normValue = rawToNorm(m_value);
    }
    markDirtyIfChanged();
    return result;
}

JLIB::JResult LogicData::setEvent()
{
    if (m_type == kLogicDataEvent) {
        m_value = JVariant(m_value.toUInt32() + 1u);
    } else if (!isValueKind(m_type)) {
        return kWrongState;
    }
    m_dirty = true;
    return JLIB::kOk;
}

JLIB::JResult LogicData::receive(const LogicData& other)
{
    if (other.m_type == kLogicDataNormalized && m_type != kLogicDataNormalized) {
        const float normalized = other.m_normValue;  // other may be this very port
        m_prevValue = m_value;
        m_value = normToRaw(normalized);
        m_normValue = normalized;
    } else {
        m_prevValue = m_value;
        m_value = clipValue(other.m_value);
        m_normValue = rawToNorm(m_value);
    }
    markDirtyIfChanged();
    return JLIB::kOk;
}

JLIB::JResult LogicData::dataConsumed()
{
    if (m_type == kLogicDataEvent) {
        m_prevValue = m_value;
        m_value = 0u;
    } else if (!isValueKind(m_type)) {
        return kWrongState;
    }
    m_dirty = false;
    return JLIB::kOk;
}

const JVariant& LogicData::getValue() const { return isValueKind(m_type) ? m_value : sharedInvalidValue(); }

uint32_t LogicData::getEventCount() const { return m_type == kLogicDataEvent ? m_value.toUInt32() : 0; }

JVariant LogicData::normToRaw(float normalized) const
{
    const uint32_t ratio = truncToUInt32(normalized * kTopRatio);
    Expression::PrmAttribute attr;
    JVariant produced;
    if (isUnsignedKind(m_type)) {
        attr.m_Minimum = m_minimum.toInt32();
        attr.m_Maximum = m_maximum.toInt32();
        if (JLIB::isFailure(m_pExpression->fromRatio(produced, ratio, kSteps, attr))) return JVariant(0u);
        return JVariant(produced.toUInt32());
    }
    if (m_type == kLogicDataSInt) {
        attr.m_Minimum = m_minimum;
        attr.m_Maximum = m_maximum;
        if (JLIB::isFailure(m_pExpression->fromRatio(produced, ratio, kSteps, attr))) return JVariant(0);
        return produced;
    }
    if (m_type == kLogicDataFloat) {
        attr.m_Minimum = truncToInt32(m_minimum.toFloat() * kFloatScale);
        attr.m_Maximum = truncToInt32(m_maximum.toFloat() * kFloatScale);
        if (JLIB::isFailure(m_pExpression->fromRatio(produced, ratio, kSteps, attr))) return JVariant(0.0f);
        return JVariant(produced.toFloat() / kFloatScale);
    }
    return m_value;
}

float LogicData::rawToNorm(const JVariant& value) const
{
    if (m_type == kLogicDataNormalized) return value.getType() == JVariant::kTypeFloat ? value.toFloat() : 0.0f;
    if (!isNumericKind(m_type)) return 0.0f;
    // A fixed 0..999 scale, not the port's range.
    Expression::PrmAttribute attr;
    attr.m_Minimum = 0;
    attr.m_Maximum = 999;
    uint32_t ratio = 0;
    if (JLIB::isFailure(m_pExpression->toRatio(ratio, kSteps, value, attr))) return 0.0f;
    return static_cast<float>(ratio) / kTopRatio;
}

JVariant LogicData::clipValue(const JVariant& value) const
{
    if (m_type == kLogicDataNormalized || m_type == kLogicDataFloat) {
        return JVariant(limit(value.toFloat(), m_minimum.toFloat(), m_maximum.toFloat()));
    }
    if (m_type == kLogicDataSInt) return JVariant(limit(value.toInt32(), m_minimum.toInt32(), m_maximum.toInt32()));
    if (isUnsignedKind(m_type)) {
        return JVariant(limit(value.toUInt32(), m_minimum.toUInt32(), m_maximum.toUInt32()));
    }
    return value;
}

}  // namespace LogicCtrl
