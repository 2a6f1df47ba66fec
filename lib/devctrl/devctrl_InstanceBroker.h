#pragma once
// The process-wide registry through which the parts of an application find each other's fields,
// command repositories and virtual units by path name. It hands out fields, facades (read-write
// or read-only by the registration's permission), communicators and repositories, counts the
// references per item and refuses to delete an item in use. Any task: every operation but
// initialize holds the ctrl lock of the mutex given to initialize.
#include <atomic>
#include <cstdint>

#include "devctrl/devctrl_BaseItem.h"

namespace MMS {
class IField;
class IMutex;
}  // namespace MMS
namespace TCM {
class CommandRepository;
class ICommunicator;
class IRepository;
}  // namespace TCM
namespace ParameterProc {
class ILinkFramework;
}

namespace DeviceControl {

class BaseMmsItem;
class CompositeMmsItem;
class IBrokerNotifier;
class IFacade;

class MMSInstanceBroker {
public:
    enum CATEGORY_ITEM_TYPE : uint32_t {
        ITEM_TYPE_FIELD = 0,
        ITEM_TYPE_REPOSITORY = 1,
        ITEM_TYPE_UNIT = 2,
        ITEM_TYPE_UNKNOWN = 3,  // only reported by getItemType
    };
    // A composite reports 0xFFFFFFFF (-1).
    enum CATEGORY_ITEM_STATE : int32_t {
        ITEM_STATE_MADE = 0,
        ITEM_STATE_AVAILABLE = 1,
        ITEM_STATE_DELETING = 2,  // deletion asked while in use
    };
    enum CATEGORY_MMS_PERMISSION : int32_t {
        PERMISSION_ALL_WRITE = 0,     // every task gets write access
        PERMISSION_SETTER_WRITE = 1,  // only the setter task writes; the others read
    };
    enum CATEGORY_OBJECT_TYPE : uint32_t {
        OBJECT_FACADE = 0,
        OBJECT_COMMUNICATOR = 1,
        OBJECT_REPOSITORY = 2,
    };

    // The one broker of the process, made on first use.
    static MMSInstanceBroker& getInstance();

    // Stores the lock and the notifier (both borrowed for the life of the process; the notifier
    // may be null). 0x80000004 when already initialised. Initialise once, before other tasks use
    // the broker.
    [[nodiscard]] uint32_t initialize(MMS::IMutex& mutex, IBrokerNotifier* notifier);

    // Every operation below gives 0x80000009 before initialize. Names are "/"-separated paths of
    // segments of 1 to 23 characters; the first segment of a facade's path names its unit.
    [[nodiscard]] uint32_t createVirtualUnit(const char* name);
    [[nodiscard]] uint32_t deleteVirtualUnit(const char* name);
    // setter 0: the calling task. The field is borrowed until it is unregistered.
    [[nodiscard]] uint32_t registerMmsInstance(MMS::IField* field, const char* name,
                                               CATEGORY_MMS_PERMISSION permission, unsigned short setter);
    // Only the owner may delete; an item in use goes to state 2 (0x80000004) and stays.
    [[nodiscard]] uint32_t unregisterMmsInstance(MMS::IField** field, const char* name);
    [[nodiscard]] uint32_t registerCommandRepository(TCM::CommandRepository* repository, const char* name);
    [[nodiscard]] uint32_t unregisterCommandRepository(TCM::CommandRepository** repository, const char* name);
    [[nodiscard]] uint32_t getField(MMS::IField** field, const char* name);
    [[nodiscard]] uint32_t releaseField(MMS::IField** field, const char* name);
    // unitName null or empty: the root. 0x80000001 when the unit already has a framework.
    [[nodiscard]] uint32_t assignLinkFramework(ParameterProc::ILinkFramework* framework, const char* unitName);
    [[nodiscard]] uint32_t removeLinkFramework(ParameterProc::ILinkFramework** framework, const char* unitName);
    // taskId 0: the calling task's id. The broker owns the facade until releaseFacade.
    [[nodiscard]] uint32_t getFacade(IFacade** facade, const char* name, bool subscribe, unsigned subscribeMode,
                                     unsigned areaCount, unsigned taskId);
    [[nodiscard]] uint32_t releaseFacade(IFacade** facade, const char* name);
    [[nodiscard]] uint32_t getCommunicator(TCM::ICommunicator** communicator, const char* name);
    [[nodiscard]] uint32_t releaseCommunicator(TCM::ICommunicator** communicator, const char* name);
    [[nodiscard]] uint32_t getRepository(TCM::IRepository** repository, const char* name);
    [[nodiscard]] uint32_t releaseRepository(TCM::IRepository** repository, const char* name);
    // 6 (not a failure) when there is no item of that name; type may be null.
    [[nodiscard]] uint32_t checkItem(CATEGORY_ITEM_TYPE* type, const char* name);
    [[nodiscard]] uint32_t getState(CATEGORY_ITEM_STATE* state, const char* name);

    MMSInstanceBroker(const MMSInstanceBroker&) = delete;
    MMSInstanceBroker& operator=(const MMSInstanceBroker&) = delete;

private:
    // One of the three kinds of object handed out; only the pointer of the kind asked is used.
    struct ObjectSlot {
        IFacade** facade = nullptr;
        TCM::ICommunicator** communicator = nullptr;
        TCM::IRepository** repository = nullptr;
    };

    MMSInstanceBroker();
    // Destroys the item tree; registered objects are left alone.
    ~MMSInstanceBroker();

    template <typename Step>
    uint32_t underLock(Step step);
    BaseMmsItem* findItem(const char* name) const;
    void notify(uint16_t taskId, uint32_t event) const;

    uint32_t _createItem(MMS::IField* field, TCM::CommandRepository* repository, CATEGORY_ITEM_TYPE type,
                         const char* name, int permission, uint16_t setter);
    uint32_t _deleteItem(MMS::IField** field, TCM::CommandRepository** repository, CATEGORY_ITEM_TYPE type,
                         const char* name);
    uint32_t _getField(MMS::IField** field, const char* name);
    uint32_t _releaseField(MMS::IField** field, const char* name);
    uint32_t _assignLinkFramework(ParameterProc::ILinkFramework* framework, const char* unitName);
    uint32_t _removeLinkFramework(ParameterProc::ILinkFramework** framework, const char* unitName);
    uint32_t _getObject(const ObjectSlot& out, CATEGORY_OBJECT_TYPE type, const char* name, bool subscribe,
                        uint32_t subscribeMode, uint32_t areaCount, uint32_t taskId);
    uint32_t _releaseObject(const ObjectSlot& in, CATEGORY_OBJECT_TYPE type, const char* name);
    uint32_t _checkItem(CATEGORY_ITEM_TYPE* type, const char* name);
    uint32_t _getState(CATEGORY_ITEM_STATE* state, const char* name);
    // 0 read-write, 1 read-only, 0x80000002 for a permission other than 0 and 1.
    static uint32_t _getFacadeType(uint16_t taskId, const BaseMmsItem& item);

    CompositeMmsItem* m_pRoot;                  // owned; null when it could not be made
    MMS::IMutex* m_pMutex = nullptr;            // borrowed from initialize
    IBrokerNotifier* m_pNotifier = nullptr;     // borrowed from initialize; may be null
    std::atomic<int> m_initialized{kNotInitialized};

    static constexpr int kNotInitialized = 0;
    static constexpr int kInitializing = 1;
    static constexpr int kInitialized = 2;
};

// 0 (leaf) for item types 0 and 1, 1 (composite) for 2, 2 for anything else.
BaseItem::NODE_TYPE cnvItemType2NodeType(MMSInstanceBroker::CATEGORY_ITEM_TYPE type);
// 3 for null; a leaf: 0 with a field, else 1 with a repository, else 3; a composite: 2.
MMSInstanceBroker::CATEGORY_ITEM_TYPE getItemType(const BaseMmsItem* item);

}  // namespace DeviceControl
