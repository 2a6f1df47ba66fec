#include "common/KavoriJSDPListener.h"

#include <algorithm>
#include <cstring>

#include "jsdp/jsdp_api.h"
#include "vsock/vsock_addr.h"

namespace KAVORI {

namespace {

constexpr int32_t kAddressTextMax = 40;

// The filter's first bytes equal the whole name; a shorter filter never matches.
bool nameMatches(const char* filter, const JSDP::_JSDP_HOST_INFO& host)
{
    if (!filter) return true;
    for (uint32_t i = 0; i < host.nameLength; ++i) {
        if (filter[i] == '\0' || static_cast<uint8_t>(filter[i]) != host.name[i]) return false;
    }
    return true;
}

}  // namespace

KavoriJSDPListener& KavoriJSDPListener::getInstance()
{
    static KavoriJSDPListener instance;
    return instance;
}

JLIB::JResult KavoriJSDPListener::getServices(std::vector<ServiceRecord>& records, const char* filter)
{
    records.clear();
    uint32_t count = 0;
    if (JLIB::isFailure(JSDP::jsdp_getNumOfHost(&count))) return JLIB::kOk;  // nothing heard
    for (uint32_t i = 0; i < count; ++i) {
        JSDP::_JSDP_HOST_INFO host{};
        if (JLIB::isFailure(JSDP::jsdp_getHostInfo(i, &host))) continue;
        if (!nameMatches(filter, host)) continue;
        std::vector<std::string> texts;
        const uint32_t extraLength = std::min<uint32_t>(host.extensionLength, sizeof host.extension);
        if (JLIB::isFailure(getExInfo(texts, host.extension, extraLength)) || texts.size() < 3) continue;
        ServiceRecord record;
        record.name.assign(reinterpret_cast<const char*>(host.name), host.nameLength);
        char address[kAddressTextMax + 1] = {};
        if (vsock_ntop(&host.address, address, sizeof address) == 0) record.address = address;
        std::memcpy(record.mac, host.mac, sizeof record.mac);
        record.first = texts[0];
        record.text = texts[1];
        record.host = texts[2];
        record.status = host.status;
        records.push_back(std::move(record));
    }
    return JLIB::kOk;
}

}  // namespace KAVORI
