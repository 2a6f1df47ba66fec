#include "devctrl/devctrl_MmsItem.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kNotSupported = 0x8000000au;

}  // namespace

uint32_t MmsItem::setField(MMS::IField*) { return kNotSupported; }
uint32_t MmsItem::setCommandRepository(TCM::CommandRepository*) { return kNotSupported; }
uint32_t MmsItem::setState(int) { return kNotSupported; }
uint32_t MmsItem::setPermission(int) { return kNotSupported; }
uint32_t MmsItem::setSetter(uint16_t) { return kNotSupported; }
uint32_t MmsItem::addRef() { return kNotSupported; }
uint32_t MmsItem::release() { return kNotSupported; }
uint32_t MmsItem::setLinkFramework(ParameterProc::ILinkFramework*) { return kNotSupported; }
MMS::IField* MmsItem::field() const { return nullptr; }
TCM::CommandRepository* MmsItem::repository() const { return nullptr; }
int MmsItem::state() const { return -1; }
uint32_t MmsItem::ref() const { return 0; }
int MmsItem::permission() const { return -1; }
uint16_t MmsItem::setter() const { return 0; }
ParameterProc::ILinkFramework* MmsItem::linkFramework() const { return nullptr; }

}  // namespace DeviceControl
