#pragma once
// Base64 of RFC 4648: standard alphabet, "=" padding, no line breaks. Stateless: any task may call.
#include "jlib/jlib_result.h"

#include <cstdint>

// Buffer size that encoding needs: 4 characters per started group of 3 bytes plus the
// terminator; 0 for null data, length 0, or a size that does not fit in 32 bits.
uint32_t jlib_getBase64EncodeLength(const void* data, uint32_t length);

// Writes the terminated text; *used (when given) receives the needed size, terminator
// included, or 0 for null data or length 0 (which give the empty text).
// 0x80000001 for a null buffer or size 0; 0x80000003 for a buffer below the needed size.
[[nodiscard]] JLIB::JResult jlib_encodeBase64(char* text, uint32_t* used, uint32_t size, const void* data,
                                              uint32_t length);

// Decodes up to the first "=" or the end of the length; *decoded (when given) receives the
// number of whole bytes. 0x80000001 for a null text with a non-zero length (or a null buffer
// with a non-zero size); 0x80000002 for a character outside the alphabet (NUL, blank and
// line break included); 0x80000003 when the bytes do not fit. Bytes already decoded stay
// in the buffer on a failure.
[[nodiscard]] JLIB::JResult jlib_decodeBase64(unsigned char* buffer, uint32_t* decoded, uint32_t size,
                                              const char* text, uint32_t length);
