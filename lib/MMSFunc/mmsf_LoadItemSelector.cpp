#include "mmsf_LoadItemSelector.h"

#include <cstring>
#include <new>

#include "TMS/AbstractMessage.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kFail = 0x80000000u;

}  // namespace

LoadItemSelector::LoadItemSelector(uint32_t count) { (void)allocateSelectors(count); }  // isValid tells

LoadItemSelector::LoadItemSelector(const TMS::AbstractMessage& message)
{
    (void)LoadItemSelector::fromMessage(message);  // isValid tells
}

LoadItemSelector::LoadItemSelector(const LoadItemSelector& other)
{
    if (!other.isValid() || JLIB::isFailure(allocateSelectors(other.m_count))) return;
    std::memcpy(m_pSelectors.get(), other.m_pSelectors.get(), m_count);
    m_overwriteProtectedItems = other.m_overwriteProtectedItems;
}

LoadItemSelector& LoadItemSelector::operator=(const LoadItemSelector& other)
{
    if (this == &other) return *this;
    if (!isValid() && other.isValid()) (void)allocateSelectors(other.m_count);  // checked below
    if (isValid() && other.isValid() && m_count == other.m_count) {
        std::memcpy(m_pSelectors.get(), other.m_pSelectors.get(), m_count);
        m_overwriteProtectedItems = other.m_overwriteProtectedItems;
    }
    return *this;
}

LoadItemSelector::~LoadItemSelector() = default;

uint32_t LoadItemSelector::allocateSelectors(uint32_t count)
{
    if (m_pSelectors || count == 0) return kFail;
    m_pSelectors.reset(new (std::nothrow) uint8_t[count]());
    if (!m_pSelectors) return kFail;
    m_count = count;
    return 0;
}

uint32_t LoadItemSelector::setOverwriteProtectedItems(bool on)
{
    m_overwriteProtectedItems = on;
    return 0;
}

uint32_t LoadItemSelector::setSelector(uint32_t index, bool on)
{
    if (!m_pSelectors) return 0;
    if (index >= m_count) return kFail;
    m_pSelectors[index] = on ? 1 : 0;
    return 0;
}

bool LoadItemSelector::isSelected(uint32_t index) const
{
    return m_pSelectors && index < m_count && m_pSelectors[index] != 0;
}

uint32_t LoadItemSelector::toMessage(TMS::AbstractMessage& message) const
{
    if (!m_pSelectors) return kFail;
    const uint32_t r = message.addData("overrides", static_cast<int32_t>(m_overwriteProtectedItems ? 1 : 0));
    if (JLIB::isFailure(r)) return r;
    // A selection without its flags would read back as a different one: its failure counts too.
    return message.addData("selectors", m_pSelectors.get(), m_count);
}

uint32_t LoadItemSelector::fromMessage(const TMS::AbstractMessage& message)
{
    bool ok = false;
    const uint32_t overrides = message.data("overrides").toUInt32(&ok);
    if (!ok) return kFail;
    const JVariant& selectors = message.data("selectors");
    bool bytesOk = false, lengthOk = false;
    const unsigned char* bytes = selectors.toBinary(&bytesOk);
    const uint32_t length = selectors.getBinaryLength(&lengthOk);
    if (!bytesOk || !lengthOk) return kFail;
    if (!m_pSelectors && length > 0) (void)allocateSelectors(length);  // checked below
    if (!m_pSelectors || m_count != length) return kFail;
    std::memcpy(m_pSelectors.get(), bytes, length);
    m_overwriteProtectedItems = (overrides & 0xFFu) != 0;
    return 0;
}

}  // namespace MMSFUNC
