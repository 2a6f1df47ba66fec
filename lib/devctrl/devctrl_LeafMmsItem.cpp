#include "devctrl/devctrl_LeafMmsItem.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kAtLimit = 0x80000007u;

}  // namespace

uint32_t LeafMmsItem::setField(MMS::IField* field)
{
    m_pField = field;
    return 0;
}

uint32_t LeafMmsItem::setCommandRepository(TCM::CommandRepository* repository)
{
    m_pRepository = repository;
    return 0;
}

uint32_t LeafMmsItem::setState(int state)
{
    m_state = state;
    return 0;
}

uint32_t LeafMmsItem::setPermission(int permission)
{
    m_permission = permission;
    return 0;
}

uint32_t LeafMmsItem::setSetter(uint16_t setter)
{
    m_setter = setter;
    return 0;
}

uint32_t LeafMmsItem::addRef()
{
    if (m_ref == 0xFFFFFFFFu) return kAtLimit;
    ++m_ref;
    return 0;
}

uint32_t LeafMmsItem::release()
{
    if (m_ref == 0) return kAtLimit;
    --m_ref;
    return 0;
}

}  // namespace DeviceControl
