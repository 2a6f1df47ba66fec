#include "fsw/file_helpers.h"

#include <array>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>
#include <vector>

#include "fsw/internal/file_uuid.h"
#include "ossupport/ossupport_Network.h"

namespace {

constexpr uint32_t kNodeSize = 6;

// Node bytes for a machine without a usable MAC address: random once per process, with the
// multicast bit set so they can never equal a real interface's address.
const uint8_t* randomNode()
{
    static const auto node = [] {
        std::random_device source;
        std::array<uint8_t, kNodeSize> bytes{};
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(source());
        bytes[0] |= 0x01;
        return bytes;
    }();
    return node.data();
}

void putLittleEndian(uint8_t* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::mutex s_uuidLock;                                       // guards s_baseX
uint32_t s_baseX = fsw_internal::kUuidGeneratorStart;        // generator state of the process

}  // namespace

namespace fsw_internal {

JLIB::JResult makeUuid(uint8_t* buffer, uint32_t size, MacReader readMac, uint32_t& generator)
{
    if (!buffer || size < kFileUuidSize) return JLIB::kFailed;
    uint8_t work[kFileUuidSize] = {};
    if (!readMac || JLIB::isFailure(readMac(work, kFileUuidSize))) {
        // Without a MAC (no interface, a container) ids would stop, and with them backups.
        std::memcpy(work, randomNode(), kNodeSize);
    }
    uint32_t seconds = 0;
    JLIB_RETURN_IF_FAILED(file_GetSystemTime(&seconds));
    putLittleEndian(work + 6, seconds, 4);
    generator = nextUuidValue(generator);
    putLittleEndian(work + 10, generator, 3);
    generator = nextUuidValue(generator);
    putLittleEndian(work + 13, generator, 3);
    std::memcpy(buffer, work, kFileUuidSize);
    return JLIB::kOk;
}

}  // namespace fsw_internal

JLIB::JResult file_getUuid(uint8_t* buffer, uint32_t size)
{
    const std::lock_guard<std::mutex> lock(s_uuidLock);
    return fsw_internal::makeUuid(buffer, size, file_ReadMacAdrs, s_baseX);
}

JLIB::JResult file_compareData(const void* first, const void* second, uint32_t count, uint32_t* equal)
{
    if (!first || !second || count == 0 || !equal) return JLIB::kFailed;
    *equal = std::memcmp(first, second, count) == 0 ? 1 : 0;
    return JLIB::kOk;
}

JLIB::JResult file_ReadMacAdrs(uint8_t* buffer, uint32_t size)
{
    if (!buffer) return JLIB::kFailed;
    std::vector<OSSUPPORT::NetworkInterface> interfaces;
    JLIB::JResult r = OSSUPPORT::GetNetworkInterfaces(interfaces);
    if (JLIB::isSuccess(r) && interfaces.empty()) r = JLIB::kFailed;
    if (JLIB::isSuccess(r)) r = OSSUPPORT::GetMacAddress(interfaces.front().name.c_str(), buffer, size);
    if (JLIB::isFailure(r)) std::memset(buffer, 0, size);
    return r;
}

JLIB::JResult file_GetSystemTime(uint32_t* seconds)
{
    if (!seconds) return JLIB::kFailed;
    *seconds = static_cast<uint32_t>(time(nullptr));
    return JLIB::kOk;
}
