#pragma once
// Base of a parameter provider: parameter addresses (each known by a u32 index), values, ratios,
// texts, attributes and snapshots. Every operation has a harmless default, so a device overrides
// only what it supports. Used on the OSC server's host thread; a provider locks what it touches.
// Arguments common to all: origin is the asking client's slot id, passed back with the changes
// the call causes; x and y are element indices counted from 0.
#include <cstdint>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscAddressAttrib.h"
#include "OscServer/OscCore/OscSnapshotAttrib.h"
#include "OscServer/OscCore/OscTypes.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class IOscParameterCallback;

class OscParameter {
public:
    OscParameter() = default;
    OscParameter(const OscParameter&) = delete;
    OscParameter& operator=(const OscParameter&) = delete;
    virtual ~OscParameter();

    // Keeps the server's callback (the server outlives its providers' use of it).
    [[nodiscard]] virtual JLIB::JResult initialize(IOscParameterCallback* callback);
    // Base: index 0.
    [[nodiscard]] virtual JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address);
    // Base: the list emptied.
    [[nodiscard]] virtual JLIB::JResult getIndexListFromAddress(OscIndexList& indices, const std::string& address);
    // Base: the text emptied.
    [[nodiscard]] virtual JLIB::JResult getAddress(std::string& address, uint32_t index);
    // Base: 0 addresses.
    virtual uint32_t getAddressNum();
    virtual JLIB::JResult setAddressNum(int32_t count);
    [[nodiscard]] virtual JLIB::JResult setValue(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                                 const JVariantList& values);
    [[nodiscard]] virtual JLIB::JResult setRatio(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                                 const JVariantList& values, uint32_t resolution);
    [[nodiscard]] virtual JLIB::JResult incDec(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                               const JVariantList& steps, uint32_t arg1, uint32_t arg2);
    [[nodiscard]] virtual JLIB::JResult setText(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                                                const JVariantList& texts);
    // Base: the given list emptied.
    [[nodiscard]] virtual JLIB::JResult setAttrib(std::vector<OscAddressAttrib>& attribs, uint32_t index);
    // Reads append to the list. Base: one Int32 0.
    [[nodiscard]] virtual JLIB::JResult getValue(JVariantList& values, uint8_t origin, uint32_t index, uint32_t x,
                                                 uint32_t y);
    // Base: the list emptied.
    [[nodiscard]] virtual JLIB::JResult getRatio(JVariantList& values, uint32_t resolution, uint8_t origin,
                                                 uint32_t index, uint32_t x, uint32_t y);
    // Base: the list emptied.
    [[nodiscard]] virtual JLIB::JResult getText(JVariantList& texts, uint8_t origin, uint32_t index, uint32_t x,
                                                uint32_t y);
    // One record per value of the address. Base: the list emptied.
    [[nodiscard]] virtual JLIB::JResult getAttrib(std::vector<OscAddressAttrib>& attribs, uint32_t index);
    // Base: index 0.
    [[nodiscard]] virtual JLIB::JResult checkDirty(uint32_t& index);
    // The number of snapshots of the category. Base: 0.
    virtual uint32_t getSnapshotNum(const std::string& category);
    virtual JLIB::JResult setSnapshotNum(const std::string& category, uint32_t count);
    // Base: the record cleared.
    [[nodiscard]] virtual JLIB::JResult getSnapshotAttrib(OscSnapshotAttrib& attrib, const std::string& category,
                                                          uint32_t number);
    [[nodiscard]] virtual JLIB::JResult setSnapshotAttrib(const OscSnapshotAttrib& attrib,
                                                          const std::string& category, uint32_t number);
    // Base: number 0, not modified.
    [[nodiscard]] virtual JLIB::JResult getCurrentSnapshot(uint32_t& number, bool& modified,
                                                           const std::string& category);
    // Base: number set to 0.
    [[nodiscard]] virtual JLIB::JResult setCurrentSnapshot(uint32_t& number, bool modified, uint8_t origin,
                                                           const std::string& category);
    [[nodiscard]] virtual JLIB::JResult recallSnapshot(uint8_t origin, const std::string& category, uint32_t number);
    [[nodiscard]] virtual JLIB::JResult updateSnapshot(uint8_t origin, const std::string& category, uint32_t number);
    // The by-name forms. Base: the record cleared.
    [[nodiscard]] virtual JLIB::JResult getSnapshotAttrib(OscSnapshotAttrib& attrib, const std::string& category,
                                                          const std::string& name);
    [[nodiscard]] virtual JLIB::JResult setSnapshotAttrib(const OscSnapshotAttrib& attrib,
                                                          const std::string& category, const std::string& name);
    // Base: the name emptied, not modified.
    [[nodiscard]] virtual JLIB::JResult getCurrentSnapshot(std::string& name, bool& modified,
                                                           const std::string& category);
    [[nodiscard]] virtual JLIB::JResult setCurrentSnapshot(std::string& name, bool modified, uint8_t origin,
                                                           const std::string& category);
    [[nodiscard]] virtual JLIB::JResult recallSnapshot(uint8_t origin, const std::string& category,
                                                       const std::string& name);
    [[nodiscard]] virtual JLIB::JResult updateSnapshot(uint8_t origin, const std::string& category,
                                                       const std::string& name);

protected:
    // The server's callback, null until initialize; owned by the server.
    IOscParameterCallback* m_pCallback = nullptr;
};

}  // namespace JOSC
