#pragma once
// The component interface (one instance of a component type with one parameter array per
// address) and the callbacks that tie components to their database and subscribers.
// Components have no lock: their database calls them under its lock.
#include <cstdint>

#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "pdb_FlagArray.h"

namespace PDB {

class ComponentInfo;
class IParameterArray;
class IParameterDB;
class ParameterInfo;

// Result of a component operation when some element of an address or component failed.
constexpr JLIB::JResult kSomeElementFailed = 0x80000040u;
// Result of a walk over changed elements when none is left; not a failure.
constexpr JLIB::JResult kNoMoreDirty = 0x200000u;

// A component reports every write operation to its database; runs on the writer's thread.
class IComponentCallback {
public:
    virtual uint32_t rawCallbackSetPDBParameter() = 0;
    virtual ~IComponentCallback() {}
};

// Implemented by subscribing threads; called on the writer's thread, so implementations only
// post to their own thread and never block.
class IParameterDBCallback {
public:
    virtual uint32_t rawCallbackChangePDBConfig() = 0;
    virtual uint32_t rawCallbackSetPDBParameter() = 0;
    virtual ~IParameterDBCallback() {}
};

// ai: address index; f: factor of the write. Declaration order is the slot order.
class IComponent {
public:
    virtual ~IComponent() {}

    [[nodiscard]] virtual JLIB::JResult clear() = 0;
    virtual bool isValid() const = 0;
    virtual const ComponentInfo& componentInfo() const = 0;
    virtual uint32_t addressNum() const = 0;
    virtual uint32_t addressIndex(const char* address) const = 0;
    virtual const ParameterInfo& paramInfo(uint32_t ai) const = 0;
    virtual const IParameterArray& paramArray(uint32_t ai) const = 0;
    [[nodiscard]] virtual JLIB::JResult setUserName(const char* userName) = 0;
    [[nodiscard]] virtual JLIB::JResult setAttribute(uint32_t attribute) = 0;
    [[nodiscard]] virtual JLIB::JResult resizeComponent(uint32_t sizeX, uint32_t sizeY, bool keepValues,
                                                        uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult resizeDirtyFlag(uint32_t subscriberCount) = 0;
    [[nodiscard]] virtual JLIB::JResult setVariant(uint32_t ai, uint32_t x, uint32_t y, const JVariant& value,
                                                   uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setVariants(uint32_t ai, const IParameterArray& source, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setFloat(uint32_t ai, uint32_t x, uint32_t y, float value, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setBool(uint32_t ai, uint32_t x, uint32_t y, bool value, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setString(uint32_t ai, uint32_t x, uint32_t y, const char* text,
                                                  uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                                  uint32_t length, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(uint32_t ai, uint32_t x, uint32_t y, uint8_t f) = 0;
    // Every element of the address, then every address: 0x80000040 when any element failed.
    [[nodiscard]] virtual JLIB::JResult setDefault(uint32_t ai, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y, bool on) = 0;
    [[nodiscard]] virtual JLIB::JResult setAllImportSafeFlag(bool on) = 0;
    [[nodiscard]] virtual JLIB::JResult setDirty(uint32_t ai, uint32_t x, uint32_t y, uint8_t f) = 0;
    // f may be null.
    [[nodiscard]] virtual JLIB::JResult getVariant(JVariant& value, uint32_t ai, uint32_t x, uint32_t y,
                                                   uint8_t* f) const = 0;
    [[nodiscard]] virtual JLIB::JResult getVariants(IParameterArray& destination, uint32_t ai) const = 0;
    // A failed read yields 0, 0.0 or false.
    virtual uint32_t getUInt32(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual int32_t getSInt32(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual float getFloat(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual bool getBool(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    [[nodiscard]] virtual JLIB::JResult getDefault(JVariant& value, uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual bool getImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual bool getDirty(int32_t slot, uint32_t ai, uint32_t x, uint32_t y) const = 0;
    [[nodiscard]] virtual JLIB::JResult clearAllDirty(int32_t slot) = 0;
    virtual uint8_t getFactor(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual bool checkPosRange(uint32_t ai, uint32_t x, uint32_t y) const = 0;
    [[nodiscard]] virtual JLIB::JResult reevaluate(uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult duplicate(uint32_t ai, const IComponent& source, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(uint32_t ai, const IComponent& source, const ImportAttr& attr,
                                               uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult reflectChange(uint32_t ai, uint32_t x, uint32_t y,
                                                      const IComponent& source) = 0;
    // The component image: the "#CI1" definition image, then one "#PR1" record per address.
    virtual uint32_t exportSize() const = 0;
    [[nodiscard]] virtual JLIB::JResult exportBinary(uint8_t* buffer, uint32_t length) const = 0;
    [[nodiscard]] virtual JLIB::JResult importBinary(IParameterDB& db, uint32_t ci, const uint8_t* data,
                                                     uint32_t length, const ImportAttr& attr, uint8_t f,
                                                     JLIB::HeapId heap) = 0;
    [[nodiscard]] virtual JLIB::JResult captureDirtyFlag(int32_t slot) = 0;
    // 0 with the next changed element (which is cleared), 0x200000 when none is left.
    [[nodiscard]] virtual JLIB::JResult checkNextDirty(int32_t slot, uint32_t& ai, uint32_t& x, uint32_t& y) = 0;
};

}  // namespace PDB
