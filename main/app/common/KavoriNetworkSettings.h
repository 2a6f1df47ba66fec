#pragma once
// A cache of the IPv4 settings of one network interface ("eth0") that would forward static or
// DHCP configuration requests to the thread "Sync" and tells one observer when the settings
// change. In this system every configuration request is refused. No lock: one task at a time.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"
#include "ossupport/ossupport_IPv4Address.h"

namespace KAVORI {

class IKavoriNetworkSettingsObserver {
public:
    virtual ~IKavoriNetworkSettingsObserver() = default;
    // Called after the cached settings of the interface changed.
    virtual void onChangeNetworkSettings(const char* interfaceName) = 0;
};

class KavoriNetworkSettings {
public:
    static KavoriNetworkSettings& getInstance();

    // Reads the interface's current settings; the defaults stay when it has none.
    KavoriNetworkSettings();
    virtual ~KavoriNetworkSettings();

    // False in this system.
    virtual bool isUserLevelPermitted() const { return false; }

    // 0x80000000 when not permitted. Otherwise sends "ConfigNetwork" to "Sync" (waiting) and
    // stays busy until completedSettings; a failed send clears the busy flag and is answered.
    [[nodiscard]] JLIB::JResult SetStaticIPConfig(const char* interfaceName, const OSSUPPORT::IPv4Address& address,
                                                  const OSSUPPORT::IPv4Address& netmask,
                                                  const OSSUPPORT::IPv4Address& gateway);
    [[nodiscard]] JLIB::JResult SetDHCPConfig(const char* interfaceName);
    bool isBusy() const { return m_busy; }
    // Ends a pending request (the observer is told); always 0x80000000.
    JLIB::JResult completedSettings();

    // The cached values and 0 for the stored interface; for another name DHCP true, "0.0.0.0",
    // "255.255.255.255", "0.0.0.0" (link down) and 0x80000000.
    [[nodiscard]] JLIB::JResult GetIPSettings(const char* interfaceName, bool& dhcp, OSSUPPORT::IPv4Address& address,
                                              OSSUPPORT::IPv4Address& netmask, OSSUPPORT::IPv4Address& gateway) const;
    [[nodiscard]] JLIB::JResult GetIPSettings(const char* interfaceName, bool& linkUp, bool& dhcp,
                                              OSSUPPORT::IPv4Address& address, OSSUPPORT::IPv4Address& netmask,
                                              OSSUPPORT::IPv4Address& gateway) const;
    // 0x80000000 for another interface.
    [[nodiscard]] JLIB::JResult SetIsLinkUp(const char* interfaceName, bool up);

    // One observer only (borrowed; it must outlive this object's use): a second is refused with
    // 0x80000000. Runs update for the stored interface.
    [[nodiscard]] JLIB::JResult setObserver(IKavoriNetworkSettingsObserver* observer);
    // Reads the interface's current settings into the cache (kept when it has none), tells the
    // observer and logs them; 0.
    JLIB::JResult update(const char* interfaceName);

    const std::string& interfaceName() const { return m_interfaceName; }

private:
    bool isStoredInterface(const char* interfaceName) const;
    JLIB::JResult request(const char* interfaceName, bool dhcp, const OSSUPPORT::IPv4Address* address,
                          const OSSUPPORT::IPv4Address* netmask, const OSSUPPORT::IPv4Address* gateway);
    void readCurrent(const char* interfaceName);
    void tellObserver(const char* interfaceName);

    std::string m_interfaceName;
    bool m_busy;
    bool m_linkUp;
    bool m_dhcp;
    OSSUPPORT::IPv4Address m_address;
    OSSUPPORT::IPv4Address m_netmask;
    OSSUPPORT::IPv4Address m_gateway;
    IKavoriNetworkSettingsObserver* m_pObserver;
};

}  // namespace KAVORI
