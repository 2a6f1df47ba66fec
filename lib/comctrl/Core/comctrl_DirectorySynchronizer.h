#pragma once
// Directory synchronisation port of a link unit, with the file transferers that carry its files
// on ports of their own. So far it only holds its ports in the link: what arrives on them is
// consumed and they send nothing. Owner task of the unit only.
#include <cstdint>
#include <memory>

#include "comctrl_FileTransferer.h"
#include "comctrl_UnitComponent.h"

namespace ComControl {

class IUnitComponentObserver;

class DirectorySynchronizer : public UnitComponent {
public:
    // transferers are hexadecimal digits in their port names.
    static constexpr uint32_t kMaxTransferers = 16;

    DirectorySynchronizer();
    ~DirectorySynchronizer() override;

    // observer is borrowed: the owning unit. 0; 0x80000001 for a transferer count of 0 or above
    // 16; 0x80000002 when the transferers cannot be allocated.
    [[nodiscard]] JLIB::JResult initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId,
                                           uint32_t transfererCount);
    // The owner's tick, passed to the transferers. Always 0.
    JLIB::JResult periodicHandle(uint32_t elapsedMs);
    uint32_t transfererCount() const { return m_transfererCount; }
    // Null for an index out of range.
    FileTransferer* transferer(uint32_t index);
    bool notServerUnit() const { return m_notServerUnit; }
    int32_t unitId() const { return m_unitId; }

private:
    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    bool m_notServerUnit = false;
    int32_t m_unitId = -1;
    std::unique_ptr<FileTransferer[]> m_pTransferers;
    uint32_t m_transfererCount = 0;
};

}  // namespace ComControl
