#include "vsock/vsock_addr.h"

#include <cstdio>
#include <cstring>

const netc_addr netc_addr_any = {};

namespace {

constexpr int kGroups = 8;

bool isDecimal(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four decimal parts up to the end of the text. A part is "0" alone or starts with 1-9; inside such
// a part other characters are skipped, and in the last part a "." too, so "1.2.3.4x" reads as
// 1.2.3.4. Digits after a skipped "." of the last part would make a fifth part.
int32_t parseIpv4(const char* text, uint8_t (&out)[4])
{
    uint8_t bytes[4] = {};
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        const bool last = part == 3;
        if (*p == '0') {
            ++p;
            if (last) {
                if (*p != '\0') return VSOCK_E_SYS;
                break;
            }
            if (*p != '.') return VSOCK_FAILED;  // "01" or a text that ends early
            ++p;
            continue;
        }
        if (!isDecimal(*p)) return VSOCK_FAILED;  // an empty part or a text that ends early
        uint32_t value = static_cast<uint32_t>(*p++ - '0');
        bool sawDot = false;
        for (;;) {
            const char c = *p;
            if (c == '\0') {
                if (!last) return VSOCK_FAILED;
                break;
            }
            ++p;
            if (isDecimal(c)) {
                if (sawDot) return VSOCK_FAILED;
                value = value * 10 + static_cast<uint32_t>(c - '0');
                if (value > 255) return VSOCK_FAILED;
            } else if (c == '.') {
                if (!last) break;
                sawDot = true;
            }
        }
        bytes[part] = static_cast<uint8_t>(value);
    }
    std::memcpy(out, bytes, sizeof(bytes));
    return 0;
}

// Hexadecimal groups separated by ":", at most one "::", optionally ending in an IPv4 part in the
// compatible or mapped form.
int32_t parseIpv6(const char* text, uint8_t (&out)[16])
{
    uint16_t groups[kGroups] = {};
    int count = 0;
    int gap = -1;  // index in groups where "::" stands
    bool withIpv4 = false;
    const char* p = text;
    if (*p == ':') {
        if (p[1] != ':') return VSOCK_FAILED;
        gap = 0;
        p += 2;
    }
    while (*p != '\0' || (count == 0 && gap < 0)) {
        const char* const groupStart = p;
        uint32_t value = 0;
        int digits = 0;
        for (int h = hexValue(*p); h >= 0; h = hexValue(*++p)) {
            value = value * 16 + static_cast<uint32_t>(h);
            if (value > 0xFFFF) return VSOCK_FAILED;
            ++digits;
        }
        if (*p == '.') {
            uint8_t v4[4];
            if (!isDecimal(*groupStart) || count + 2 > kGroups) return VSOCK_FAILED;
            if (parseIpv4(groupStart, v4) != 0) return VSOCK_FAILED;
            groups[count++] = static_cast<uint16_t>(v4[0] << 8 | v4[1]);
            groups[count++] = static_cast<uint16_t>(v4[2] << 8 | v4[3]);
            withIpv4 = true;
            break;
        }
        if (digits == 0 || count == kGroups) return VSOCK_FAILED;
        groups[count++] = static_cast<uint16_t>(value);
        if (*p == '\0') break;
        if (*p != ':') return VSOCK_FAILED;  // a scope suffix or any other character
        ++p;
        if (*p == ':') {
            if (gap >= 0) return VSOCK_FAILED;
            gap = count;
            ++p;
        } else if (*p == '\0') {
            return VSOCK_FAILED;  // a single ":" at the end
        }
    }
    if (gap < 0 ? count != kGroups : count >= kGroups) return VSOCK_FAILED;

    uint16_t full[kGroups] = {};
    const int tail = gap < 0 ? 0 : count - gap;
    for (int i = 0; i < count - tail; ++i) full[i] = groups[i];
    for (int i = 0; i < tail; ++i) full[kGroups - tail + i] = groups[gap + i];
    if (withIpv4) {
        for (int i = 0; i < 5; ++i) {
            if (full[i] != 0) return VSOCK_FAILED;
        }
        if (full[5] != 0 && full[5] != 0xFFFF) return VSOCK_FAILED;
    }
    for (int i = 0; i < kGroups; ++i) {
        out[2 * i] = static_cast<uint8_t>(full[i] >> 8);
        out[2 * i + 1] = static_cast<uint8_t>(full[i]);
    }
    return 0;
}

void formatIpv6(const uint8_t* bytes, char* text, size_t size)
{
    uint16_t g[kGroups];
    for (int i = 0; i < kGroups; ++i) g[i] = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);

    if (g[0] == 0 && g[1] == 0 && g[2] == 0 && g[3] == 0 && g[4] == 0 && g[5] == 0xFFFF) {
        std::snprintf(text, size, "::FFFF:%u.%u.%u.%u", bytes[12], bytes[13], bytes[14], bytes[15]);
        return;
    }
    // The first of the longest runs of at least two zero groups becomes "::".
    int bestStart = -1;
    int bestLength = 1;
    for (int i = 0; i < kGroups;) {
        if (g[i] != 0) {
            ++i;
            continue;
        }
        int j = i;
        while (j < kGroups && g[j] == 0) ++j;
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j;
    }
    size_t used = 0;
    for (int i = 0; i < kGroups && used < size;) {
        if (i == bestStart) {
            used += static_cast<size_t>(std::snprintf(text + used, size - used, "::"));
            i += bestLength;
            continue;
        }
        const bool afterGap = bestStart >= 0 && i == bestStart + bestLength;
        used += static_cast<size_t>(std::snprintf(text + used, size - used, "%s%X", (i > 0 && !afterGap) ? ":" : "", g[i]));
        ++i;
    }
}

}  // namespace

int32_t vsock_ntop(const netc_addr* addr, char* text, int32_t size)
{
    if (!addr || !text || size < 1) return VSOCK_E_PAR;
    char local[64] = {};
    if (addr->family == NETC_AF_INET) {
        std::snprintf(local, sizeof(local), "%u.%u.%u.%u", addr->addr[0], addr->addr[1], addr->addr[2], addr->addr[3]);
    } else if (addr->family == NETC_AF_INET6) {
        formatIpv6(addr->addr, local, sizeof(local));
    } else {
        return VSOCK_E_PAR;
    }
    const size_t length = std::strlen(local);
    if (length + 1 > static_cast<size_t>(size)) return VSOCK_FAILED;
    std::memcpy(text, local, length + 1);
    return 0;
}

int32_t vsock_pton(_E_NETC_AF family, const char* text, netc_addr* addr)
{
    if (!text || !addr) return VSOCK_E_PAR;
    netc_addr result = {};
    result.family = family;
    if (family == NETC_AF_INET) {
        uint8_t bytes[4];
        const int32_t r = parseIpv4(text, bytes);
        if (r != 0) return r;
        std::memcpy(result.addr, bytes, sizeof(bytes));
    } else if (family == NETC_AF_INET6) {
        uint8_t bytes[16];
        const int32_t r = parseIpv6(text, bytes);
        if (r != 0) return r;
        std::memcpy(result.addr, bytes, sizeof(bytes));
    } else {
        return VSOCK_E_PAR;
    }
    *addr = result;
    return 0;
}
