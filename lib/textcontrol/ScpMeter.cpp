#include "textcontrol/ScpMeter.h"

namespace SCP {

ScpMeter::~ScpMeter() = default;

uint32_t ScpMeter::initialize() { return 0; }
uint32_t ScpMeter::getIndexFromAddress(uint32_t&, const ScpString&) { return 0; }
uint32_t ScpMeter::getAddress(ScpString&, uint32_t) { return 0; }
uint32_t ScpMeter::getAddressNum() { return 0; }
uint32_t ScpMeter::getMeters(const uint8_t*&, uint32_t&, uint32_t) { return 0; }
uint32_t ScpMeter::getAttrib(ScpMeterAttrib&, uint32_t) { return 0; }

}  // namespace SCP
