#pragma once
// File transfer port of a link unit (alone, or one of a directory synchroniser's). So far it only
// holds its port in the link: what arrives on it is consumed and it sends nothing. Owner task of
// the unit only.
#include <cstdint>

#include "comctrl_UnitComponent.h"

namespace ComControl {

class IUnitComponentObserver;

class FileTransferer : public UnitComponent {
public:
    // observer is borrowed: the owning unit (null for a directory's transferer). Always 0.
    JLIB::JResult initialize(bool notServerUnit, IUnitComponentObserver* observer, int32_t unitId);
    // The owner's tick. Always 0.
    JLIB::JResult periodicHandle(uint32_t elapsedMs) { return JLIB::kOk; }
    bool notServerUnit() const { return m_notServerUnit; }
    int32_t unitId() const { return m_unitId; }

private:
    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    bool m_notServerUnit = false;
    int32_t m_unitId = -1;
};

}  // namespace ComControl
