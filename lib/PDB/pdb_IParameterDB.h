#pragma once
// The operations every parameter database offers: the live database, the unlocked local copy
// and the shared null database. Live databases lock for each operation themselves; a caller
// holds readLock/writeLock around several operations that must appear as one.
#include <cstdint>
#include <vector>

#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "pdb_FlagArray.h"
#include "pdb_Mutex.h"
#include "pdb_ParameterAttr.h"
#include "pdb_UniqId.h"

namespace PDB {

class AddressId;
class ComponentInfo;
class IComponent;
class IParameterArray;
class IParameterDBCallback;
class ParameterInfo;

using UniqIdList = std::vector<UniqId>;
using ComponentIndexList = std::vector<uint32_t>;

// Declaration order is the slot order; the four lock operations come first from IMutex.
// ci: component index, ai: address index, f: factor of the write. Texts, definitions and
// components are returned by reference and stay valid while their component exists.
class IParameterDB : public IMutex {
public:
    ~IParameterDB() override {}

    [[nodiscard]] virtual JLIB::JResult finalize() = 0;
    [[nodiscard]] virtual JLIB::JResult clear() = 0;
    virtual bool isValid() const = 0;
    virtual uint32_t instanceId() const = 0;
    virtual const char* name() const = 0;

    // Subscriptions and change tracking; slots are signed, 0xFFFFFFFF (-1) for none.
    [[nodiscard]] virtual JLIB::JResult addDirtyFlag(uint32_t subscriberId, IParameterDBCallback* callback,
                                                     const SubscribeAttr& attr) = 0;
    virtual int32_t getDirtyFlagSet(uint32_t subscriberId) const = 0;
    [[nodiscard]] virtual JLIB::JResult captureDirtyFlag(int32_t slot) = 0;
    // 0 with the next changed position, 0x200000 when none is left.
    [[nodiscard]] virtual JLIB::JResult checkNextDirty(int32_t slot, uint32_t& ci, uint32_t& ai, uint32_t& x,
                                                       uint32_t& y, bool stopAtComponentEnd) = 0;
    [[nodiscard]] virtual JLIB::JResult clearAllDirty(int32_t slot) = 0;
    [[nodiscard]] virtual JLIB::JResult reevaluate(uint8_t f) = 0;

    // Components, their use and removal.
    virtual UniqId makeNewId() const = 0;
    [[nodiscard]] virtual JLIB::JResult addComponent(const UniqId& id, const char* typeName, uint32_t majorVersion,
                                                     uint32_t sizeX, uint32_t sizeY, int16_t generation) = 0;
    [[nodiscard]] virtual JLIB::JResult addComponent(const UniqId& id, const ComponentInfo& info) = 0;
    [[nodiscard]] virtual JLIB::JResult reqRemoveComponent(const UniqId& id) = 0;
    [[nodiscard]] virtual JLIB::JResult useComponent(const UniqId& id) = 0;
    [[nodiscard]] virtual JLIB::JResult useComponent() = 0;
    [[nodiscard]] virtual JLIB::JResult releaseComponent(const UniqId& id) = 0;
    [[nodiscard]] virtual JLIB::JResult releaseComponent() = 0;
    virtual bool isComponentUsed(const UniqId& id) const = 0;
    virtual bool isComponentUsed() const = 0;
    [[nodiscard]] virtual JLIB::JResult newComponentList(UniqIdList& list) const = 0;
    [[nodiscard]] virtual JLIB::JResult removingComponentList(UniqIdList& list) const = 0;

    // Addressing and metadata; indexes are 0xFFFFFFFF when nothing is found.
    virtual AddressId getAddressId(const UniqId& id, const char* address) const = 0;
    virtual AddressId getAddressId(uint32_t ci, uint32_t ai) const = 0;
    virtual uint32_t getComponentIndex(const UniqId& id) const = 0;
    virtual uint32_t getAddressIndex(const UniqId& id, const char* address) const = 0;
    virtual uint32_t componentNum() const = 0;
    virtual uint32_t componentIndexNum() const = 0;
    [[nodiscard]] virtual JLIB::JResult setUserName(uint32_t ci, const char* userName) = 0;
    [[nodiscard]] virtual JLIB::JResult setAttribute(uint32_t ci, uint32_t attribute) = 0;
    [[nodiscard]] virtual JLIB::JResult resizeComponent(uint32_t ci, uint32_t sizeX, uint32_t sizeY, bool keepValues,
                                                        uint8_t f) = 0;
    virtual const ComponentInfo& componentInfo(uint32_t ci) const = 0;
    virtual const char* componentName(uint32_t ci) const = 0;
    virtual uint32_t componentVersion(uint32_t ci) const = 0;
    virtual int16_t generation(uint32_t ci) const = 0;
    virtual UniqId uniqId(uint32_t ci) const = 0;
    virtual const char* userName(uint32_t ci) const = 0;
    virtual uint32_t attribute(uint32_t ci) const = 0;
    virtual uint32_t addressNum(uint32_t ci) const = 0;
    virtual const ParameterInfo& paramInfo(uint32_t ci, uint32_t ai) const = 0;

    // Typed access by index.
    [[nodiscard]] virtual JLIB::JResult setVariant(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                                   const JVariant& value, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setVariants(uint32_t ci, uint32_t ai, const IParameterArray& source,
                                                    uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint32_t value,
                                                  uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, int32_t value,
                                                  uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, float value,
                                                 uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, bool value,
                                                uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setString(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                                  const char* text, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setBinary(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                                  const uint8_t* bytes, uint32_t length, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(uint32_t ci, uint32_t ai, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(uint32_t ci, uint8_t f) = 0;
    // The factor output may be null.
    [[nodiscard]] virtual JLIB::JResult getVariant(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                                   uint8_t* f) const = 0;
    [[nodiscard]] virtual JLIB::JResult getVariants(IParameterArray& destination, uint32_t ci, uint32_t ai) const = 0;
    virtual uint32_t getUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual int32_t getSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual float getFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual bool getBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    [[nodiscard]] virtual JLIB::JResult getDefault(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x,
                                                   uint32_t y) const = 0;
    [[nodiscard]] virtual JLIB::JResult setDirty(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f) = 0;
    virtual bool getDirty(int32_t slot, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual uint8_t getFactor(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const = 0;
    virtual bool checkPosRange(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const = 0;

    // Typed access by address; the address's cache is filled on first use.
    virtual const ParameterInfo& paramInfo(const AddressId& address) const = 0;
    [[nodiscard]] virtual JLIB::JResult setVariant(const AddressId& address, uint32_t x, uint32_t y,
                                                   const JVariant& value, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setVariants(const AddressId& address, const IParameterArray& source,
                                                    uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setUInt32(const AddressId& address, uint32_t x, uint32_t y, uint32_t value,
                                                  uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setSInt32(const AddressId& address, uint32_t x, uint32_t y, int32_t value,
                                                  uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setFloat(const AddressId& address, uint32_t x, uint32_t y, float value,
                                                 uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setBool(const AddressId& address, uint32_t x, uint32_t y, bool value,
                                                uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setString(const AddressId& address, uint32_t x, uint32_t y,
                                                  const char* text, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setBinary(const AddressId& address, uint32_t x, uint32_t y,
                                                  const uint8_t* bytes, uint32_t length, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(const AddressId& address, uint32_t x, uint32_t y, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult setDefault(const AddressId& address, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult getVariant(JVariant& value, const AddressId& address, uint32_t x, uint32_t y,
                                                   uint8_t* f) const = 0;
    [[nodiscard]] virtual JLIB::JResult getVariants(IParameterArray& destination, const AddressId& address) const = 0;
    virtual uint32_t getUInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual int32_t getSInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual float getFloat(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    virtual bool getBool(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const = 0;
    [[nodiscard]] virtual JLIB::JResult getDefault(JVariant& value, const AddressId& address, uint32_t x,
                                                   uint32_t y) const = 0;
    [[nodiscard]] virtual JLIB::JResult setDirty(const AddressId& address, uint32_t x, uint32_t y, uint8_t f) = 0;
    virtual bool getDirty(int32_t slot, const AddressId& address, uint32_t x, uint32_t y) const = 0;
    virtual uint8_t getFactor(const AddressId& address, uint32_t x, uint32_t y) const = 0;
    virtual bool checkPosRange(const AddressId& address, uint32_t x, uint32_t y) const = 0;

    // Recall from another database: whole, one component, one address by index or by address.
    [[nodiscard]] virtual JLIB::JResult recall(const IParameterDB& source, const ImportAttr& attr, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(uint32_t ci, const IParameterDB& source, const ImportAttr& attr,
                                               uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(uint32_t ci, uint32_t ai, const IParameterDB& source,
                                               const ImportAttr& attr, uint8_t f) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(const AddressId& address, const IParameterDB& source,
                                               const ImportAttr& attr, uint8_t f) = 0;

    // "#CT1" images of the whole database, of listed identifiers and of listed indexes.
    [[nodiscard]] virtual JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord) const = 0;
    virtual uint32_t exportBinarySize() const = 0;
    [[nodiscard]] virtual JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                                     const UniqIdList& ids) const = 0;
    virtual uint32_t exportBinarySize(const UniqIdList& ids) const = 0;
    [[nodiscard]] virtual JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                                     const ComponentIndexList& indexes) const = 0;
    virtual uint32_t exportBinarySize(const ComponentIndexList& indexes) const = 0;
    [[nodiscard]] virtual JLIB::JResult importBinary(const uint8_t* image, uint32_t size, const ImportAttr& attr,
                                                     JLIB::HeapId heap) = 0;

    // The single link-suppression flag and the recall bracket, used by the parameter arrays.
    virtual uint32_t _SuppressLink() = 0;
    virtual uint32_t _UnsuppressLink() = 0;
    virtual bool _IsLinkSuppressed() const = 0;
    virtual uint32_t _BeginRecall() = 0;
    virtual uint32_t _EndRecall() = 0;
    virtual bool _IsRecalling() const = 0;

    // No lock taken; the null component for an index without component.
    virtual IComponent& _getComponent(uint32_t ci) = 0;
    virtual const IComponent& _getComponent(uint32_t ci) const = 0;
};

}  // namespace PDB
