#include "logic_LogicPortInfo.h"

namespace LogicCtrl {

LogicPortInfo::LogicPortInfo(const char* name, LogicDataType type, const char* expressionName)
    : m_name(name ? name : ""), m_type(type), m_expressionName(expressionName ? expressionName : "")
{
}

}  // namespace LogicCtrl
