#pragma once
// An unlocked deep copy of a database and the value holder of presets, snapshots, projects and
// registry copies: no lock, subscribers, dirty flags or per-thread use. One task at a time;
// copying and recalling from a source hold the source's read lock.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdb_IParameterDB.h"
#include "pdb_LocalComponent.h"

namespace PDB {

class LocalParameterDB : public IParameterDB {
public:
    static constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
    static constexpr uint32_t kInvalidInstance = 0xFFFFFFFFu;

    LocalParameterDB();
    explicit LocalParameterDB(const IParameterDB& source);
    LocalParameterDB(const LocalParameterDB& source);
    LocalParameterDB& operator=(const IParameterDB& source);
    LocalParameterDB& operator=(const LocalParameterDB& source);
    ~LocalParameterDB() override;

    // Deep copy under the source's read lock. A source without slots leaves this database empty
    // with its previous instance id and name. 0x80040000 (and an empty database) when memory runs
    // out.
    [[nodiscard]] JLIB::JResult initialize(const IParameterDB& source);
    // Clears, then takes the instance id and name (null stands for "").
    [[nodiscard]] JLIB::JResult initialize(uint32_t instanceId, const char* name);

    uint32_t readLock() const override { return 0; }
    uint32_t readUnlock() const override { return 0; }
    uint32_t writeLock() override { return 0; }
    uint32_t writeUnlock() override { return 0; }

    [[nodiscard]] JLIB::JResult finalize() override { return clear(); }
    // Deletes every component; the number of slots stays.
    [[nodiscard]] JLIB::JResult clear() override;
    bool isValid() const override { return m_instanceId != kInvalidInstance; }
    uint32_t instanceId() const override { return m_instanceId; }
    const char* name() const override { return m_name.c_str(); }

    // Not offered (programming errors, assertion stop): subscriptions, dirty flags, use counts.
    [[nodiscard]] JLIB::JResult addDirtyFlag(uint32_t, IParameterDBCallback*, const SubscribeAttr&) override;
    int32_t getDirtyFlagSet(uint32_t) const override;
    [[nodiscard]] JLIB::JResult captureDirtyFlag(int32_t) override;
    [[nodiscard]] JLIB::JResult checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&, uint32_t&, bool) override;
    [[nodiscard]] JLIB::JResult clearAllDirty(int32_t) override;
    [[nodiscard]] JLIB::JResult reevaluate(uint8_t) override;
    UniqId makeNewId() const override;
    [[nodiscard]] JLIB::JResult reqRemoveComponent(const UniqId&) override;
    [[nodiscard]] JLIB::JResult useComponent(const UniqId&) override;
    [[nodiscard]] JLIB::JResult useComponent() override;
    [[nodiscard]] JLIB::JResult releaseComponent(const UniqId&) override;
    [[nodiscard]] JLIB::JResult releaseComponent() override;
    bool isComponentUsed(const UniqId&) const override;
    bool isComponentUsed() const override;
    [[nodiscard]] JLIB::JResult newComponentList(UniqIdList&) const override;
    [[nodiscard]] JLIB::JResult removingComponentList(UniqIdList&) const override;

    // 0x80000001 for a null name, a negative generation or an id already present; 0x80200000 for
    // a type not registered; the definition's refusal of the sizes; 0x80040000 without memory;
    // 0x80010000 when the component cannot be set up. Elements get the strategy's defaults.
    [[nodiscard]] JLIB::JResult addComponent(const UniqId& id, const char* typeName, uint32_t majorVersion,
                                             uint32_t sizeX, uint32_t sizeY, int16_t generation) override;
    // Minimum sizes, generation 0; 0x80000001 for an invalid definition.
    [[nodiscard]] JLIB::JResult addComponent(const UniqId& id, const ComponentInfo& info) override;
    // Empties the slot (it keeps its number); 0x80000001 for an id without component.
    [[nodiscard]] JLIB::JResult removeComponent(const UniqId& id);

    // The address borrows the given text and this database's name.
    AddressId getAddressId(const UniqId& id, const char* address) const override;
    // The address borrows the definition's address text: valid while the component exists.
    AddressId getAddressId(uint32_t ci, uint32_t ai) const override;
    uint32_t getComponentIndex(const UniqId& id) const override;
    uint32_t getAddressIndex(const UniqId& id, const char* address) const override;
    uint32_t componentNum() const override { return uint32_t(m_slotMap.size()); }
    uint32_t componentIndexNum() const override { return uint32_t(m_components.size()); }
    [[nodiscard]] JLIB::JResult setUserName(uint32_t ci, const char* userName) override;
    [[nodiscard]] JLIB::JResult setAttribute(uint32_t ci, uint32_t attribute) override;
    // Reshapes the arrays (not the definition), refills the defaults and, with keepValues,
    // recalls the previous values into the overlap.
    [[nodiscard]] JLIB::JResult resizeComponent(uint32_t ci, uint32_t sizeX, uint32_t sizeY, bool keepValues,
                                                uint8_t f) override;
    const ComponentInfo& componentInfo(uint32_t ci) const override;
    const char* componentName(uint32_t ci) const override;
    uint32_t componentVersion(uint32_t ci) const override;
    int16_t generation(uint32_t ci) const override;
    UniqId uniqId(uint32_t ci) const override;
    const char* userName(uint32_t ci) const override;
    uint32_t attribute(uint32_t ci) const override;
    uint32_t addressNum(uint32_t ci) const override;
    const ParameterInfo& paramInfo(uint32_t ci, uint32_t ai) const override;

    // Values are stored as given: no clamp, strategy, link or dirty marking; the factor read is 0xFF.
    [[nodiscard]] JLIB::JResult setVariant(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const JVariant& value,
                                           uint8_t f) override;
    [[nodiscard]] JLIB::JResult setVariants(uint32_t ci, uint32_t ai, const IParameterArray& source,
                                            uint8_t f) override;
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint32_t value,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, int32_t value,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, float value,
                                         uint8_t f) override;
    [[nodiscard]] JLIB::JResult setBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, bool value,
                                        uint8_t f) override;
    [[nodiscard]] JLIB::JResult setString(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const char* text,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setBinary(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t ci, uint32_t ai, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t ci, uint8_t f) override;
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                           uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray& destination, uint32_t ci, uint32_t ai) const override;
    uint32_t getUInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    int32_t getSInt32(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    float getFloat(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    bool getBool(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t ci, uint32_t ai, uint32_t x,
                                           uint32_t y) const override;
    [[nodiscard]] JLIB::JResult setDirty(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) override;
    bool getDirty(int32_t, uint32_t, uint32_t, uint32_t, uint32_t) const override;
    uint8_t getFactor(uint32_t, uint32_t, uint32_t, uint32_t) const override;
    bool checkPosRange(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const override;

    // By address: an address already cached is used unchanged (its slot numbers select), else
    // its cache is filled against this database.
    const ParameterInfo& paramInfo(const AddressId& address) const override;
    [[nodiscard]] JLIB::JResult setVariant(const AddressId& address, uint32_t x, uint32_t y, const JVariant& value,
                                           uint8_t f) override;
    [[nodiscard]] JLIB::JResult setVariants(const AddressId& address, const IParameterArray& source,
                                            uint8_t f) override;
    [[nodiscard]] JLIB::JResult setUInt32(const AddressId& address, uint32_t x, uint32_t y, uint32_t value,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setSInt32(const AddressId& address, uint32_t x, uint32_t y, int32_t value,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setFloat(const AddressId& address, uint32_t x, uint32_t y, float value,
                                         uint8_t f) override;
    [[nodiscard]] JLIB::JResult setBool(const AddressId& address, uint32_t x, uint32_t y, bool value,
                                        uint8_t f) override;
    [[nodiscard]] JLIB::JResult setString(const AddressId& address, uint32_t x, uint32_t y, const char* text,
                                          uint8_t f) override;
    [[nodiscard]] JLIB::JResult setBinary(const AddressId& address, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(const AddressId& address, uint32_t x, uint32_t y, uint8_t f) override;
    [[nodiscard]] JLIB::JResult setDefault(const AddressId& address, uint8_t f) override;
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, const AddressId& address, uint32_t x, uint32_t y,
                                           uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray& destination, const AddressId& address) const override;
    uint32_t getUInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const override;
    int32_t getSInt32(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const override;
    float getFloat(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const override;
    bool getBool(const AddressId& address, uint32_t x, uint32_t y, uint8_t* f) const override;
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, const AddressId& address, uint32_t x,
                                           uint32_t y) const override;
    [[nodiscard]] JLIB::JResult setDirty(const AddressId&, uint32_t, uint32_t, uint8_t) override;
    bool getDirty(int32_t, const AddressId&, uint32_t, uint32_t) const override;
    uint8_t getFactor(const AddressId&, uint32_t, uint32_t) const override;
    bool checkPosRange(const AddressId& address, uint32_t x, uint32_t y) const override;

    // Slots are paired by number under the source's read lock; the first failure stops.
    [[nodiscard]] JLIB::JResult recall(const IParameterDB& source, const ImportAttr& attr, uint8_t f) override;
    [[nodiscard]] JLIB::JResult recall(uint32_t ci, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f) override;
    [[nodiscard]] JLIB::JResult recall(uint32_t ci, uint32_t ai, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f) override;
    [[nodiscard]] JLIB::JResult recall(const AddressId& address, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f) override;

    // "#CT1" images; components in ascending UniqId order for the whole database.
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord) const override;
    uint32_t exportBinarySize() const override;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                             const UniqIdList& ids) const override;
    uint32_t exportBinarySize(const UniqIdList& ids) const override;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                             const ComponentIndexList& indexes) const override;
    uint32_t exportBinarySize(const ComponentIndexList& indexes) const override;
    // The whole image is checked before anything changes (then, with the configuration bit, the
    // database is emptied and refilled). Unknown types are skipped.
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t* image, uint32_t size, const ImportAttr& attr,
                                             JLIB::HeapId heap) override;

    uint32_t _SuppressLink() override { return 0; }
    uint32_t _UnsuppressLink() override { return 0; }
    bool _IsLinkSuppressed() const override { return false; }
    uint32_t _BeginRecall() override { return 0; }
    uint32_t _EndRecall() override { return 0; }
    bool _IsRecalling() const override { return false; }

    IComponent& _getComponent(uint32_t ci) override;
    const IComponent& _getComponent(uint32_t ci) const override;

private:
    [[nodiscard]] JLIB::JResult copyFrom(const IParameterDB& source);
    // Puts a component of the complete definition into the lowest empty slot with defaults.
    [[nodiscard]] JLIB::JResult insertComponent(const ComponentInfo& info, uint32_t* slot);
    void fillDefaults(uint32_t ci);
    ComponentIndexList wholeList() const;
    ComponentIndexList indexesOf(const UniqIdList& ids) const;
    // The cached indexes of the address, filling its cache against this database first.
    void resolve(const AddressId& address, uint32_t& ci, uint32_t& ai) const;
    // Every recall form: the caller holds the source's read lock.
    [[nodiscard]] JLIB::JResult recallSlot(uint32_t ci, const IParameterDB& source, const ImportAttr& attr,
                                           uint8_t f);

    uint32_t m_instanceId = kInvalidInstance;
    std::string m_name;
    std::vector<std::unique_ptr<LocalComponent>> m_components;  // null: an empty slot
    std::map<UniqId, uint32_t> m_slotMap;
    std::vector<uint32_t> m_usedIds;
};

}  // namespace PDB
