#pragma once
// An instance broker item: its tree side first, its registry side second.
#include "devctrl/devctrl_BaseItem.h"
#include "devctrl/devctrl_MmsItem.h"

namespace DeviceControl {

class BaseMmsItem : public BaseItem, public MmsItem {
};

}  // namespace DeviceControl
