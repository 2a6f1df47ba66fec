#pragma once
// Per-task change tracking of one root: for every subscribed task a ring of dirty-flag areas, an
// import flag memory and an import searcher memory, kept in the root's task-bookkeeping memory.
// Every link in that memory is an offset from the list origin, so a root of another field that
// sees the same memory at another address can join the list. No locks of its own: every call runs
// under the locks of the field that owns the root.
#include <cstdint>

namespace MMS {

class SharedMemWrapper;

// One entry of the task chain that the change-event callback walks: the offset (from the list
// origin) of the next task item, 0 for the last, then the task id.
struct T_TASK_ITEM {
    int64_t next;
    uint32_t taskId;
};

// The task list handed to the change-event callback: the address of the list origin cell and the
// offset of the first task item from it (0: no task). Only offsets are followed, so a caller may
// build one around a task item of its own with any origin. getTaskItem advances first through a
// const list, as a change-event receiver is handed one.
struct T_TASK_LIST {
    const int64_t* origin = nullptr;
    mutable int64_t first = 0;
};

// What the tree marks through during one set, import or reset operation.
class IDirtyFlagHolder {
public:
    virtual ~IDirtyFlagHolder() = default;
    [[nodiscard]] virtual uint32_t set(uint32_t bit) = 0;
    [[nodiscard]] virtual uint32_t setImportFlag(uint32_t bit) = 0;
    [[nodiscard]] virtual uint32_t setImportSearcher(uint32_t bit) = 0;
};

class TaskItemList {
public:
    // One subscribed task id, in the task-bookkeeping memory. Offsets count bytes from the list
    // origin; 0 means none (the origin itself is never a block).
    struct _T_APP_INFO {
        int64_t previous;
        int64_t next;
        int64_t dirtyMemory;    // areaCount areas of the dirty size, back to back
        uint32_t areaCount;
        int64_t settingArea;    // where marks go
        int64_t gettingArea;    // what readers read
        int64_t taskItem;
        uint32_t subscribeMode;  // change kinds this task does not want marked
        int16_t referenceCount;
        uint8_t rootAdditionFlag;
        int64_t importFlags;     // 0 when absent
        int64_t importSearchers;  // 0 when absent
    };

    // Chooses one memory of an item; gives its offset (0: absent).
    class IFlagSelector {
    public:
        virtual int64_t get(const _T_APP_INFO& item) const = 0;
        // The memory is an import memory (import-flag size) rather than a dirty area.
        bool isImportMemory() const { return m_importMemory; }

    protected:
        explicit IFlagSelector(bool importMemory) : m_importMemory(importMemory) {}
        ~IFlagSelector() = default;

    private:
        bool m_importMemory;
    };

    class ImportFlagSelector : public IFlagSelector {
    public:
        ImportFlagSelector() : IFlagSelector(true) {}
        int64_t get(const _T_APP_INFO& item) const override { return item.importFlags; }
    };

    class ImportSearcherSelector : public IFlagSelector {
    public:
        ImportSearcherSelector() : IFlagSelector(true) {}
        int64_t get(const _T_APP_INFO& item) const override { return item.importSearchers; }
    };

    TaskItemList() = default;
    // Frees only the dummy memory: items and origin belong to the task-bookkeeping memory, and the
    // owner calls clear first.
    virtual ~TaskItemList();

    TaskItemList(const TaskItemList&) = delete;
    TaskItemList& operator=(const TaskItemList&) = delete;

    // Takes a cleared origin cell of its own from wrapper (a present origin is cleared first and
    // that failure given back). 0x80000001 without wrapper, 0x80000003 without memory.
    [[nodiscard]] uint32_t createMemoryArea(SharedMemWrapper* wrapper);
    // Removes every item and forgets the origin, freeing it only when owned. 0x80000001 when there
    // is something to free and no wrapper (then nothing is touched), or when the first item has no
    // task item (a damaged list: the items before it are gone, the rest and the origin stay).
    [[nodiscard]] uint32_t clear(SharedMemWrapper* wrapper);
    // Adopts another root's origin cell without owning it; the list writes through it.
    // 0x80000002 for null or when the list already has an origin.
    [[nodiscard]] uint32_t joint(const int64_t* origin);
    // Sets the bytes of one dirty area once and makes the dummy memory of that size on the
    // ordinary heap. 0x80000002 when already set, 0x80000003 without memory.
    [[nodiscard]] uint32_t setDirtySize(uint32_t size);
    uint32_t deleteDummyMemory();
    // Sets the bytes of an import memory once; 0x80000002 when already set.
    [[nodiscard]] uint32_t setImportFlagSize(uint32_t size);

    const int64_t* getListOrigin() const { return m_pOrigin; }
    uint32_t getDirtyMemSize() const { return m_dirtySize; }
    uint32_t getImportFlagMemSize() const { return m_importFlagSize; }
    const uint8_t* getDummyMemory() const { return m_pDummyMemory; }

    // A known task id gains one reference (0x80000008 at 32767 references); a new one is appended.
    [[nodiscard]] uint32_t append(SharedMemWrapper* wrapper, uint32_t mode, uint32_t taskId, uint32_t areas,
                                  uint32_t settingIndex, uint32_t gettingIndex);
    // Appends an item with areas cleared dirty areas. 0x80000001 without wrapper; 0x80000002
    // without origin, for 0 areas, an index not below areas, or a dirty memory beyond 32 bits;
    // 0x80000003 without memory (nothing kept). A missing import block is recorded as absent.
    [[nodiscard]] uint32_t appendItem(SharedMemWrapper* wrapper, uint32_t mode, uint32_t taskId, uint32_t areas,
                                      uint32_t settingIndex, uint32_t gettingIndex);
    // Drops one reference; the last one removes the item. Always 0 (without wrapper: nothing done).
    uint32_t erase(SharedMemWrapper* wrapper, uint32_t taskId);
    // Unlinks and frees the item whatever its count. Always 0 (without wrapper: nothing done).
    uint32_t eraseItem(SharedMemWrapper* wrapper, uint32_t taskId);
    // Frees the item's memories, task item and the item itself; null wrapper or item: nothing. 0.
    uint32_t removeAppInfo(SharedMemWrapper* wrapper, _T_APP_INFO* item);

    _T_APP_INFO* find(uint32_t taskId) const;
    _T_APP_INFO* front() const;
    // 0 when absent.
    int16_t getReferenceCount(uint32_t taskId) const;
    // Head of the task-item chain (offset from the origin); 0 when empty or without origin.
    int64_t getFrontTaskItem() const;
    // origin + offset / address - origin, in bytes.
    void* getAbsolute(int64_t offset) const;
    int64_t getRelative(const void* address) const;

    // Point the task's setting or getting area at area (index mod area count). 0x80000007 for an
    // absent task; otherwise as setDirtyArea.
    [[nodiscard]] uint32_t setSettingDirtyArea(uint32_t taskId, uint32_t index);
    [[nodiscard]] uint32_t setGettingDirtyArea(uint32_t taskId, uint32_t index);
    // area = base + dirty size x (index mod n); n = 0 gives area = base and 0x80000000.
    [[nodiscard]] uint32_t setDirtyArea(int64_t& area, int64_t base, uint32_t n, uint32_t index) const;

    // The memory the selector chooses for the task; null when the task or the memory is absent.
    uint8_t* getTaskFlag(uint32_t taskId, const IFlagSelector& selector) const;
    uint8_t* getTaskDirtyMem(uint32_t taskId) const;
    uint8_t* getTaskImportFlagMem(uint32_t taskId) const;
    uint8_t* getTaskImportSearcherMem(uint32_t taskId) const;
    // Whether an import marked the root for the task: the searchers' bit 0, else the import flags'
    // bit 0. 0x80000002 for a null out or an absent task or memory (out untouched).
    [[nodiscard]] uint32_t getTransactionDirty(uint8_t* out, uint32_t taskId) const;

    // Marks bit in the setting area of every task that wants the change (see setTaskFlag); with
    // local the dummy memory too. Always 0.
    uint32_t setDirtyFlag(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn, uint8_t local);
    uint32_t setImportFlag(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn);
    uint32_t setImportSearcher(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn);
    // Passes over items without task item, the writer's own item unless markOwn, and items whose
    // mode shares a bit with mode; a bit beyond the chosen memory marks nothing. Always 0.
    uint32_t setTaskFlag(uint32_t mode, uint32_t bit, uint32_t taskId, uint8_t markOwn, uint8_t local,
                         const IFlagSelector& selector);
    // The bits[0 .. count) of one write in a single walk of the list: the same marks as calling
    // the one-bit form for each bit. A null bits marks nothing. Always 0.
    uint32_t setDirtyFlags(uint32_t mode, const uint32_t* bits, uint32_t count, uint32_t taskId, uint8_t markOwn,
                           uint8_t local);
    uint32_t setTaskFlags(uint32_t mode, const uint32_t* bits, uint32_t count, uint32_t taskId, uint8_t markOwn,
                          uint8_t local, const IFlagSelector& selector);
    // Raise or clear every bit of area 0 of the task, whatever its setting area. 0x80000002 when
    // absent.
    [[nodiscard]] uint32_t setDirtyFlag(uint32_t taskId);
    [[nodiscard]] uint32_t resetDirtyFlag(uint32_t taskId);
    // Present task: its flag becomes 0 or 1. Always 0.
    uint32_t setRootAdditionFlag(uint8_t flag, uint32_t taskId);
    // 0 or 1 as the result; 0x80000007 when absent.
    uint32_t getRootAdditionFlag(uint32_t taskId) const;

private:
    template <typename Memory>
    void markEach(uint32_t mode, const uint32_t* bits, uint32_t count, uint32_t taskId, uint8_t markOwn,
                  uint8_t local, uint32_t bytes, Memory memoryOf);
    _T_APP_INFO* itemAt(int64_t offset) const;
    T_TASK_ITEM* taskItemAt(int64_t offset) const;
    uint8_t* bytesAt(int64_t offset) const;
    [[nodiscard]] uint32_t fillArea0(uint32_t taskId, uint8_t value);

    uint8_t m_ownsOrigin = 0;
    int64_t* m_pOrigin = nullptr;  // own cell, or another root's (kept alive by that root)
    uint32_t m_dirtySize = 0;
    uint32_t m_importFlagSize = 0;
    uint8_t* m_pDummyMemory = nullptr;  // owned, ordinary heap
};

// Marks through a root's task list on behalf of one writing task; made on the stack for one
// operation and owns nothing. With deferred marks on, set keeps the bits and marks them in one
// walk of the list on flush (also when the store is full, the mode changes, or the holder goes):
// only for stretches where nobody outside can look at the marks before the flush.
class DirtyFlagHolder : public IDirtyFlagHolder {
public:
    // A single write marks its element and the collections above it.
    static constexpr uint32_t kDeferredBits = 8;

    // list: borrowed for the holder's life; may be null (every mark then gives 0x80000002).
    DirtyFlagHolder(TaskItemList* list, uint8_t markOwn, uint32_t taskId)
        : m_pList(list), m_markOwn(markOwn), m_taskId(taskId)
    {
    }
    DirtyFlagHolder(TaskItemList* list, uint32_t mode, uint8_t markOwn, uint32_t taskId)
        : m_pList(list), m_subscribeMode(mode), m_markOwn(markOwn), m_taskId(taskId)
    {
    }
    ~DirtyFlagHolder() override { (void)flush(); }

    DirtyFlagHolder(const DirtyFlagHolder&) = delete;
    DirtyFlagHolder& operator=(const DirtyFlagHolder&) = delete;

    // Turning it off marks what is kept. Always 0.
    uint32_t deferMarks(uint8_t on);
    // Marks the kept bits now. Always 0.
    uint32_t flush();

    uint32_t changeSubscribeMode(uint32_t mode);
    uint32_t changeLocalFlagMode(uint8_t on);

    [[nodiscard]] uint32_t set(uint32_t bit) override;
    [[nodiscard]] uint32_t setImportFlag(uint32_t bit) override;
    [[nodiscard]] uint32_t setImportSearcher(uint32_t bit) override;

private:
    TaskItemList* m_pList;
    uint32_t m_subscribeMode = 0;
    uint8_t m_markOwn;
    uint32_t m_taskId;
    uint8_t m_localFlagMode = 0;
    uint8_t m_defer = 0;
    uint32_t m_keptCount = 0;
    uint32_t m_kept[kDeferredBits] = {};
};

}  // namespace MMS
