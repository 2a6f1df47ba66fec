#include "jlib_md5.h"

#include <md5.h>

#include <cstring>

static_assert(sizeof(MD5_CTX) == sizeof(T_JLIB_MD5_CTX), "the context keeps libmd's layout");
static_assert(alignof(MD5_CTX) <= alignof(T_JLIB_MD5_CTX), "the context is aligned for libmd");

namespace {

MD5_CTX* md5(T_JLIB_MD5_CTX* context) { return reinterpret_cast<MD5_CTX*>(context->opaque); }

}  // namespace

void jlib_MD5Init(T_JLIB_MD5_CTX* context) { MD5Init(md5(context)); }

void jlib_MD5Update(T_JLIB_MD5_CTX* context, const void* data, size_t length)
{
    if (length == 0) return;  // libmd would be handed a pointer it must not read
    MD5Update(md5(context), static_cast<const uint8_t*>(data), length);
}

void jlib_MD5Final(unsigned char digest[16], T_JLIB_MD5_CTX* context)
{
    MD5Final(digest, md5(context));
    std::memset(context, 0, sizeof *context);
}
