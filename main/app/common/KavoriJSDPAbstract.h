#pragma once
// Announcing services over the discovery protocol and decoding what others announce: the services,
// the local addresses and the texts of each announcement, over the discovery library. Meant for one
// owner task; the library's event function runs on the library's task and only calls the
// registered callbacks (with the library's lock held: they must not call the library).
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace JSDP {
struct _JSDP_HOST_INFO;
}

namespace KAVORI {

class IKavoriJSDPCallback {
public:
    virtual ~IKavoriJSDPCallback() = default;
    // Called on the library's task on every discovery event.
    virtual void onJSDPEvent() = 0;
};

// The callbacks of all initialised objects, each at most once, in the order they came.
std::vector<IKavoriJSDPCallback*> gCallbackListSnapshot();

// The library's event function: calls every registered callback in list order; 0.
JLIB::JResult jsdpCallback(const JSDP::_JSDP_HOST_INFO* host, uint8_t event);

class KavoriJSDPAbstract {
public:
    static constexpr uint16_t kDefaultPort = 54330;
    static constexpr const char* kGroupAddress = "239.192.0.64";
    static constexpr uint32_t kIntervalMs = 5000;
    static constexpr size_t kTextMax = 255;

    struct ServiceInfo {
        std::string name;
        std::string type;
        std::string text;
        int32_t handle = -1;  // -1 while not set up in the library
    };

    KavoriJSDPAbstract();
    virtual ~KavoriJSDPAbstract();

    virtual uint8_t role() const { return 1; }

    // 0x80000000 for a null text or when already initialised. Starts the library: when another
    // owner already started it, 0 without subscribing; a failed start 0x80000000; otherwise
    // subscribes the event function (retrying every 100 ms, at most kSubscribeTries times:
    // 0x80000000 and the start undone when it never succeeds) and 0.
    [[nodiscard]] JLIB::JResult initialize(const char* first, const char* second, IKavoriJSDPCallback* callback);
    // Stops the library, forgets the callback and both texts; 0x80000000 when the library failed.
    JLIB::JResult finalize();
    bool isInitialized() const { return !m_second.empty(); }

    // The service text is the second initialisation text.
    [[nodiscard]] JLIB::JResult addService(const char* name, const char* type);
    // Replaces the texts of a service of that name and type (which is then no longer set up) or
    // appends a new one; 0x80000000 for a null argument.
    [[nodiscard]] JLIB::JResult addService(const char* name, const char* type, const char* text);
    // The first service of that name and, unless type is null, that type; null when none.
    ServiceInfo* find(const char* name, const char* type);
    // Removes every matching service; 0x80000000 for a null name.
    JLIB::JResult removeService(const char* name, const char* type);
    // Reports the session flag of the first matching service to the library; 0x80000000 for a null
    // name, no match or a library failure.
    [[nodiscard]] JLIB::JResult setSessionEmpty(const char* name, const char* type, uint8_t flag);
    const std::vector<ServiceInfo>& services() const { return m_services; }

    void setMACAddress(const uint8_t* bytes, uint32_t length);
    void setIPAddress(const char* address, const char* secondAddress);
    void setHostName(const char* name);
    // The UDP port of the announcements (kDefaultPort unless set), so instances can run side by side.
    void setPort(uint16_t port) { m_port = port; }

    // Sets every service up in the library; stops after a setup that answers 0x80000007.
    // 0x80000000 when any setup failed.
    [[nodiscard]] JLIB::JResult start();
    // Clears every service in the library; 0.
    JLIB::JResult stop();
    [[nodiscard]] JLIB::JResult refresh();

    // The extra information of an announcement: three texts, each a length byte and at most 255
    // bytes (a longer text is cut).
    static std::vector<uint8_t> makeExInfo(const std::string& first, const std::string& text, const std::string& host);
    // Appends each complete length-prefixed text of the bytes to the list; a text cut short by
    // the end is dropped. 0x80000000 for null bytes or length 0.
    [[nodiscard]] static JLIB::JResult getExInfo(std::vector<std::string>& texts, const uint8_t* bytes, uint32_t length);

    static constexpr uint32_t kSubscribeTries = 50;

protected:
    static bool matches(const ServiceInfo& service, const char* name, const char* type);

private:
    IKavoriJSDPCallback* m_pCallback;  // the owner's; must outlive finalize
    std::vector<ServiceInfo> m_services;
    uint8_t m_mac[6];
    std::string m_address;
    std::string m_secondAddress;
    std::string m_first;
    std::string m_second;
    std::string m_hostName;
    uint16_t m_port;
};

}  // namespace KAVORI
