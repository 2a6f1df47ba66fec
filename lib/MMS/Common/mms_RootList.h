#pragma once
// A field's list of named roots. It owns the field's three memory wrappers (definition, values,
// task bookkeeping) and every root in it; roots are built, found, named and destroyed through
// it. No locks: used under the locks of the field that owns it.
#include <cstdint>

#include "mms_Platform.h"

namespace MMS {

class ISharedMemory;
class Root;
class SharedMemWrapper;
struct sharedRootInfo;

class RootList {
public:
    MMS_CLASS_ALLOCATORS

    // One root of the list, in creation order; taken from the library heap.
    struct T_ROOT_INFO {
        T_ROOT_INFO* previous;
        T_ROOT_INFO* next;
        Root* root;     // owned
        char name[24];  // NUL-padded
    };

    // Creates the three wrappers over the providers (null: the library heap). *result 0, or
    // 0x80000001 when one cannot be created. Without result nothing is created.
    RootList(uint32_t* result, ISharedMemory* definition, ISharedMemory* values, ISharedMemory* tasks);
    // Deletes every root, then the wrappers.
    virtual ~RootList();

    RootList(const RootList&) = delete;
    RootList& operator=(const RootList&) = delete;

    // Build a root and append it under rootName. 0x80000003 when the root or its item cannot be
    // allocated, the root's failure as it is, then appendItem's; on failure the list is unchanged.
    [[nodiscard]] uint32_t append(const char* rootName, const char* topCollectionName, uint32_t maxCollections,
                                  uint32_t maxParameters, uint32_t stringMemorySize);
    // A root sharing another root's definition.
    [[nodiscard]] uint32_t append(const char* rootName, const sharedRootInfo& info);
    // A root joined to shared memories (recovery false) or restored from them (recovery true).
    [[nodiscard]] uint32_t append(const char* rootName, const sharedRootInfo& info, uint8_t option, bool recovery);
    // Links a prepared item at the tail under name: 0x80000002 for a null argument, 0x80000009
    // when a root of that name exists, else the name copy's result (linked only on success).
    [[nodiscard]] uint32_t appendItem(const char* name, T_ROOT_INFO* item);
    // Deletes the named root; 0 also when there is none, 0x80000002 for null.
    [[nodiscard]] uint32_t destroy(const char* name);
    Root* get(const char* name) const;
    Root* get(uint32_t index) const;
    Root* front() const;
    uint32_t getNum() const;
    // The 24 name bytes of the root at index; 0x80000006 past the end, 0x80000002 for null.
    [[nodiscard]] uint32_t getIdentifier(char* out, uint32_t index) const;
    // Deletes every root and item. 0.
    uint32_t clear();

    SharedMemWrapper* getDefinitionMemory() const { return m_pDefinitionMemory; }
    SharedMemWrapper* getValueMemory() const { return m_pValueMemory; }
    SharedMemWrapper* getTaskMemory() const { return m_pTaskMemory; }

private:
    // Takes over a constructed root: its item is made and linked, or both are given back.
    [[nodiscard]] uint32_t adopt(const char* rootName, Root* root, uint32_t constructed);
    T_ROOT_INFO* find(const char* name) const;

    T_ROOT_INFO* m_pHead = nullptr;
    SharedMemWrapper* m_pDefinitionMemory = nullptr;
    SharedMemWrapper* m_pValueMemory = nullptr;
    SharedMemWrapper* m_pTaskMemory = nullptr;
};

}  // namespace MMS
