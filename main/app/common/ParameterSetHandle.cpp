#include "common/ParameterSetHandle.h"

#include <algorithm>
#include <cstring>

namespace PRMSET {

ParameterSetHandle::ParameterSetHandle() : m_uuid{}, m_valid(false) {}

ParameterSetHandle::ParameterSetHandle(const uint8_t* bytes, uint32_t length) : ParameterSetHandle()
{
    (void)set(bytes, length);  // refused input leaves the empty handle
}

ParameterSetHandle::ParameterSetHandle(const JVariant& value) : ParameterSetHandle()
{
    if (value.getType() != JVariant::kTypeBinary) return;
    (void)set(value.toBinary(), value.getBinaryLength());  // an empty block leaves the empty handle
}

ParameterSetHandle::~ParameterSetHandle() = default;

JLIB::JResult ParameterSetHandle::set(const uint8_t* bytes, uint32_t length)
{
    if (!bytes || length == 0) return JLIB::kFailed;
    std::memset(m_uuid, 0, sizeof m_uuid);
    std::memcpy(m_uuid, bytes, std::min(length, kUuidSize));
    m_valid = true;
    return JLIB::kOk;
}

void ParameterSetHandle::clear()
{
    std::memset(m_uuid, 0, sizeof m_uuid);
    m_valid = false;
}

bool ParameterSetHandle::operator==(const ParameterSetHandle& other) const
{
    return m_valid == other.m_valid && std::memcmp(m_uuid, other.m_uuid, sizeof m_uuid) == 0;
}

JLIB::JResult ParameterSetHandle::uuid(uint8_t* bytes, uint32_t length) const
{
    if (!bytes || length == 0) return JLIB::kFailed;
    std::memcpy(bytes, m_uuid, std::min(length, kUuidSize));
    return JLIB::kOk;
}

}  // namespace PRMSET
