#include "devctrl/devctrl_MmsItemFactory.h"

#include <new>

#include "devctrl/devctrl_CompositeMmsItem.h"
#include "devctrl/devctrl_LeafMmsItem.h"

namespace DeviceControl {

BaseMmsItem* MmsItemFactory::create(BaseItem::NODE_TYPE type)
{
    switch (type) {
    case BaseItem::NODE_LEAF:
        return new (std::nothrow) LeafMmsItem;
    case BaseItem::NODE_COMPOSITE:
        return new (std::nothrow) CompositeMmsItem;
    }
    return nullptr;
}

}  // namespace DeviceControl
