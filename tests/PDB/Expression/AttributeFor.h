#pragma once
// Builds the attribute record the expression tests convert with.
#include <cstring>

#include "PDB/Expression/PrmAttribute.h"

namespace ExpressionTest {

inline Expression::PrmAttribute attributeFor(int minimum, int maximum, int step, uint32_t scaling = 1,
                                             const char* unit = "")
{
    Expression::PrmAttribute attr;
    attr.m_Minimum = minimum;
    attr.m_Maximum = maximum;
    attr.m_Step = step;
    attr.m_Scaling = scaling;
    attr.m_UnitLength = static_cast<uint32_t>(std::strlen(unit));
    std::strncpy(attr.m_Unit, unit, sizeof attr.m_Unit - 1);
    return attr;
}

}  // namespace ExpressionTest
