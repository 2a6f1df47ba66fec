#include "devctrl/devctrl_BaseItem.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kNotSupported = 0x8000000au;

}  // namespace

uint32_t BaseItem::add(const char*, uint32_t, NODE_TYPE) { return kNotSupported; }
uint32_t BaseItem::remove(const char*, uint32_t) { return kNotSupported; }
BaseItem* BaseItem::item(const char*, uint32_t) { return nullptr; }
const BaseItem* BaseItem::item(const char*, uint32_t) const { return nullptr; }
uint32_t BaseItem::childNum() const { return 0; }

}  // namespace DeviceControl
