#pragma once
// Parameter-tree synchroniser port of a link unit. So far it only holds its port in the
// link: what arrives on it is consumed and it sends nothing. Owner task of the unit only.
#include <cstdint>

#include "comctrl_UnitComponent.h"

namespace ComControl {

class IUnitComponentObserver;

class MmsSynchronizer : public UnitComponent {
public:
    // observer is borrowed: the owning unit. Always 0.
    JLIB::JResult initialize(bool notServerUnit, IUnitComponentObserver* observer);
    // A local parameter changed. Always 0.
    JLIB::JResult notify() { return JLIB::kOk; }
    bool notServerUnit() const { return m_notServerUnit; }

private:
    IUnitComponentObserver* m_pObserver = nullptr;  // the owning unit
    bool m_notServerUnit = false;
};

}  // namespace ComControl
