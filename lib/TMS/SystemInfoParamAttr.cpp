#include "TMS/SystemInfoParamAttr.h"

#include "TMS/SystemInfoNodeStruct.h"
#include "jlib/jlib_number.h"
#include "jlib/jlib_string.h"

namespace TMS {

namespace {

// Base 0 without a length limit. An overflow holds at the limit; a null text or one without
// digits counts as 0.
int32_t parseSigned(const char* text)
{
    int32_t value = 0;
    (void)jlib_strntol(&value, text, nullptr, 0, 0xFFFFFFFFu);
    return value;
}

uint32_t parseUnsigned(const char* text)
{
    uint32_t value = 0;
    (void)jlib_strntoul(&value, text, nullptr, 0, 0xFFFFFFFFu);
    return value;
}

}  // namespace

JLIB::JResult SystemInfoParamAttr::set(const SystemInfoNodeStruct& row)
{
    if (row.type == 0) return kBadRow;
    switch (row.type) {
    case kTypeSigned:
        m_min = JVariant(static_cast<int>(parseSigned(row.min)));
        m_max = JVariant(static_cast<int>(parseSigned(row.max)));
        m_default = JVariant(static_cast<int>(parseSigned(row.def)));
        break;
    case kTypeUnsigned:
        m_min = JVariant(static_cast<unsigned int>(parseUnsigned(row.min)));
        m_max = JVariant(static_cast<unsigned int>(parseUnsigned(row.max)));
        m_default = JVariant(static_cast<unsigned int>(parseUnsigned(row.def)));
        break;
    case kTypeText: {
        const uint32_t maxLength = parseUnsigned(row.max);
        m_min = JVariant(0);
        m_max = JVariant(static_cast<unsigned int>(maxLength));
        m_default = JVariant(row.def, maxLength);
        break;
    }
    default:
        clear();
        return kBadRow;
    }
    m_pName = row.name;
    m_num = row.num;
    m_reserved = row.reserved;
    m_type = row.type;
    return JLIB::kOk;
}

void SystemInfoParamAttr::clear()
{
    m_pName = nullptr;
    m_num = 0;
    m_reserved = 0;
    m_type = 0;
    (void)m_min.invalid();
    (void)m_max.invalid();
    (void)m_default.invalid();
}

bool SystemInfoParamAttr::operator==(const SystemInfoParamAttr& other) const
{
    const bool sameName = (!m_pName || !other.m_pName)
                              ? m_pName == other.m_pName
                              : jlib_strncmp(m_pName, other.m_pName, 0xFFFFFFFFu) == 0;
    return sameName && m_num == other.m_num && m_reserved == other.m_reserved && m_type == other.m_type &&
           m_min == other.m_min && m_max == other.m_max && m_default == other.m_default;
}

}  // namespace TMS
