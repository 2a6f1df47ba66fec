#pragma once
// The live parameter database: components in numbered slots, their per-thread use and removal,
// typed access by index or address, subscribers with per-component dirty flags and the wake-up
// of subscribing threads. Any task: every operation takes the shared lock it was given.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "pdb_AddressId.h"
#include "pdb_Component.h"
#include "pdb_IComponent.h"
#include "pdb_IParameterDB.h"

namespace PDB {

class ParameterDB : public IParameterDB, public IComponentCallback {
public:
    static constexpr uint32_t kMaxNameLength = 16;
    static constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
    // A component is in use, or the caller is not the owner thread.
    static constexpr JLIB::JResult kInUse = 0x80000004u;
    static constexpr JLIB::JResult kUnknownType = 0x80200000u;

    // Threads that use the component of one slot, each once, in order of first use.
    using RefThreadList = std::vector<ThreadId>;

    struct SubscribeInfo {
        int32_t slot = -1;
        IParameterDBCallback* callback = nullptr;  // not owned: the subscriber outlives the database
        SubscribeAttr attr;
    };

    // One per thread that registered a subscriber; the callback of its first registration.
    struct SubscribeThread {
        IParameterDBCallback* callback = nullptr;  // not owned
        UniqIdList newComponents;                  // added, not yet used by the thread
        UniqIdList removingComponents;             // removal requested, not yet released by it
    };

    ParameterDB();
    ~ParameterDB() override;
    ParameterDB(const ParameterDB&) = delete;
    ParameterDB& operator=(const ParameterDB&) = delete;

    // Once, before the database is shared. The lock is not owned and must outlive the database;
    // null selects the shared null lock, a null name is "". 0x80000001 for a name longer than 16
    // characters (nothing changes), 0x80000004 while a component is in use (the lock and the
    // owner are taken over all the same).
    [[nodiscard]] JLIB::JResult initialize(uint32_t instanceId, const char* name, IMutex* lock);

    uint32_t readLock() const override;
    uint32_t readUnlock() const override;
    uint32_t writeLock() override;
    uint32_t writeUnlock() override;

    // Owner thread only, with no component in use; else 0x80000004.
    [[nodiscard]] JLIB::JResult finalize() override;
    [[nodiscard]] JLIB::JResult clear() override;
    bool isValid() const override { return m_valid; }
    uint32_t instanceId() const override { return m_instanceId; }
    const char* name() const override { return m_name; }

    // 0 also for an id already registered (nothing changes then). The callback is not owned.
    [[nodiscard]] JLIB::JResult addDirtyFlag(uint32_t subscriberId, IParameterDBCallback* callback,
                                             const SubscribeAttr& attr) override;
    int32_t getDirtyFlagSet(uint32_t subscriberId) const override;
    [[nodiscard]] JLIB::JResult captureDirtyFlag(int32_t slot) override;
    // Components in slot order, then addresses, then positions x * numY + y. With
    // stopAtComponentEnd the walk answers 0x200000 at the end of component ci, positions unchanged.
    [[nodiscard]] JLIB::JResult checkNextDirty(int32_t slot, uint32_t& ci, uint32_t& ai, uint32_t& x, uint32_t& y,
                                               bool stopAtComponentEnd) override;
    [[nodiscard]] JLIB::JResult clearAllDirty(int32_t slot) override;
    [[nodiscard]] JLIB::JResult reevaluate(uint8_t f) override;

    UniqId makeNewId() const override;
    // 0x80000001 for a null name, a negative generation or an id already present; 0x80200000
    // for a type not registered; the definition's refusal of the sizes.
    [[nodiscard]] JLIB::JResult addComponent(const UniqId& id, const char* typeName, uint32_t majorVersion,
                                             uint32_t sizeX, uint32_t sizeY, int16_t generation) override;
    // Minimum sizes, generation 0; 0x80000001 for an invalid definition or an id already present.
    [[nodiscard]] JLIB::JResult addComponent(const UniqId& id, const ComponentInfo& info) override;
    // Notifies after releasing the lock; does not check that the component exists.
    [[nodiscard]] JLIB::JResult reqRemoveComponent(const UniqId& id) override;
    // Per calling thread: a thread counts once however often it uses a component. The last
    // release removes the component. 0x80000001 for an id without component.
    [[nodiscard]] JLIB::JResult useComponent(const UniqId& id) override;
    [[nodiscard]] JLIB::JResult useComponent() override;
    [[nodiscard]] JLIB::JResult releaseComponent(const UniqId& id) override;
    [[nodiscard]] JLIB::JResult releaseComponent() override;
    bool isComponentUsed(const UniqId& id) const override;
    bool isComponentUsed() const override;
    // The calling thread's lists (empty for a thread that never subscribed); reading keeps them.
    [[nodiscard]] JLIB::JResult newComponentList(UniqIdList& list) const override;
    [[nodiscard]] JLIB::JResult removingComponentList(UniqIdList& list) const override;

    // The address borrows the given text (and the database's name); its cache is filled.
    AddressId getAddressId(const UniqId& id, const char* address) const override;
    // The address borrows the definition's address text: valid while the component exists.
    AddressId getAddressId(uint32_t ci, uint32_t ai) const override;
    uint32_t getComponentIndex(const UniqId& id) const override;
    uint32_t getAddressIndex(const UniqId& id, const char* address) const override;
    uint32_t componentNum() const override;
    uint32_t componentIndexNum() const override;
    [[nodiscard]] JLIB::JResult setUserName(uint32_t ci, const char* userName) override;
    [[nodiscard]] JLIB::JResult setAttribute(uint32_t ci, uint32_t attribute) override;
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
    [[nodiscard]] JLIB::JResult setDirty(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y, uint8_t f) override;
    bool getDirty(int32_t slot, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const override;
    uint8_t getFactor(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const override;
    bool checkPosRange(uint32_t ci, uint32_t ai, uint32_t x, uint32_t y) const override;

    // By address: a cached address is used only while its slot still holds its UniqId;
    // otherwise the address is looked up again (and its cache refreshed when it was filled by
    // this database).
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
    [[nodiscard]] JLIB::JResult setDirty(const AddressId& address, uint32_t x, uint32_t y, uint8_t f) override;
    bool getDirty(int32_t slot, const AddressId& address, uint32_t x, uint32_t y) const override;
    uint8_t getFactor(const AddressId& address, uint32_t x, uint32_t y) const override;
    bool checkPosRange(const AddressId& address, uint32_t x, uint32_t y) const override;

    // Images, import and recall (pdb_ParameterDBImage.cpp).
    [[nodiscard]] JLIB::JResult recall(const IParameterDB& source, const ImportAttr& attr, uint8_t f) override;
    [[nodiscard]] JLIB::JResult recall(uint32_t ci, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f) override;
    [[nodiscard]] JLIB::JResult recall(uint32_t ci, uint32_t ai, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f) override;
    [[nodiscard]] JLIB::JResult recall(const AddressId& address, const IParameterDB& source, const ImportAttr& attr,
                                       uint8_t f) override;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord) const override;
    uint32_t exportBinarySize() const override;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                             const UniqIdList& ids) const override;
    uint32_t exportBinarySize(const UniqIdList& ids) const override;
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t* buffer, uint32_t size, uint32_t dbWord,
                                             const ComponentIndexList& indexes) const override;
    uint32_t exportBinarySize(const ComponentIndexList& indexes) const override;
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t* image, uint32_t size, const ImportAttr& attr,
                                             JLIB::HeapId heap) override;

    // Link flag: no lock, set and read by the arrays inside a write. Not counted.
    uint32_t _SuppressLink() override;
    uint32_t _UnsuppressLink() override;
    bool _IsLinkSuppressed() const override { return m_linkSuppressed; }
    // Recall bracket, not counted: the first _EndRecall closes it.
    uint32_t _BeginRecall() override;
    uint32_t _EndRecall() override;
    bool _IsRecalling() const override { return m_recalling; }

    IComponent& _getComponent(uint32_t ci) override;
    const IComponent& _getComponent(uint32_t ci) const override;

    // Wakes every subscribing thread once; called by the components on the writer's thread.
    uint32_t rawCallbackSetPDBParameter() override;

private:
    // Callers hold the write lock.
    void clearComponents(bool withSubscriptions);
    bool anyComponentUsed() const;
    [[nodiscard]] JLIB::JResult insertComponent(const ComponentInfo& info);
    [[nodiscard]] JLIB::JResult removeSlot(uint32_t ci);
    void addUser(uint32_t ci, ThreadId thread);
    // Removes the thread from the slot's users, then the component when nobody is left.
    [[nodiscard]] JLIB::JResult dropUser(uint32_t ci, ThreadId thread);
    void notifyConfigChange() const;
    std::vector<IParameterDBCallback*> threadCallbacks() const;

    // Callers hold a lock.
    uint32_t findComponent(const UniqId& id) const;
    uint32_t findAddress(const UniqId& id, const char* address) const;
    // The component index and address index an address names in this database.
    void resolve(const AddressId& address, uint32_t& ci, uint32_t& ai) const;

    IMutex* m_pLock;  // not owned: the creator keeps the shared lock alive
    uint32_t m_instanceId = 0;
    char m_name[kMaxNameLength + 1] = {};
    ThreadId m_owner = kNoThread;
    bool m_valid = false;
    std::vector<std::unique_ptr<Component>> m_components;  // null: an empty slot
    std::vector<RefThreadList> m_users;
    std::map<UniqId, uint32_t> m_slotMap;
    std::vector<uint32_t> m_usedIds;
    std::map<uint32_t, SubscribeInfo> m_subscribers;
    std::map<ThreadId, SubscribeThread> m_threads;
    bool m_linkSuppressed = false;
    bool m_recalling = false;
};

}  // namespace PDB
