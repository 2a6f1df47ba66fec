#pragma once
// Conversion of address records to and from text. Stateless; any task may call.
#include "vsock/vsock_types.h"

// Writes the text of *addr into text (size bytes, terminator included): 0; VSOCK_E_PAR for a null
// record or buffer, a size below 1 or a family other than 4 and 6; VSOCK_FAILED when the text and
// its terminator do not fit (the buffer is then left as it was).
[[nodiscard]] int32_t vsock_ntop(const netc_addr* addr, char* text, int32_t size);

// Reads an IPv4 (family 4) or IPv6 (family 6) text into *addr: 0 with family set, scope 0 and the
// unused address bytes 0; VSOCK_E_PAR for a null text or record or another family; VSOCK_FAILED
// when the text does not parse (VSOCK_E_SYS for characters after a last IPv4 part "0").
// *addr is untouched on failure.
[[nodiscard]] int32_t vsock_pton(_E_NETC_AF family, const char* text, netc_addr* addr);
