#include "pdb_UniqId.h"

namespace PDB {

UniqId::UniqId(const uint8_t* data, uint32_t length)
{
    (void)importData(data, length);  // a refused image leaves the identifier invalid
}

uint32_t UniqId::clear()
{
    m_id = kInvalidId;
    return 0;
}

JLIB::JResult UniqId::importData(const uint8_t* data, uint32_t length)
{
    if (!data || length < kByteSize) return JLIB::kInvalidArgument;
    m_id = (uint32_t(data[0]) << 24) | (uint32_t(data[1]) << 16) | (uint32_t(data[2]) << 8) | uint32_t(data[3]);
    return JLIB::kOk;
}

JLIB::JResult UniqId::exportData(uint8_t* buffer, uint32_t length) const
{
    if (!buffer || length < kByteSize) return JLIB::kInvalidArgument;
    buffer[0] = uint8_t(m_id >> 24);
    buffer[1] = uint8_t(m_id >> 16);
    buffer[2] = uint8_t(m_id >> 8);
    buffer[3] = uint8_t(m_id);
    return JLIB::kOk;
}

}  // namespace PDB
