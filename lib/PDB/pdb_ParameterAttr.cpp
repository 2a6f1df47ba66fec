#include "pdb_ParameterAttr.h"

namespace PDB {

ParamAttr::ParamAttr(const uint8_t* image) : m_areaTag(0), m_flags(0)
{
    (void)importData(image);  // a null image leaves both fields 0
}

uint32_t ParamAttr::set(char areaTag, uint8_t flags)
{
    m_areaTag = areaTag;
    m_flags = flags;
    return 0;
}

uint32_t ParamAttr::clear() { return set(0, 0); }

JLIB::JResult ParamAttr::importData(const uint8_t* image)
{
    if (!image) return JLIB::kFailed;
    m_areaTag = static_cast<char>(image[0]);
    m_flags = image[1];
    return JLIB::kOk;
}

JLIB::JResult ParamAttr::exportData(uint8_t* buffer, uint32_t length) const
{
    if (!buffer || length < kByteSize) return JLIB::kFailed;
    buffer[0] = static_cast<uint8_t>(m_areaTag);
    buffer[1] = m_flags;
    return JLIB::kOk;
}

uint32_t SubscribeAttr::set(uint8_t value)
{
    m_value = value;
    return 0;
}

uint32_t SubscribeAttr::clear() { return set(0); }

uint32_t SubscribeAttr::add(uint8_t bits) { return set(uint8_t(m_value | bits)); }

uint32_t SubscribeAttr::remove(uint8_t bits) { return set(uint8_t(m_value & ~bits)); }

}  // namespace PDB
