#pragma once
// The database registry and the null database that every lookup finding no database yields.
// The registry has no lock: one task registers and removes (at start-up and shut-down), all
// tasks look up. The null database is stateless: any task, many at once.
#include <vector>

#include "jlib/JHeap.h"
#include "pdb_IParameterDB.h"

namespace PDB {

// Answers every operation without effect: 0 or false, 0xFFFFFFFF for index lookups and
// subscriber slots, factor 255, name "(dummy)", instance id 0 and not valid.
class ParameterDBNULL : public IParameterDB {
public:
    // Exists for the whole run.
    static ParameterDBNULL& getNullObject();

    uint32_t readLock() const override { return 0; }
    uint32_t readUnlock() const override { return 0; }
    uint32_t writeLock() override { return 0; }
    uint32_t writeUnlock() override { return 0; }

    [[nodiscard]] JLIB::JResult finalize() override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult clear() override { return JLIB::kOk; }
    bool isValid() const override { return false; }
    uint32_t instanceId() const override { return 0; }
    const char* name() const override { return "(dummy)"; }

    [[nodiscard]] JLIB::JResult addDirtyFlag(uint32_t, IParameterDBCallback*, const SubscribeAttr&) override
    {
        return JLIB::kOk;
    }
    int32_t getDirtyFlagSet(uint32_t) const override { return -1; }
    [[nodiscard]] JLIB::JResult captureDirtyFlag(int32_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&, uint32_t&, bool) override;
    [[nodiscard]] JLIB::JResult clearAllDirty(int32_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult reevaluate(uint8_t) override { return JLIB::kOk; }

    UniqId makeNewId() const override { return UniqId(); }
    [[nodiscard]] JLIB::JResult addComponent(const UniqId&, const char*, uint32_t, uint32_t, uint32_t,
                                             int16_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult addComponent(const UniqId&, const ComponentInfo&) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult reqRemoveComponent(const UniqId&) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult useComponent(const UniqId&) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult useComponent() override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult releaseComponent(const UniqId&) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult releaseComponent() override { return JLIB::kOk; }
    bool isComponentUsed(const UniqId&) const override { return false; }
    bool isComponentUsed() const override { return false; }
    [[nodiscard]] JLIB::JResult newComponentList(UniqIdList& list) const override;
    [[nodiscard]] JLIB::JResult removingComponentList(UniqIdList& list) const override;

    AddressId getAddressId(const UniqId&, const char*) const override;
    AddressId getAddressId(uint32_t, uint32_t) const override;
    uint32_t getComponentIndex(const UniqId&) const override { return 0xFFFFFFFFu; }
    uint32_t getAddressIndex(const UniqId&, const char*) const override { return 0xFFFFFFFFu; }
    uint32_t componentNum() const override { return 0; }
    uint32_t componentIndexNum() const override { return 0; }
    [[nodiscard]] JLIB::JResult setUserName(uint32_t, const char*) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult setAttribute(uint32_t, uint32_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult resizeComponent(uint32_t, uint32_t, uint32_t, bool, uint8_t) override
    {
        return JLIB::kOk;
    }
    const ComponentInfo& componentInfo(uint32_t) const override;
    const char* componentName(uint32_t) const override { return "(dummy component)"; }
    uint32_t componentVersion(uint32_t) const override { return 0; }
    int16_t generation(uint32_t) const override { return 0; }
    UniqId uniqId(uint32_t) const override { return UniqId(); }
    const char* userName(uint32_t) const override { return ""; }
    uint32_t attribute(uint32_t) const override { return 0; }
    uint32_t addressNum(uint32_t) const override { return 0; }
    const ParameterInfo& paramInfo(uint32_t, uint32_t) const override;

    [[nodiscard]] JLIB::JResult setVariant(uint32_t, uint32_t, uint32_t, uint32_t, const JVariant&, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setVariants(uint32_t, uint32_t, const IParameterArray&, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t, uint32_t, uint32_t, uint32_t, int32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setFloat(uint32_t, uint32_t, uint32_t, uint32_t, float, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setBool(uint32_t, uint32_t, uint32_t, uint32_t, bool, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setString(uint32_t, uint32_t, uint32_t, uint32_t, const char*, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setBinary(uint32_t, uint32_t, uint32_t, uint32_t, const uint8_t*, uint32_t,
                                          uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setDefault(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setDefault(uint32_t, uint32_t, uint8_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult setDefault(uint32_t, uint8_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t, uint32_t, uint32_t, uint32_t,
                                           uint8_t*) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray&, uint32_t, uint32_t) const override { return JLIB::kOk; }
    uint32_t getUInt32(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t*) const override { return 0; }
    int32_t getSInt32(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t*) const override { return 0; }
    float getFloat(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t*) const override { return 0.0f; }
    bool getBool(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t*) const override { return false; }
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t, uint32_t, uint32_t, uint32_t) const override;
    [[nodiscard]] JLIB::JResult setDirty(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    bool getDirty(int32_t, uint32_t, uint32_t, uint32_t, uint32_t) const override { return false; }
    uint8_t getFactor(uint32_t, uint32_t, uint32_t, uint32_t) const override { return 255; }
    bool checkPosRange(uint32_t, uint32_t, uint32_t, uint32_t) const override { return false; }

    const ParameterInfo& paramInfo(const AddressId&) const override;
    [[nodiscard]] JLIB::JResult setVariant(const AddressId&, uint32_t, uint32_t, const JVariant&, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setVariants(const AddressId&, const IParameterArray&, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setUInt32(const AddressId&, uint32_t, uint32_t, uint32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setSInt32(const AddressId&, uint32_t, uint32_t, int32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setFloat(const AddressId&, uint32_t, uint32_t, float, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setBool(const AddressId&, uint32_t, uint32_t, bool, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setString(const AddressId&, uint32_t, uint32_t, const char*, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setBinary(const AddressId&, uint32_t, uint32_t, const uint8_t*, uint32_t,
                                          uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setDefault(const AddressId&, uint32_t, uint32_t, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult setDefault(const AddressId&, uint8_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, const AddressId&, uint32_t, uint32_t,
                                           uint8_t*) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray&, const AddressId&) const override { return JLIB::kOk; }
    uint32_t getUInt32(const AddressId&, uint32_t, uint32_t, uint8_t*) const override { return 0; }
    int32_t getSInt32(const AddressId&, uint32_t, uint32_t, uint8_t*) const override { return 0; }
    float getFloat(const AddressId&, uint32_t, uint32_t, uint8_t*) const override { return 0.0f; }
    bool getBool(const AddressId&, uint32_t, uint32_t, uint8_t*) const override { return false; }
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, const AddressId&, uint32_t, uint32_t) const override;
    [[nodiscard]] JLIB::JResult setDirty(const AddressId&, uint32_t, uint32_t, uint8_t) override { return JLIB::kOk; }
    bool getDirty(int32_t, const AddressId&, uint32_t, uint32_t) const override { return false; }
    uint8_t getFactor(const AddressId&, uint32_t, uint32_t) const override { return 255; }
    bool checkPosRange(const AddressId&, uint32_t, uint32_t) const override { return false; }

    [[nodiscard]] JLIB::JResult recall(const IParameterDB&, const ImportAttr&, uint8_t) override { return JLIB::kOk; }
    [[nodiscard]] JLIB::JResult recall(uint32_t, const IParameterDB&, const ImportAttr&, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult recall(uint32_t, uint32_t, const IParameterDB&, const ImportAttr&, uint8_t) override
    {
        return JLIB::kOk;
    }
    [[nodiscard]] JLIB::JResult recall(const AddressId&, const IParameterDB&, const ImportAttr&, uint8_t) override
    {
        return JLIB::kOk;
    }

    [[nodiscard]] JLIB::JResult exportBinary(uint8_t*, uint32_t, uint32_t) const override { return JLIB::kOk; }
    uint32_t exportBinarySize() const override { return 0; }
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t*, uint32_t, uint32_t, const UniqIdList&) const override
    {
        return JLIB::kOk;
    }
    uint32_t exportBinarySize(const UniqIdList&) const override { return 0; }
    [[nodiscard]] JLIB::JResult exportBinary(uint8_t*, uint32_t, uint32_t, const ComponentIndexList&) const override
    {
        return JLIB::kOk;
    }
    uint32_t exportBinarySize(const ComponentIndexList&) const override { return 0; }
    [[nodiscard]] JLIB::JResult importBinary(const uint8_t*, uint32_t, const ImportAttr&, JLIB::HeapId) override
    {
        return JLIB::kOk;
    }

    uint32_t _SuppressLink() override { return 0; }
    uint32_t _UnsuppressLink() override { return 0; }
    bool _IsLinkSuppressed() const override { return false; }
    uint32_t _BeginRecall() override { return 0; }
    uint32_t _EndRecall() override { return 0; }
    bool _IsRecalling() const override { return false; }

    IComponent& _getComponent(uint32_t) override;
    const IComponent& _getComponent(uint32_t) const override;
};

// Databases by instance id in at most 20 slots; the slot count never shrinks. Empty slots and
// failed lookups yield the null database. A copy owns local deep copies of the source's
// databases and refuses registration.
class ParameterDBCollection {
public:
    static constexpr uint32_t kMaxSlots = 20;
    static constexpr uint32_t kNoInstance = 0xFFFFFFFFu;

    ParameterDBCollection();
    // Each source database is copied under its own read lock; a copy that cannot be allocated
    // leaves its slot empty.
    ParameterDBCollection(const ParameterDBCollection& source);
    ParameterDBCollection& operator=(const ParameterDBCollection&) = delete;
    virtual ~ParameterDBCollection();

    uint32_t numOfPDB() const { return uint32_t(m_slots.size()); }
    IParameterDB& getPDB(uint32_t instanceId);
    const IParameterDB& getPDB(uint32_t instanceId) const;
    // Exact name (same length and bytes); null counts as "".
    IParameterDB& getPDB(const char* name);
    const IParameterDB& getPDB(const char* name) const;
    // The slot of the first database of that name, or 0xFFFFFFFF. An empty slot answers with
    // the null database's name.
    uint32_t _instanceId(const char* name) const;

    // Not owned: the database stays registered until removePDB. An owning registry, an id of 20
    // or more or an occupied slot are programming errors (assertion stop).
    [[nodiscard]] JLIB::JResult addPDB(IParameterDB& db);
    // Empties the slot without deleting its database; the slot count stays.
    [[nodiscard]] JLIB::JResult removePDB(uint32_t instanceId);
    // Pairs the valid databases of both registries by name and assigns through the database
    // interface, whose assignment carries no state: nothing changes. Returns 0.
    [[nodiscard]] JLIB::JResult import(const ParameterDBCollection& other);

private:
    bool m_owning = false;
    std::vector<IParameterDB*> m_slots;  // never null: empty slots hold the null database
};

// The process-wide registry of the live databases; deletes nothing at exit.
extern ParameterDBCollection gPDBCollection;

// Creates a live database on the heap (tag "PDB Instance") and registers it: 0, 0x80040000 when
// it cannot be allocated, or the database's initialisation failure (nothing is registered then).
// A null lock selects the shared null lock; the lock must outlive the database.
[[nodiscard]] JLIB::JResult createPDB(uint32_t instanceId, const char* name, IMutex* lock, JLIB::HeapId heap);
// Unregisters and deletes the database; an id without database is a programming error.
[[nodiscard]] JLIB::JResult destroyPDB(uint32_t instanceId);

}  // namespace PDB
