#pragma once
// Description of one port of a logic component: name, data kind, expression name and range.
// Plain data, copied member by member.
#include <string>

#include "jlib/JVariant.h"
#include "logic_LogicData.h"

namespace LogicCtrl {

struct LogicPortInfo {
    // Empty texts, kind 0, invalid range.
    LogicPortInfo() = default;
    // A null name or expression name is taken as the empty text; the range stays invalid.
    LogicPortInfo(const char* name, LogicDataType type, const char* expressionName);

    std::string m_name;
    LogicDataType m_type = kLogicDataNone;
    std::string m_expressionName;
    JVariant m_minimum;
    JVariant m_maximum;
};

}  // namespace LogicCtrl
