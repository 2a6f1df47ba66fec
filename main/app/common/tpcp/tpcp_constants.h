#pragma once
// Sizes and endpoints of the player command protocol. The endpoints are defaults: the users of
// the protocol take them unless told otherwise.
#include <cstdint>

namespace TPCP {

// A frame on the command stream: length word, OSC packet, zero fill to a multiple of 4.
constexpr uint32_t kMaxFrameSize = 65792;
constexpr uint32_t kLengthWordSize = 4;
constexpr uint32_t kMaxStreamPacketSize = kMaxFrameSize - kLengthWordSize;
// One OSC packet per meter-channel datagram.
constexpr uint32_t kMaxDatagramSize = 1472;

constexpr const char* kDefaultPlayerAddress = "127.0.0.1";
constexpr uint16_t kDefaultCommandPort = 40001;
constexpr uint16_t kDefaultMeterPort = 40003;

}  // namespace TPCP
