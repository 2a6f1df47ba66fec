#include "OscServer/OscCore/OscDeviceController.h"

namespace JOSC {

OscDeviceController::~OscDeviceController() = default;

JLIB::JResult OscDeviceController::initialize(IOscDeviceCallback* callback)
{
    m_pCallback = callback;
    return JLIB::kOk;
}

JLIB::JResult OscDeviceController::getDeviceInfo(std::string&, const std::string&) { return JLIB::kOk; }

JLIB::JResult OscDeviceController::getDeviceStatus(std::string&, const std::string&) { return JLIB::kOk; }

JLIB::JResult OscDeviceController::changeDeviceMode(const std::string&) { return JLIB::kOk; }

JLIB::JResult OscDeviceController::runEvent(uint8_t, const std::string&, const JVariantList&) { return JLIB::kOk; }

JLIB::JResult OscDeviceController::getListItemNum(const std::string&, uint32_t&, uint32_t&, uint32_t&)
{
    return JLIB::kOk;
}

JLIB::JResult OscDeviceController::getListItem(const std::string&, uint32_t, JVariant&, bool&) { return JLIB::kOk; }

JLIB::JResult OscDeviceController::runIdentify(uint32_t) { return JLIB::kOk; }

}  // namespace JOSC
