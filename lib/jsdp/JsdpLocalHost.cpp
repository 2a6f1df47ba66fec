#include "jsdp/JsdpLocalHost.h"

#include <cstring>

#include "jsdp/jsdp_address.h"
#include "oswrap/oswrap_time.h"
#include "vsock/vsock_addr.h"

namespace JSDP {

namespace {

bool sameName(const _JSDP_HOST_INFO& a, const _JSDP_HOST_INFO& b)
{
    return a.nameLength == b.nameLength && std::memcmp(a.name, b.name, a.nameLength) == 0;
}

}  // namespace

bool compareJSDP_HOST_INFO(const _JSDP_HOST_INFO& a, const _JSDP_HOST_INFO& b)
{
    if (a.role != b.role || a.kind != b.kind || a.status != b.status) return false;
    if (!compareVSOCK_ADDR(a.address, b.address) || std::memcmp(a.mac, b.mac, kMacSize) != 0) return false;
    if (!sameName(a, b) || a.extensionLength != b.extensionLength) return false;
    const uint32_t extension = a.extensionLength <= kExtensionMax ? a.extensionLength : kExtensionMax;
    if (std::memcmp(a.extension, b.extension, extension) != 0) return false;
    return compareVSOCK_ADDR(a.receivingAddress, b.receivingAddress) &&
           compareVSOCK_ADDR(a.sourceAddress, b.sourceAddress);
}

void JsdpLocalHost::initialize()
{
    std::memset(&m_host, 0, sizeof(m_host));
    m_changed = false;
    m_enabled = false;
    (void)oswrap_svcStopTimerMs(&m_expiry);  // the record is present
    m_txData.idle();
}

void JsdpLocalHost::setHost(const _JSDP_HOST_INFO& host)
{
    m_host = host;
    m_enabled = true;
    m_changed = true;
    (void)oswrap_svcStartOneshotTimerMs(&m_expiry, kExpiryMs);  // a one-shot record
}

bool JsdpLocalHost::updateHost(const _JSDP_HOST_INFO& host)
{
    if (!compareJSDP_HOST_INFO(m_host, host)) {
        m_host = host;
        m_changed = true;
    }
    if (!m_enabled) {
        m_enabled = true;
        m_changed = true;
    }
    (void)oswrap_svcStartOneshotTimerMs(&m_expiry, kExpiryMs);  // a one-shot record
    return m_changed;
}

bool JsdpLocalHost::compare(const _JSDP_HOST_INFO& host) const
{
    return m_host.role == host.role && compareVSOCK_ADDR(m_host.address, host.address) &&
           compareVSOCK_ADDR(m_host.sourceAddress, host.sourceAddress) &&
           compareVSOCK_ADDR(m_host.receivingAddress, host.receivingAddress) && sameName(m_host, host);
}

bool JsdpLocalHost::runTimeoutProcess()
{
    if (!m_enabled) return false;
    if (oswrap_svcCheckOneshotTimerMs(&m_expiry) == JLIB::kOk) return false;  // still running
    m_enabled = false;
    m_changed = true;
    return true;
}

void JsdpLocalHost::callback(const JsdpList<JsdpObserver>& observers, bool* remove)
{
    *remove = false;
    if (!m_changed) return;
    for (JsdpObserver* observer : observers) observer->onCallback(&m_host, m_enabled ? 1 : 0);
    m_changed = false;
    *remove = !m_enabled;
}

void JsdpLocalHost::initialCallback(JsdpHostCallback callback) const
{
    if (callback && m_enabled) (void)callback(&m_host, 1);  // its answer is not looked at
}

void JsdpLocalHost::print(JsdpPrintFunction f) const
{
    (void)f(m_enabled ? "(O) " : "(X) ");
    char name[256] = {};
    std::memcpy(name, m_host.name, m_host.nameLength);
    (void)f("[ SERVICE:%-16s, ", name);
    char text[256] = {};
    if (vsock_ntop(&m_host.address, text, sizeof(text)) != 0) text[0] = '\0';
    (void)f("CPU IP:%-20s, ", text);
    char source[256] = {};
    if (vsock_ntop(&m_host.sourceAddress, source, sizeof(source)) != 0) source[0] = '\0';
    (void)f("COM IP:%-20s, ", source);
    (void)f("]\n");
}

}  // namespace JSDP
