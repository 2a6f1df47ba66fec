#include "common/KavoriNetworkSettings.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "TMS/AbstractMessage.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"

namespace {

using namespace std::chrono_literals;
using OSSUPPORT::IPv4Address;

class Observer : public KAVORI::IKavoriNetworkSettingsObserver {
public:
    void onChangeNetworkSettings(const char* interfaceName) override { calls.push_back(interfaceName); }
    std::vector<std::string> calls;
};

// A product that grants the configuration requests.
class PermittedSettings : public KAVORI::KavoriNetworkSettings {
public:
    bool isUserLevelPermitted() const override { return true; }
};

// The thread "Sync" keeping a copy of every user message.
class SyncStandIn : public TmsTest::RecordingThread {
public:
    SyncStandIn() : Recording(1)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_messages.push_back(message);
        };
    }
    std::vector<TMS::AbstractMessage> messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_messages;
};

std::string text(const TMS::AbstractMessage& message, const char* key)
{
    const JVariant& value = message.data(key);
    return value.getType() == JVariant::kTypeString ? value.toString() : "<not a text>";
}

TEST(KavoriNetworkSettingsTest, EveryConfigurationRequestIsRefusedInThisSystem)
{
    KAVORI::KavoriNetworkSettings& settings = KAVORI::KavoriNetworkSettings::getInstance();
    EXPECT_FALSE(settings.isUserLevelPermitted());
    const IPv4Address address("10.0.0.5");
    EXPECT_EQ(0x80000000u, settings.SetStaticIPConfig("eth0", address, address, address));
    EXPECT_EQ(0x80000000u, settings.SetDHCPConfig("eth0"));
    EXPECT_FALSE(settings.isBusy());
    EXPECT_EQ(0x80000000u, settings.completedSettings());
    EXPECT_EQ("eth0", settings.interfaceName());
}

TEST(KavoriNetworkSettingsTest, AnotherInterfaceAnswersTheFixedValuesAndAFailure)
{
    KAVORI::KavoriNetworkSettings settings;
    bool linkUp = true;
    bool dhcp = false;
    IPv4Address address("1.2.3.4");
    IPv4Address netmask("1.2.3.4");
    IPv4Address gateway("1.2.3.4");
    EXPECT_EQ(0x80000000u, settings.GetIPSettings("wlan7", linkUp, dhcp, address, netmask, gateway));
    EXPECT_FALSE(linkUp);
    EXPECT_TRUE(dhcp);
    EXPECT_EQ("0.0.0.0", address.get());
    EXPECT_EQ("255.255.255.255", netmask.get());
    EXPECT_EQ("0.0.0.0", gateway.get());
    dhcp = false;
    EXPECT_EQ(0x80000000u, settings.GetIPSettings(nullptr, dhcp, address, netmask, gateway));
    EXPECT_TRUE(dhcp);

    EXPECT_EQ(0x80000000u, settings.SetIsLinkUp("wlan7", true));
    EXPECT_EQ(0u, settings.SetIsLinkUp("eth0", true));
    EXPECT_EQ(0u, settings.GetIPSettings("eth0", linkUp, dhcp, address, netmask, gateway));
    EXPECT_TRUE(linkUp);
}

TEST(KavoriNetworkSettingsTest, OneObserverOnlyAndItIsToldOnUpdate)
{
    KAVORI::KavoriNetworkSettings settings;
    Observer first;
    Observer second;
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, settings.setObserver(&first));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ((std::vector<std::string>{"eth0"}), first.calls);
    EXPECT_NE(std::string::npos, out.find("[i] KavoriNetworkSettings::update Interface:eth0 UP:0, isDHCP:")) << out;
    EXPECT_EQ(0x80000000u, settings.setObserver(&second));
    EXPECT_TRUE(second.calls.empty());
}

TEST(KavoriNetworkSettingsTest, PermittedRequestsGoToSyncAndStayBusyUntilCompleted)
{
    TMS::TMSystem system;
    SyncStandIn sync;
    ASSERT_TRUE(TmsTest::setUpThread(sync, "Sync"));
    ASSERT_EQ(0u, sync.start(TMS::getNullDataMap()));

    PermittedSettings settings;
    Observer observer;
    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, settings.setObserver(&observer));
    (void)testing::internal::GetCapturedStdout();
    observer.calls.clear();

    // Link down: the static settings go into the cache at once.
    EXPECT_EQ(0u, settings.SetStaticIPConfig("eth0", IPv4Address("10.0.0.5"), IPv4Address("255.0.0.0"),
                                             IPv4Address("10.0.0.1")));
    EXPECT_TRUE(settings.isBusy());
    bool dhcp = true;
    IPv4Address address;
    IPv4Address netmask;
    IPv4Address gateway;
    ASSERT_EQ(0u, settings.GetIPSettings("eth0", dhcp, address, netmask, gateway));
    EXPECT_FALSE(dhcp);
    EXPECT_EQ("10.0.0.5", address.get());
    EXPECT_EQ("255.0.0.0", netmask.get());
    EXPECT_EQ("10.0.0.1", gateway.get());
    EXPECT_EQ(1u, observer.calls.size());
    EXPECT_EQ(0x80000000u, settings.completedSettings());
    EXPECT_FALSE(settings.isBusy());
    EXPECT_EQ(2u, observer.calls.size());
    EXPECT_EQ(0x80000000u, settings.completedSettings());  // not busy: nobody is told
    EXPECT_EQ(2u, observer.calls.size());

    // Link up: the interface reports the new settings itself later.
    ASSERT_EQ(0u, settings.SetIsLinkUp("eth0", true));
    EXPECT_EQ(0u, settings.SetStaticIPConfig("eth0", IPv4Address("10.0.0.9"), IPv4Address("255.0.0.0"),
                                             IPv4Address("10.0.0.1")));
    ASSERT_EQ(0u, settings.GetIPSettings("eth0", dhcp, address, netmask, gateway));
    EXPECT_EQ("10.0.0.5", address.get());
    EXPECT_EQ(2u, observer.calls.size());

    EXPECT_EQ(0u, settings.SetDHCPConfig("eth0"));
    ASSERT_EQ(0u, settings.GetIPSettings("eth0", dhcp, address, netmask, gateway));
    EXPECT_TRUE(dhcp);
    EXPECT_EQ("0.0.0.0", address.get());
    EXPECT_EQ("0.0.0.0", netmask.get());
    EXPECT_EQ(3u, observer.calls.size());

    ASSERT_TRUE(TmsTest::waitFor([&] { return sync.messages().size() == 3; }, 5s));
    const std::vector<TMS::AbstractMessage> got = sync.messages();
    EXPECT_EQ(0u, got[0].messageId());
    EXPECT_EQ("ConfigNetwork", text(got[0], "CommandName"));
    EXPECT_EQ("eth0", text(got[0], "Interface"));
    EXPECT_EQ(0, got[0].data("isDHCP").toInt32());
    EXPECT_EQ("10.0.0.5", text(got[0], "IPAddress"));
    EXPECT_EQ("255.0.0.0", text(got[0], "Netmask"));
    EXPECT_EQ("10.0.0.1", text(got[0], "Gateway"));
    EXPECT_EQ(1, got[2].data("isDHCP").toInt32());
    EXPECT_EQ(JVariant::kTypeInvalid, got[2].data("IPAddress").getType());
    (void)sync.release();
}

}  // namespace
