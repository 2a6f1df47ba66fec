#pragma once
// The device's controller provider for the OSC server: the fixed device information, the run
// mode derived from "ProductState", the mode "normal", and the 34 command events whose ids begin
// with "uz:Command/", each carried out by one command function of the device logic. Lists and
// identification are not supported. Runs on the OSC server's thread only; it keeps no state but
// the server's callback.
#include <cstdint>
#include <string>

#include "OscServer/OscCore/OscDeviceController.h"
#include "jlib/jlib_result.h"

namespace LPC {

struct FixedDeviceInfo {
    const char* key;
    const char* value;
};
constexpr uint32_t kFixedDeviceInfoNum = 9;
// Key and value of every "devinfo" key, in the order the table is searched.
extern const FixedDeviceInfo gpFixedDeviceInfoTable[kFixedDeviceInfoNum];

class LpcOscDeviceController : public JOSC::OscDeviceController {
public:
    LpcOscDeviceController();
    ~LpcOscDeviceController() override;

    [[nodiscard]] JLIB::JResult initialize(JOSC::IOscDeviceCallback* callback) override;
    // The value is emptied first; 0 with the table's value (possibly empty), 0x80000004 for a key
    // not in the table (compared whole, case included).
    [[nodiscard]] JLIB::JResult getDeviceInfo(std::string& value, const std::string& key) override;
    // "runmode": "booting" while "ProductState" is 0, "normal" at 1, "????" for any other value,
    // "" when the calling thread cannot read it; 0. Any other key: "" and 0x80000004.
    [[nodiscard]] JLIB::JResult getDeviceStatus(std::string& value, const std::string& key) override;
    // "normal": every keep-alive client is told "runmode" "normal"; 0. The device's state does
    // not change. Any other mode: 0x80000004, nobody told.
    [[nodiscard]] JLIB::JResult changeDeviceMode(const std::string& mode) override;
    // 0x80000006 for an id not in the table (compared whole, case included); 0x80000004 when an
    // event with arguments is given another number of them (nothing is called); else 0, or
    // 0x80000000 when the command function failed ("uz:Command/Shutdown": 0x80000001;
    // "uz:Command/Sync/GoOffline" always 0). origin: the client id, recorded as "Factor".
    [[nodiscard]] JLIB::JResult runEvent(uint8_t origin, const std::string& event,
                                         const JOSC::JVariantList& arguments) override;
    // Not supported: 0x80000006 with the outputs untouched.
    [[nodiscard]] JLIB::JResult getListItemNum(const std::string& list, uint32_t& count, uint32_t& head,
                                               uint32_t& tail) override;
    [[nodiscard]] JLIB::JResult getListItem(const std::string& list, uint32_t itemIndex, JVariant& item,
                                            bool& flag) override;
    [[nodiscard]] JLIB::JResult runIdentify(uint32_t duration) override;
};

}  // namespace LPC
