#include "textcontrol/ScpElementList.h"

#include <cstring>

namespace SCP {

JLIB::JResult ScpElementList::append(ScpElement& element, uint8_t typeMask)
{
    if (m_count >= kCapacity) return 0x80000001u;
    m_entries[m_count].element = &element;
    m_entries[m_count].typeMask = typeMask;
    ++m_count;
    return JLIB::kOk;
}

ScpElement* ScpElementList::at(uint32_t index) const
{
    return index < m_count ? m_entries[index].element : nullptr;
}

bool ScpElementList::checkType(uint32_t index, uint8_t mask) const
{
    return index < m_count && (m_entries[index].typeMask & mask) != 0;
}

uint32_t ScpElementList::find(const char* tag) const
{
    if (!tag) return kNotFound;
    for (uint32_t i = 0; i < m_count; ++i) {
        const char* own = m_entries[i].element->getTag();
        if (own && std::strcmp(own, tag) == 0) return i;
    }
    return kNotFound;
}

void ScpElementList::clear()
{
    for (uint32_t i = 0; i < m_count; ++i) m_entries[i].element->clear();
}

}  // namespace SCP
