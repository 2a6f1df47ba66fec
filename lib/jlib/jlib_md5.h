#pragma once
// MD5 of RFC 1321 over a context the caller provides. A context is used by one task at a time.
#include <cstddef>
#include <cstdint>

// 88 bytes: the four state words, the 64-bit bit count and the 64-byte input block.
struct T_JLIB_MD5_CTX {
    alignas(8) unsigned char opaque[88];
};

void jlib_MD5Init(T_JLIB_MD5_CTX* context);
void jlib_MD5Update(T_JLIB_MD5_CTX* context, const void* data, size_t length);
// Writes the 16-byte digest and clears the context.
void jlib_MD5Final(unsigned char digest[16], T_JLIB_MD5_CTX* context);
