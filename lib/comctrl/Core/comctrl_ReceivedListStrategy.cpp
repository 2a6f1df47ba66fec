#include "comctrl_ReceivedListStrategy.h"

namespace ComControl {

JLIB::JResult ReceivedListStrategy::append(const char* fileName)
{
    if (!fileName) return 0x80000001u;
    if (!isReceivedItem(fileName)) m_names.emplace_back(fileName);
    return JLIB::kOk;
}

bool ReceivedListStrategy::isReceivedItem(const char* fileName)
{
    if (!fileName) return false;
    for (const std::string& name : m_names)
        if (name == fileName) return true;
    return false;
}

JLIB::JResult ReceivedListStrategy::clear()
{
    m_names.clear();
    return JLIB::kOk;
}

}  // namespace ComControl
