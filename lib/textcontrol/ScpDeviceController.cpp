#include "textcontrol/ScpDeviceController.h"

namespace SCP {

ScpDeviceController::~ScpDeviceController() = default;

uint32_t ScpDeviceController::initialize(IScpDeviceCallback* callback)
{
    m_pCallback = callback;
    return 0;
}

uint32_t ScpDeviceController::getDeviceInfo(ScpString&, const ScpString&) { return 0; }
uint32_t ScpDeviceController::getDeviceStatus(ScpString&, const ScpString&) { return 0; }
uint32_t ScpDeviceController::changeDeviceMode(const ScpString&) { return 0; }
uint32_t ScpDeviceController::runEvent(const ScpString&, const ScpString&) { return 0; }
uint32_t ScpDeviceController::getListItemNum(const ScpString&, uint32_t&, uint32_t&, uint32_t&) { return 0; }
uint32_t ScpDeviceController::getListItem(const ScpString&, uint32_t, JVariant&, bool&) { return 0; }
uint32_t ScpDeviceController::runIdentify(uint32_t) { return 0; }

}  // namespace SCP
