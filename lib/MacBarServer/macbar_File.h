#pragma once
// The unit's address and serial files in the product's static data folder: "GW.env" holds
// "ethaddr=" and six upper-case hexadecimal pairs joined by ":" (25 bytes), "GW.eserial" the
// 16-character serial; neither has a line end. Not locked: one station at a time.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace MACBAR {

constexpr const char* kEnvFileName = "GW.env";
constexpr const char* kSerialFileName = "GW.eserial";

// What the writer needs of the product information, which lives above this library: the
// application installs a source. Without one the folder is unknown (every file operation fails),
// the product name is "---" and the interface "eth0".
class IMacBarProductInfo {
public:
    virtual ~IMacBarProductInfo() = default;
    virtual std::string staticDataPath() const = 0;
    virtual std::string productName(uint32_t mode) const = 0;
    virtual std::string etherPort() const = 0;
};

// Any task. The source is borrowed: the installer keeps it alive until it installs null.
void macbar_SetProductInfo(const IMacBarProductInfo* info);

// The product name (mode 0).
std::string macbar_GetProductName();

// Only interface 1 and exactly 12 hexadecimal digits (either case) are taken. A failed write
// removes the file; the file systems are flushed after every write. The address is then applied
// to the interface named "EtherPort". 0, or 0x80000000 with nothing written or the file removed.
[[nodiscard]] JLIB::JResult macbar_WriteMACAddress(uint32_t interfaceIndex, const char* text);
// The stored address as 12 upper-case digits and a NUL; size must be above 12. 0x80000000 and an
// empty buffer when the file is missing or malformed.
[[nodiscard]] JLIB::JResult macbar_GetMACAddress(char* buffer, uint32_t size);
// Removes "GW.env" (the index is not used); always 0.
JLIB::JResult macbar_ClearMACAddress(uint32_t interfaceIndex);

// Exactly 16 digits or letters (either case), stored in upper case; a failed write removes the
// file; the file systems are flushed. 0 or 0x80000000.
[[nodiscard]] JLIB::JResult macbar_WriteESerial(const char* text);
// The stored serial and a NUL; size must be above 16. 0x80000000 and an empty buffer when the
// file is missing or is not exactly 16 digits or upper-case letters.
[[nodiscard]] JLIB::JResult macbar_GetESerial(char* buffer, uint32_t size);
// Removes "GW.eserial"; always 0.
JLIB::JResult macbar_ClearESerial();

}  // namespace MACBAR
