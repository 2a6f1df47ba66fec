#pragma once
// What an expression needs to know of a parameter: range, step, unit and scaling, filled by the
// caller from the parameter's definition. Plain data; one user at a time.
#include <cstdint>

#include "jlib/JVariant.h"

namespace Expression {

struct PrmAttribute {
    static constexpr uint32_t kUnitCapacity = 25;  // 24 characters and the terminator

    JVariant m_Minimum{0};
    JVariant m_Maximum{0};
    JVariant m_Nominal{0};  // carried for callers; no expression reads it
    JVariant m_Default{0};  // carried for callers; no expression reads it
    JVariant m_Step{0};
    uint32_t m_UnitLength = 0;  // bytes of m_Unit without the terminator
    char m_Unit[kUnitCapacity] = {};
    uint32_t m_Scaling = 0;  // value = display number * scaling (10: one decimal, 100: two)
};

}  // namespace Expression
