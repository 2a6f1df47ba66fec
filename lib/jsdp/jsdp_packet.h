#pragma once
// The reader of received discovery datagrams: the checks a datagram must pass and its conversion to
// a host record. Stateless; any task may call.
#include <cstdint>

#include "jsdp/jsdp_types.h"

namespace JSDP {

// Checks the datagram and fills the view, which then points into bytes. 0 accepted; 0x80000002
// for a missing view or bytes; 0x80000006 when a check fails (the view is then cleared, unless the
// datagram is shorter than 34 bytes, when it is untouched). Bytes after 6 + L are ignored.
[[nodiscard]] JLIB::JResult convertPacket2ShareHostInfo(T_JSDP_SHARE_HOST_INFO* view, const uint8_t* bytes,
                                                        uint32_t length);

// Fills record from an accepted view: a family byte of 6 gives an IPv6 address, any other an IPv4
// address of the first four bytes. 0, or 0x80000002 when any argument is missing.
[[nodiscard]] JLIB::JResult convertShareHostInfo2HostInfo(_JSDP_HOST_INFO* record, const T_JSDP_SHARE_HOST_INFO* view,
                                                          const netc_addr* source, const netc_addr* receiving);

}  // namespace JSDP
