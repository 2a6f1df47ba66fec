#include "ossupport/ossupport_IPv4Address.h"

#include <cstring>

#include "jlib/jlib_number.h"
#include "jlib/jlib_printf.h"

namespace OSSUPPORT {

namespace {

// One part: the library's parser takes blanks and a sign; no digits give 0 and an overflow
// holds at 0xFFFFFFFF, which the range check then refuses.
uint32_t parsePart(const char*& p)
{
    uint32_t value = 0;
    const char* end = p;
    (void)jlib_strntoul(&value, p, &end, 10, static_cast<uint32_t>(std::strlen(p)));  // range checked by caller
    p = end;
    return value;
}

}  // namespace

IPv4Address::IPv4Address(const char* text) { (void)set(text); }  // a bad text leaves 0, as documented

IPv4Address::IPv4Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { (void)set(a, b, c, d); }

JLIB::JResult IPv4Address::set(const char* text)
{
    m_value = 0;
    if (!text) return JLIB::kFailed;
    const char* p = text;
    uint32_t parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        parts[i] = parsePart(p);
        if (parts[i] > 255) return JLIB::kFailed;
        if (i < 3) {
            if (*p != '.') return JLIB::kFailed;
            ++p;
        }
    }
    m_value = (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
    return JLIB::kOk;
}

JLIB::JResult IPv4Address::set(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    m_value = (uint32_t{a} << 24) | (uint32_t{b} << 16) | (uint32_t{c} << 8) | d;
    return JLIB::kOk;
}

JLIB::JResult IPv4Address::set(uint32_t value)
{
    m_value = value;
    return JLIB::kOk;
}

IPv4Address& IPv4Address::operator=(uint32_t value)
{
    m_value = value;
    return *this;
}

std::string IPv4Address::get() const
{
    char text[20];
    (void)jlib_snprintf(text, sizeof(text), nullptr, "%d.%d.%d.%d", (*this)[0], (*this)[1], (*this)[2], (*this)[3]);
    return text;
}

void IPv4Address::get(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d) const
{
    a = (*this)[0];
    b = (*this)[1];
    c = (*this)[2];
    d = (*this)[3];
}

uint8_t IPv4Address::operator[](int index) const
{
    if (index < 0 || index > 3) return 0;
    return static_cast<uint8_t>(m_value >> (8 * (3 - index)));
}

JLIB::JResult IPv4Address::makeNetworkMask(uint32_t prefixLength)
{
    if (prefixLength < 1 || prefixLength > 30) return JLIB::kFailed;
    m_value = 0xFFFFFFFFu << (32 - prefixLength);
    return JLIB::kOk;
}

JLIB::JResult IPv4Address::makeNetworkAddress(uint32_t address, uint32_t mask)
{
    m_value = address & mask;
    return JLIB::kOk;
}

JLIB::JResult IPv4Address::makeBroadcastAddress(uint32_t address, uint32_t mask)
{
    m_value = address | ~mask;
    return JLIB::kOk;
}

}  // namespace OSSUPPORT
