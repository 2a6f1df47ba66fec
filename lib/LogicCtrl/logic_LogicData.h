#pragma once
// The typed value on one port of a logic component: kind, range, value, previous value, a
// normalised form in 0..1, a dirty flag (changed since last consumed) and the expression that
// converts between them. No lock of its own: the owning component is driven under the network's
// lock, and other users call from their own threads one at a time.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace Expression {
class IExpression;
}

namespace LogicCtrl {

// The kind of a port's data. The numbers are shared with component libraries.
using LogicDataType = uint32_t;
constexpr LogicDataType kLogicDataNone = 0;
constexpr LogicDataType kLogicDataNormalized = 1;  // Float in 0.0..1.0
constexpr LogicDataType kLogicDataUInt = 2;        // UInt32
constexpr LogicDataType kLogicDataSInt = 3;        // Int32
constexpr LogicDataType kLogicDataFloat = 4;       // Float
constexpr LogicDataType kLogicDataUInt2 = 5;       // UInt32, behaves as kind 2
constexpr LogicDataType kLogicDataUInt3 = 6;       // UInt32, behaves as kind 2
constexpr LogicDataType kLogicDataString = 7;      // String
constexpr LogicDataType kLogicDataEvent = 8;       // UInt32: events not yet consumed

// Any thread. The network's converter for an expression name (null or empty: none): its own
// collection of expressions, which nothing fills, so in practice one process-wide
// DefaultExpression(30, 330). Never fails.
Expression::IExpression& logic_GetExpression(const char* name = nullptr);

class LogicData {
public:
    // Kind 0, every value invalid, normalised 0.0, not dirty.
    LogicData();
    // initialize, then for kinds 1 to 7 setValue(value).
    LogicData(LogicDataType type, const JVariant& value, const char* expressionName, const JVariant& minimum,
              const JVariant& maximum);
    // initialize without range; meant for the event kind.
    LogicData(LogicDataType type, const char* expressionName);
    // Copies and moves take every field and then mark the result dirty.
    LogicData(const LogicData& other);
    LogicData(LogicData&& other) noexcept;
    LogicData& operator=(const LogicData& other);
    LogicData& operator=(LogicData&& other) noexcept;
    ~LogicData();

    // Sets the kind and range (kind 1: 0.0..1.0 with value 0.0; kinds 2 to 6: the range given,
    // value invalid; kinds 7, 8: no range, value invalid); previous value invalid, not dirty.
    // 0x80000001 and no change for a kind outside 1 to 8.
    [[nodiscard]] JLIB::JResult initialize(LogicDataType type, const char* expressionName, const JVariant& minimum,
                                           const JVariant& maximum);

    // The set operations below answer 0x80080000 and change nothing on kinds they do not serve.
    // Kinds 1 to 6: the value converted to the kind and clipped; the normalised value is taken
    // from the value as passed, before clipping.
    [[nodiscard]] JLIB::JResult setValue(const JVariant& value);
    // Kinds 1 to 6: the argument limited to 0..1 becomes the normalised value.
    [[nodiscard]] JLIB::JResult setNormValue(float normalized);
    // Kinds 1 to 7. For 1 to 6 the expression reads the text; its failure code comes back and the
    // value stays, but the previous value has already taken the current value.
    [[nodiscard]] JLIB::JResult setString(const char* text);
    // Kind 8 counts one event; kinds 1 to 7 only mark the value dirty.
    [[nodiscard]] JLIB::JResult setEvent();
    // Takes the other port's value over, converted to this kind; always 0.
    JLIB::JResult receive(const LogicData& other);
    // Clears dirty; kind 8 also moves the count into the previous value and restarts at 0.
    [[nodiscard]] JLIB::JResult dataConsumed();

    // Kinds 1 to 7; kinds 0 and 8 give one shared invalid value.
    const JVariant& getValue() const;
    const JVariant& getPrevValue() const { return m_prevValue; }
    float getNormValue() const { return m_normValue; }
    // Kind 8; 0 otherwise.
    uint32_t getEventCount() const;
    bool isValid() const { return m_type != kLogicDataNone; }
    bool isSameType(const LogicData& other) const { return m_type == other.m_type; }
    bool isDirty() const { return m_dirty; }
    LogicDataType type() const { return m_type; }

    // Conversions through the expression; a failed conversion gives 0 of the kind (0.0).
    JVariant normToRaw(float normalized) const;
    float rawToNorm(const JVariant& value) const;
    // The value converted to this kind (a failed conversion counts as 0) and limited to the
    // interval between minimum and maximum, in whichever order they are; kinds 7, 8: a copy.
    JVariant clipValue(const JVariant& value) const;

private:
    void markDirtyIfChanged() { m_dirty = (m_value != m_prevValue); }  // the new value decides the types

    LogicDataType m_type;
    JVariant m_minimum;
    JVariant m_maximum;
    JVariant m_value;
    JVariant m_prevValue;
    float m_normValue;
    bool m_dirty;
    const Expression::IExpression* m_pExpression;  // process-wide, never null
};

}  // namespace LogicCtrl
