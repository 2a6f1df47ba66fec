#pragma once
// The device's parameter provider for the OSC server: the 145 protocol parameters under their
// "uz:" addresses (index = row of the OSC parameter table), read and written through the
// protocol memory as values, ratios of a resolution, relative steps and texts; their attributes;
// the announcement of device parameter changes; and the device's scenes as the snapshots of the
// one category "PROC:ParamSet/Vexalume". Runs on the OSC server's thread only; it keeps no state
// but the server's callback and the group address list, built once.
#include <cstdint>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscParameter.h"
#include "jlib/jlib_result.h"

namespace LPC {

// A protocol memory result as an OSC result: 0, 1 and 0x80000001 to 0x80000005 unchanged, a
// protected item (0x80000006) as "ReadOnly" (0x80000009), anything else 0x80000000.
JLIB::JResult yerrToOsc(JLIB::JResult code);

class LpcOscParameter : public JOSC::OscParameter {
public:
    // The group address that stands for the object settings a logical-position controller shows.
    static constexpr const char* kLogicalPositionControl = "uz:@LogicalPositionControl";

    LpcOscParameter();
    ~LpcOscParameter() override;

    [[nodiscard]] JLIB::JResult initialize(JOSC::IOscParameterCallback* callback) override;
    // 0 with the first row whose address equals the text exactly; index 0 and 0x80000005 otherwise.
    [[nodiscard]] JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address) override;
    // The group address appends its 13 member indexes (the list is not cleared); any other text
    // 0x80000005.
    [[nodiscard]] JLIB::JResult getIndexListFromAddress(JOSC::OscIndexList& indices,
                                                        const std::string& address) override;
    // 0x80000005 with the text unchanged for an index of 145 or more.
    [[nodiscard]] JLIB::JResult getAddress(std::string& address, uint32_t index) override;
    uint32_t getAddressNum() override;

    // Writes: the OSC result of the protocol memory's write (1 when the database did not keep
    // the values as given); the server's onParameterChanged follows every write that did not
    // fail. 0x80000005 for an index of 145 or more.
    [[nodiscard]] JLIB::JResult setValue(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                         const JOSC::JVariantList& values) override;
    // Ratio r of resolution n: below n - 1 a rounded share of the range above the minimum, else
    // the maximum; every ratio 0 for n below 2.
    [[nodiscard]] JLIB::JResult setRatio(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                         const JOSC::JVariantList& ratios, uint32_t resolution) override;
    // Each step moves its value by step percent of the range. 0x80000002 for a text parameter,
    // 0x80000004 when the step count differs from the value count.
    [[nodiscard]] JLIB::JResult incDec(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                       const JOSC::JVariantList& steps, uint32_t unused1, uint32_t unused2) override;
    // Texts through the row's expression (a refused text becomes an invalid value); rows without
    // one take the values as given.
    [[nodiscard]] JLIB::JResult setText(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                        const JOSC::JVariantList& texts) override;
    // Attributes are fixed: 0x80000002.
    [[nodiscard]] JLIB::JResult setAttrib(std::vector<JOSC::OscAddressAttrib>& attribs, uint32_t index) override;

    // Reads append to the list; the OSC result of the protocol memory's read.
    [[nodiscard]] JLIB::JResult getValue(JOSC::JVariantList& values, uint8_t origin, uint32_t index, uint32_t x,
                                         uint32_t y) override;
    // 0x80000002 for a text parameter; every ratio 0 for a range or resolution of 0.
    [[nodiscard]] JLIB::JResult getRatio(JOSC::JVariantList& ratios, uint32_t resolution, uint8_t origin,
                                         uint32_t index, uint32_t x, uint32_t y) override;
    // Texts of at most 32 characters: the row's expression, else "%d", "%.2f" or the text.
    [[nodiscard]] JLIB::JResult getText(JOSC::JVariantList& texts, uint8_t origin, uint32_t index, uint32_t x,
                                        uint32_t y) override;
    // One record per member, all alike, from member 0. 0x80000005 for an index of 145 or more.
    [[nodiscard]] JLIB::JResult getAttrib(std::vector<JOSC::OscAddressAttrib>& attribs, uint32_t index) override;

    // Snapshots are the device's scenes, named by their scene number text, all in the category
    // "PROC:ParamSet/Vexalume"; another category is refused with 0x80000004 (0 snapshots).
    uint32_t getSnapshotNum(const std::string& category) override;
    // The number-th listed scene; "empty" with 0 past the last one.
    [[nodiscard]] JLIB::JResult getSnapshotAttrib(JOSC::OscSnapshotAttrib& attrib, const std::string& category,
                                                  uint32_t number) override;
    // Title and comment of the scene as "user"; "empty" with 0 for a number not in the list.
    [[nodiscard]] JLIB::JResult getSnapshotAttrib(JOSC::OscSnapshotAttrib& attrib, const std::string& category,
                                                  const std::string& name) override;
    // The last recalled scene and the edit flag; "" and false when they cannot be read.
    [[nodiscard]] JLIB::JResult getCurrentSnapshot(std::string& name, bool& modified,
                                                   const std::string& category) override;
    // Asks the device-control thread to recall (store the current settings as) the scene;
    // 0x80000000 when the request could not be posted.
    [[nodiscard]] JLIB::JResult recallSnapshot(uint8_t origin, const std::string& category,
                                               const std::string& name) override;
    [[nodiscard]] JLIB::JResult updateSnapshot(uint8_t origin, const std::string& category,
                                               const std::string& name) override;
    // The by-number forms the device does not serve stay the base's.
    using JOSC::OscParameter::getCurrentSnapshot;
    using JOSC::OscParameter::recallSnapshot;
    using JOSC::OscParameter::updateSnapshot;

    // A changed device parameter (its database address, post-fix allowed): announced to the
    // server when it has an exposed row, or any row while "EmitAllJOSCNotify" is on. 0x80000005
    // for an address without a row; 0 otherwise.
    JLIB::JResult parameterChanged(const std::string& pdbAddress, uint32_t x, uint32_t y, uint8_t origin);
};

}  // namespace LPC
