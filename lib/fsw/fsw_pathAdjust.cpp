#include "fsw/fsw_pathAdjust.h"

#include <cstddef>

#include "fsw/fsw_api.h"

namespace {

template <typename Ch>
bool isSlash(Ch c) { return c == Ch('/') || c == Ch('\\'); }

template <typename Ch>
bool endsComponent(Ch c) { return c == Ch(0) || isSlash(c); }

template <typename Ch>
JLIB::JResult adjust(Ch* out, const Ch* path)
{
    if (!out) return kFswFailed;
    out[0] = Ch(0);
    if (!path) return kFswFailed;

    size_t i = 0;
    while (isSlash(path[i])) ++i;
    // The root slash of an absolute path is fixed: ".." cuts back to it, never past it.
    const size_t root = i > 0 ? 1 : 0;
    size_t n = 0;
    if (root) out[n++] = Ch('/');

    bool afterSlash = true;  // the start counts as a component boundary
    bool pendingSeparator = false;
    while (path[i] != Ch(0)) {
        const Ch c = path[i];
        if (isSlash(c)) {
            afterSlash = true;
            pendingSeparator = true;
            ++i;
            continue;
        }
        if (afterSlash && c == Ch('.') && endsComponent(path[i + 1])) {
            ++i;
            continue;
        }
        if (afterSlash && c == Ch('.') && path[i + 1] == Ch('.') && endsComponent(path[i + 2])) {
            if (n == root) {
                out[0] = Ch(0);
                return kFswFailed;
            }
            size_t cut = n;
            while (cut > root && out[cut - 1] != Ch('/')) --cut;
            n = cut > root ? cut - 1 : root;
            i += 2;
            continue;
        }
        if (pendingSeparator && n > root) out[n++] = Ch('/');
        pendingSeparator = false;
        afterSlash = false;
        out[n++] = c;
        ++i;
    }
    out[n] = Ch(0);
    return kFswOk;
}

}  // namespace

JLIB::JResult fsw_pathAdjust(char* out, const char* path) { return adjust(out, path); }

JLIB::JResult fsw_pathAdjustUtf16(uint16_t* out, const uint16_t* path) { return adjust(out, path); }
