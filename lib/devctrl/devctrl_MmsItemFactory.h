#pragma once
// Makes the items of the instance broker's tree. Stateless: any task.
#include "devctrl/devctrl_BaseItem.h"

namespace DeviceControl {

class BaseMmsItem;

class MmsItemFactory {
public:
    virtual ~MmsItemFactory() = default;
    // A new leaf for 0, a new composite for 1; null for any other type or when memory runs out.
    // The caller owns the item.
    virtual BaseMmsItem* create(BaseItem::NODE_TYPE type);
};

}  // namespace DeviceControl
