#include "common/KavoriJSDPAbstract.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "jlib/jlib_cfg.h"
#include "jsdp/jsdp_api.h"
#include "vsock/vsock_addr.h"

namespace KAVORI {

namespace {

constexpr JLIB::JResult kAlreadyStarted = 0x80000005u;
constexpr JLIB::JResult kTableFull = 0x80000007u;
constexpr auto kSubscribeRetry = std::chrono::milliseconds(100);

// The list is changed by owners and read by the library's task.
std::mutex& callbackMutex()
{
    static std::mutex mutex;
    return mutex;
}
std::vector<IKavoriJSDPCallback*>& gCallbackList()
{
    static std::vector<IKavoriJSDPCallback*> list;
    return list;
}

void addCallback(IKavoriJSDPCallback* callback)
{
    if (!callback) return;
    std::lock_guard<std::mutex> lock(callbackMutex());
    std::vector<IKavoriJSDPCallback*>& list = gCallbackList();
    if (std::find(list.begin(), list.end(), callback) == list.end()) list.push_back(callback);
}

void removeCallback(IKavoriJSDPCallback* callback)
{
    std::lock_guard<std::mutex> lock(callbackMutex());
    std::vector<IKavoriJSDPCallback*>& list = gCallbackList();
    list.erase(std::remove(list.begin(), list.end(), callback), list.end());
}

netc_addr addressOf(const std::string& text)
{
    netc_addr address = netc_addr_any;
    if (vsock_pton(NETC_AF_INET, text.c_str(), &address) != 0) {
        address = netc_addr_any;  // a text that does not parse announces no address
        address.family = NETC_AF_INET;
    }
    return address;
}

void appendText(std::vector<uint8_t>& bytes, const std::string& text)
{
    const size_t length = std::min(text.size(), KavoriJSDPAbstract::kTextMax);
    bytes.push_back(static_cast<uint8_t>(length));
    bytes.insert(bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

std::vector<IKavoriJSDPCallback*> gCallbackListSnapshot()
{
    std::lock_guard<std::mutex> lock(callbackMutex());
    return gCallbackList();
}

JLIB::JResult jsdpCallback(const JSDP::_JSDP_HOST_INFO*, uint8_t)
{
    // Called outside the list's lock, so a callback may register or leave.
    for (IKavoriJSDPCallback* callback : gCallbackListSnapshot()) callback->onJSDPEvent();
    return JLIB::kOk;
}

KavoriJSDPAbstract::KavoriJSDPAbstract() : m_pCallback(nullptr), m_mac{}, m_port(kDefaultPort) {}

KavoriJSDPAbstract::~KavoriJSDPAbstract() = default;

JLIB::JResult KavoriJSDPAbstract::initialize(const char* first, const char* second, IKavoriJSDPCallback* callback)
{
    if (!first || !second || isInitialized()) return JLIB::kFailed;
    m_first = first;
    m_second = second;
    m_pCallback = callback;
    addCallback(callback);
    const JLIB::JResult started = JSDP::jsdp_startup();
    if (started == kAlreadyStarted) return JLIB::kOk;  // its owner subscribed already
    if (JLIB::isFailure(started)) return JLIB::kFailed;
    for (uint32_t tries = 0; tries < kSubscribeTries; ++tries) {
        if (JLIB::isSuccess(JSDP::jsdp_subscribe(&jsdpCallback))) return JLIB::kOk;
        std::this_thread::sleep_for(kSubscribeRetry);
    }
    // A caller the library can never subscribe (no task of the OS layer) would wait forever.
    JLIB_LOG("[E] KavoriJSDPAbstract::initialize - Cannot subscribe to the discovery library!\n");
    (void)JSDP::jsdp_cleanup();  // undoes the start above
    return JLIB::kFailed;
}

JLIB::JResult KavoriJSDPAbstract::finalize()
{
    const JLIB::JResult stopped = JSDP::jsdp_cleanup();
    removeCallback(m_pCallback);
    m_first.clear();
    m_second.clear();
    m_pCallback = nullptr;
    return JLIB::isFailure(stopped) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult KavoriJSDPAbstract::addService(const char* name, const char* type)
{
    return addService(name, type, m_second.c_str());
}

JLIB::JResult KavoriJSDPAbstract::addService(const char* name, const char* type, const char* text)
{
    if (!name || !type || !text) return JLIB::kFailed;
    for (ServiceInfo& service : m_services) {
        if (service.name != name || service.type != type) continue;
        service.text = text;
        service.handle = -1;  // set up again by the next start; the old setup stays in the library
        return JLIB::kOk;
    }
    m_services.push_back(ServiceInfo{name, type, text, -1});
    return JLIB::kOk;
}

bool KavoriJSDPAbstract::matches(const ServiceInfo& service, const char* name, const char* type)
{
    return service.name == name && (!type || service.type == type);
}

KavoriJSDPAbstract::ServiceInfo* KavoriJSDPAbstract::find(const char* name, const char* type)
{
    if (!name) return nullptr;
    for (ServiceInfo& service : m_services) {
        if (matches(service, name, type)) return &service;
    }
    return nullptr;
}

JLIB::JResult KavoriJSDPAbstract::removeService(const char* name, const char* type)
{
    if (!name) return JLIB::kFailed;
    m_services.erase(std::remove_if(m_services.begin(), m_services.end(),
                                    [&](const ServiceInfo& service) { return matches(service, name, type); }),
                     m_services.end());
    return JLIB::kOk;
}

JLIB::JResult KavoriJSDPAbstract::setSessionEmpty(const char* name, const char* type, uint8_t flag)
{
    const ServiceInfo* service = find(name, type);
    if (!service) return JLIB::kFailed;
    return JLIB::isFailure(JSDP::jsdp2_changeStatus(service->handle, flag)) ? JLIB::kFailed : JLIB::kOk;
}

void KavoriJSDPAbstract::setMACAddress(const uint8_t* bytes, uint32_t length)
{
    std::memset(m_mac, 0, sizeof m_mac);
    if (bytes) std::memcpy(m_mac, bytes, std::min<size_t>(length, sizeof m_mac));
}

void KavoriJSDPAbstract::setIPAddress(const char* address, const char* secondAddress)
{
    m_address = address ? address : "0.0.0.0";
    m_secondAddress = secondAddress ? secondAddress : "0.0.0.0";
}

void KavoriJSDPAbstract::setHostName(const char* name) { m_hostName = name ? name : ""; }

std::vector<uint8_t> KavoriJSDPAbstract::makeExInfo(const std::string& first, const std::string& text,
                                                    const std::string& host)
{
    std::vector<uint8_t> bytes;
    appendText(bytes, first);
    appendText(bytes, text);
    appendText(bytes, host);
    return bytes;
}

JLIB::JResult KavoriJSDPAbstract::getExInfo(std::vector<std::string>& texts, const uint8_t* bytes, uint32_t length)
{
    if (!bytes || length == 0) return JLIB::kFailed;
    uint32_t at = 0;
    while (at < length) {
        const uint32_t size = bytes[at++];
        if (size > length - at) break;  // cut short by the end of the data
        texts.emplace_back(reinterpret_cast<const char*>(bytes + at), size);
        at += size;
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriJSDPAbstract::start()
{
    const std::string address = m_address.empty() ? "0.0.0.0" : m_address;
    const std::string second = m_secondAddress.empty() ? "0.0.0.0" : m_secondAddress;
    bool failed = false;
    for (ServiceInfo& service : m_services) {
        // A start that failed part-way is retried: what it already set up stays as it is, since
        // setting it up again would take a second table entry and fill the library's table.
        if (service.handle >= 0) continue;
        const std::vector<uint8_t> extra = makeExInfo(m_first, service.text, m_hostName);
        JSDP::_T_JSDP_NETWORK_SETUP_PROPERTY setup{};
        setup.role = role();
        std::memcpy(setup.mac, m_mac, sizeof m_mac);
        setup.localAddress = addressOf(address);
        setup.subnetMask = addressOf(second);
        setup.port = m_port;
        setup.groupAddress = addressOf(kGroupAddress);
        // The name's length travels in one byte.
        setup.nameLength = static_cast<uint8_t>(std::min(service.name.size(), kTextMax));
        setup.name = reinterpret_cast<const uint8_t*>(service.name.data());
        setup.intervalMs = kIntervalMs;
        setup.extensionLength = static_cast<uint16_t>(extra.size());
        setup.extension = extra.data();
        const JLIB::JResult result = JSDP::jsdp2_setup(&service.handle, &setup);
        if (JLIB::isFailure(result)) failed = true;
        if (result == kTableFull) break;
    }
    return failed ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult KavoriJSDPAbstract::stop()
{
    for (ServiceInfo& service : m_services) {
        if (service.handle >= 0) (void)JSDP::jsdp2_clear(service.handle);  // a failure leaves nothing to undo
        service.handle = -1;
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriJSDPAbstract::refresh()
{
    const JLIB::JResult stopped = stop();
    const JLIB::JResult started = start();
    return (JLIB::isFailure(stopped) || JLIB::isFailure(started)) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace KAVORI
