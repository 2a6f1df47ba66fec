#include "MacBarServer/macbar_File.h"

#include <atomic>
#include <cstring>

#include "fsw/fsw_api.h"
#include "ossupport/ossupport_Network.h"

namespace MACBAR {

namespace {

constexpr uint32_t kAddressDigits = 12;
constexpr uint32_t kAddressTextBound = 32;  // longer texts are not counted further
constexpr uint32_t kEnvFileBytes = 25;      // "ethaddr=" and 17 characters
constexpr uint32_t kEnvReadBytes = 30;
constexpr uint32_t kSerialLength = 16;
constexpr uint32_t kSerialTextBound = 36;
constexpr uint32_t kSerialReadBytes = 17;
constexpr char kEnvPrefix[] = "ethaddr=";
constexpr uint32_t kEnvPrefixLength = sizeof kEnvPrefix - 1;

std::atomic<const IMacBarProductInfo*> s_productInfo{nullptr};

uint32_t boundedLength(const char* text, uint32_t bound)
{
    uint32_t n = 0;
    while (n < bound && text[n] != '\0') ++n;
    return n;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isDigitOrLetter(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
uint8_t hexValue(char c)
{
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    return static_cast<uint8_t>(upper(c) - 'A' + 10);
}

// The file's path in the static data folder; empty when no folder is known, so that nothing is
// ever written to the file system's root.
std::string filePath(const char* name)
{
    const IMacBarProductInfo* info = s_productInfo.load();
    if (!info) return {};
    const std::string folder = info->staticDataPath();
    if (folder.empty()) return {};
    return folder + "/" + name;
}

// Creates or truncates the file and writes all of the bytes; a file that did not get all of them
// is removed. The file systems are flushed either way.
JLIB::JResult writeWhole(const std::string& path, const char* data, uint32_t size)
{
    T_FSW_HANDLE handle = kFswInvalidHandle;
    bool written = false;
    if (JLIB::isSuccess(fsw_open(&handle, path.c_str(), kFswOpenWrite | kFswOpenCreate))) {
        uint32_t count = 0;
        written = JLIB::isSuccess(fsw_write(data, &count, size, &handle)) && count == size;
        written = JLIB::isSuccess(fsw_close(&handle)) && written;
        if (!written) (void)fsw_removeFile(path.c_str());  // nothing half-written stays; a missing file is fine
    }
    (void)fsw_sync();  // best effort: the data is written whether or not the flush reports
    return written ? JLIB::kOk : JLIB::kFailed;
}

// Reads at most size bytes of the file from its start; false when it cannot be opened or read.
bool readStart(const std::string& path, char* buffer, uint32_t size, uint32_t* count)
{
    *count = 0;
    T_FSW_HANDLE handle = kFswInvalidHandle;
    if (path.empty() || JLIB::isFailure(fsw_open(&handle, path.c_str(), kFswOpenRead | kFswOpenExisting))) return false;
    const bool read = JLIB::isSuccess(fsw_read(buffer, count, size, &handle));  // a short file answers a status
    (void)fsw_close(&handle);  // a read-only close has nothing to lose
    return read;
}

void clearBuffer(char* buffer, uint32_t size)
{
    if (buffer && size > 0) buffer[0] = '\0';
}

}  // namespace

void macbar_SetProductInfo(const IMacBarProductInfo* info) { s_productInfo.store(info); }

std::string macbar_GetProductName()
{
    const IMacBarProductInfo* info = s_productInfo.load();
    return info ? info->productName(0) : std::string("---");
}

JLIB::JResult macbar_WriteMACAddress(uint32_t interfaceIndex, const char* text)
{
    if (interfaceIndex != 1 || !text) return JLIB::kFailed;
    if (boundedLength(text, kAddressTextBound) != kAddressDigits) return JLIB::kFailed;
    for (uint32_t i = 0; i < kAddressDigits; ++i) {
        if (!isHexDigit(text[i])) return JLIB::kFailed;
    }
    const std::string path = filePath(kEnvFileName);
    if (path.empty()) return JLIB::kFailed;

    char content[kEnvFileBytes + 1] = {};
    std::memcpy(content, kEnvPrefix, kEnvPrefixLength);
    uint32_t at = kEnvPrefixLength;
    uint8_t address[6] = {};
    for (uint32_t i = 0; i < kAddressDigits; ++i) {
        if (i > 0 && i % 2 == 0) content[at++] = ':';
        content[at++] = upper(text[i]);
        address[i / 2] = static_cast<uint8_t>((address[i / 2] << 4) | hexValue(text[i]));
    }
    JLIB_RETURN_IF_FAILED(writeWhole(path, content, kEnvFileBytes));

    const IMacBarProductInfo* info = s_productInfo.load();
    const std::string port = info ? info->etherPort() : std::string("eth0");
    (void)OSSUPPORT::SetMacAddressTemporarily(port.c_str(), address, 6);  // the file is what counts
    return JLIB::kOk;
}

JLIB::JResult macbar_GetMACAddress(char* buffer, uint32_t size)
{
    clearBuffer(buffer, size);
    if (!buffer || size <= kAddressDigits) return JLIB::kFailed;
    char content[kEnvReadBytes] = {};
    uint32_t count = 0;
    if (!readStart(filePath(kEnvFileName), content, kEnvReadBytes, &count)) return JLIB::kFailed;
    if (count < kEnvPrefixLength || std::memcmp(content, kEnvPrefix, kEnvPrefixLength) != 0) return JLIB::kFailed;

    char digits[kAddressDigits + 1] = {};
    uint32_t found = 0;
    bool ended = false;
    for (uint32_t i = kEnvPrefixLength; i < count; ++i) {
        const char c = content[i];
        if (c == '\n' || c == '\r' || c == 0x1A) {
            ended = true;
        } else if (ended) {
            return JLIB::kFailed;
        } else if (isHexDigit(c)) {
            if (found == kAddressDigits) return JLIB::kFailed;
            digits[found++] = upper(c);
        } else if (c != ':') {
            return JLIB::kFailed;
        }
    }
    if (found != kAddressDigits) return JLIB::kFailed;
    std::memcpy(buffer, digits, kAddressDigits + 1);
    return JLIB::kOk;
}

JLIB::JResult macbar_ClearMACAddress(uint32_t)
{
    const std::string path = filePath(kEnvFileName);
    if (!path.empty()) (void)fsw_removeFile(path.c_str());  // a missing file is already clear
    return JLIB::kOk;
}

JLIB::JResult macbar_WriteESerial(const char* text)
{
    if (!text || boundedLength(text, kSerialTextBound) != kSerialLength) return JLIB::kFailed;
    char content[kSerialLength] = {};
    for (uint32_t i = 0; i < kSerialLength; ++i) {
        if (!isDigitOrLetter(text[i])) return JLIB::kFailed;
        content[i] = upper(text[i]);
    }
    const std::string path = filePath(kSerialFileName);
    if (path.empty()) return JLIB::kFailed;
    return writeWhole(path, content, kSerialLength);
}

JLIB::JResult macbar_GetESerial(char* buffer, uint32_t size)
{
    clearBuffer(buffer, size);
    if (!buffer || size <= kSerialLength) return JLIB::kFailed;
    char content[kSerialReadBytes] = {};
    uint32_t count = 0;
    if (!readStart(filePath(kSerialFileName), content, kSerialReadBytes, &count)) return JLIB::kFailed;
    if (count != kSerialLength) return JLIB::kFailed;
    for (uint32_t i = 0; i < kSerialLength; ++i) {
        const char c = content[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return JLIB::kFailed;
    }
    std::memcpy(buffer, content, kSerialLength);
    buffer[kSerialLength] = '\0';
    return JLIB::kOk;
}

JLIB::JResult macbar_ClearESerial()
{
    const std::string path = filePath(kSerialFileName);
    if (!path.empty()) (void)fsw_removeFile(path.c_str());  // a missing file is already clear
    return JLIB::kOk;
}

}  // namespace MACBAR
