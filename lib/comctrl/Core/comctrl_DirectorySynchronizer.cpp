#include "comctrl_DirectorySynchronizer.h"

#include <new>

namespace ComControl {

DirectorySynchronizer::DirectorySynchronizer() = default;
DirectorySynchronizer::~DirectorySynchronizer() = default;

JLIB::JResult DirectorySynchronizer::initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId,
                                                uint32_t transfererCount)
{
    if (transfererCount == 0 || transfererCount > kMaxTransferers) return kBadArgument;
    std::unique_ptr<FileTransferer[]> transferers(new (std::nothrow) FileTransferer[transfererCount]);
    if (!transferers) return kNoMemory;
    // Transferers only store their arguments: always 0.
    for (uint32_t t = 0; t < transfererCount; ++t) (void)transferers[t].initialize(notServerUnit, nullptr, unitId);
    m_notServerUnit = notServerUnit;
    m_pObserver = observer;
    m_unitId = unitId;
    m_pTransferers = std::move(transferers);
    m_transfererCount = transfererCount;
    return JLIB::kOk;
}

JLIB::JResult DirectorySynchronizer::periodicHandle(uint32_t elapsedMs)
{
    for (uint32_t t = 0; t < m_transfererCount; ++t) (void)m_pTransferers[t].periodicHandle(elapsedMs);  // always 0
    return JLIB::kOk;
}

FileTransferer* DirectorySynchronizer::transferer(uint32_t index)
{
    return index < m_transfererCount ? &m_pTransferers[index] : nullptr;
}

}  // namespace ComControl
