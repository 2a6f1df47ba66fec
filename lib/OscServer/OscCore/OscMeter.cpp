#include "OscServer/OscCore/OscMeter.h"

namespace JOSC {

OscMeter::~OscMeter() = default;

JLIB::JResult OscMeter::initialize() { return JLIB::kOk; }

JLIB::JResult OscMeter::getIndexFromAddress(uint32_t&, const std::string&) { return JLIB::kOk; }

JLIB::JResult OscMeter::getAddress(std::string&, uint32_t) { return JLIB::kOk; }

uint32_t OscMeter::getAddressNum() { return 0; }

JLIB::JResult OscMeter::getMeters(const uint8_t*&, uint32_t&, uint32_t) { return JLIB::kOk; }

JLIB::JResult OscMeter::getAttrib(OscMeterAttrib&, uint32_t) { return JLIB::kOk; }

}  // namespace JOSC
