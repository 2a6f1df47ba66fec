#include "common/KavoriNetworkSettings.h"

#include <cstring>

#include "TMS/AbstractMessage.h"
#include "jlib/jlib_cfg.h"
#include "ossupport/ossupport_Network.h"

namespace KAVORI {

namespace {

constexpr const char* kSyncThread = "Sync";
constexpr const char* kNoAddress = "0.0.0.0";

}  // namespace

KavoriNetworkSettings& KavoriNetworkSettings::getInstance()
{
    static KavoriNetworkSettings instance;
    return instance;
}

KavoriNetworkSettings::KavoriNetworkSettings()
    : m_interfaceName("eth0"),
      m_busy(false),
      m_linkUp(false),
      m_dhcp(true),
      m_address("192.168.0.2"),
      m_netmask("255.255.255.0"),
      m_gateway("192.168.0.1"),
      m_pObserver(nullptr)
{
    readCurrent(m_interfaceName.c_str());
}

KavoriNetworkSettings::~KavoriNetworkSettings() = default;

bool KavoriNetworkSettings::isStoredInterface(const char* interfaceName) const
{
    return interfaceName && m_interfaceName == interfaceName;
}

void KavoriNetworkSettings::readCurrent(const char* interfaceName)
{
    bool dhcp = false;
    OSSUPPORT::IPv4Address address;
    OSSUPPORT::IPv4Address netmask;
    OSSUPPORT::IPv4Address gateway;
    // An interface without an address would clear the cache to zeros; what was known is better.
    if (JLIB::isFailure(OSSUPPORT::GetIPSettings(interfaceName, dhcp, address, netmask, gateway, false))) return;
    m_dhcp = dhcp;
    m_address = address;
    m_netmask = netmask;
    m_gateway = gateway;
}

void KavoriNetworkSettings::tellObserver(const char* interfaceName)
{
    if (m_pObserver) m_pObserver->onChangeNetworkSettings(interfaceName);
}

JLIB::JResult KavoriNetworkSettings::request(const char* interfaceName, bool dhcp, const OSSUPPORT::IPv4Address* address,
                                             const OSSUPPORT::IPv4Address* netmask,
                                             const OSSUPPORT::IPv4Address* gateway)
{
    if (!isUserLevelPermitted() || !interfaceName) return JLIB::kFailed;
    m_busy = true;
    TMS::AbstractMessage message;
    JLIB::JResult result = message.initialize(TMS::kMessageUser, 0);
    const auto add = [&](JLIB::JResult added) {
        if (JLIB::isSuccess(result)) result = added;
    };
    add(message.addData("CommandName", "ConfigNetwork"));
    add(message.addData("Interface", interfaceName));
    add(message.addData("isDHCP", static_cast<int32_t>(dhcp ? 1 : 0)));
    if (!dhcp) {
        add(message.addData("IPAddress", address->get().c_str()));
        add(message.addData("Netmask", netmask->get().c_str()));
        add(message.addData("Gateway", gateway->get().c_str()));
    }
    if (JLIB::isSuccess(result)) result = message.sendWithWaiting(kSyncThread);
    if (JLIB::isFailure(result)) {
        m_busy = false;
        return result;
    }
    if (dhcp) {
        m_dhcp = true;
        m_address = OSSUPPORT::IPv4Address(kNoAddress);
        m_netmask = OSSUPPORT::IPv4Address(kNoAddress);
        m_gateway = OSSUPPORT::IPv4Address(kNoAddress);
        tellObserver(interfaceName);
    } else if (!m_linkUp) {
        // With the link up the interface reports the new settings itself, through update.
        m_dhcp = false;
        m_address = *address;
        m_netmask = *netmask;
        m_gateway = *gateway;
        tellObserver(interfaceName);
    }
    return result;
}

JLIB::JResult KavoriNetworkSettings::SetStaticIPConfig(const char* interfaceName, const OSSUPPORT::IPv4Address& address,
                                                       const OSSUPPORT::IPv4Address& netmask,
                                                       const OSSUPPORT::IPv4Address& gateway)
{
    return request(interfaceName, false, &address, &netmask, &gateway);
}

JLIB::JResult KavoriNetworkSettings::SetDHCPConfig(const char* interfaceName)
{
    return request(interfaceName, true, nullptr, nullptr, nullptr);
}

JLIB::JResult KavoriNetworkSettings::completedSettings()
{
    if (m_busy) {
        m_busy = false;
        tellObserver(m_interfaceName.c_str());
    }
    return JLIB::kFailed;
}

JLIB::JResult KavoriNetworkSettings::GetIPSettings(const char* interfaceName, bool& dhcp, OSSUPPORT::IPv4Address& address,
                                                   OSSUPPORT::IPv4Address& netmask,
                                                   OSSUPPORT::IPv4Address& gateway) const
{
    bool linkUp = false;
    return GetIPSettings(interfaceName, linkUp, dhcp, address, netmask, gateway);
}

JLIB::JResult KavoriNetworkSettings::GetIPSettings(const char* interfaceName, bool& linkUp, bool& dhcp,
                                                   OSSUPPORT::IPv4Address& address, OSSUPPORT::IPv4Address& netmask,
                                                   OSSUPPORT::IPv4Address& gateway) const
{
    if (!isStoredInterface(interfaceName)) {
        linkUp = false;
        dhcp = true;
        address = OSSUPPORT::IPv4Address(kNoAddress);
        netmask = OSSUPPORT::IPv4Address("255.255.255.255");
        gateway = OSSUPPORT::IPv4Address(kNoAddress);
        return JLIB::kFailed;
    }
    linkUp = m_linkUp;
    dhcp = m_dhcp;
    address = m_address;
    netmask = m_netmask;
    gateway = m_gateway;
    return JLIB::kOk;
}

JLIB::JResult KavoriNetworkSettings::SetIsLinkUp(const char* interfaceName, bool up)
{
    if (!isStoredInterface(interfaceName)) return JLIB::kFailed;
    m_linkUp = up;
    return JLIB::kOk;
}

JLIB::JResult KavoriNetworkSettings::setObserver(IKavoriNetworkSettingsObserver* observer)
{
    if (m_pObserver) return JLIB::kFailed;
    m_pObserver = observer;
    return update(m_interfaceName.c_str());
}

JLIB::JResult KavoriNetworkSettings::update(const char* interfaceName)
{
    const char* name = interfaceName ? interfaceName : "";
    readCurrent(name);
    tellObserver(name);
    JLIB_LOG("[i] KavoriNetworkSettings::update Interface:%s UP:%d, isDHCP:%d IPv4Address:%s\n", name,
             m_linkUp ? 1 : 0, m_dhcp ? 1 : 0, m_address.get().c_str());
    return JLIB::kOk;
}

}  // namespace KAVORI
