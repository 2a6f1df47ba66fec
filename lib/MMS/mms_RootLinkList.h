#pragma once
// The registered roots of a link core, each with the head of its chain of links, in order of
// registration. Driven under the locks of the linked field that owns the core.
#include <cstdint>

#include "MMS/Common/mms_Result.h"

namespace MMS {

struct T_LINK_COLLECTION;

// One node of a root's link chain. The chain starts with a head node whose fields are all null;
// the links follow in ascending id, one node each.
struct T_LINK_LIST {
    T_LINK_LIST* previous = nullptr;
    T_LINK_LIST* next = nullptr;
    T_LINK_COLLECTION* link = nullptr;  // owned
};

class RootLinkList {
public:
    struct T_LINK_ROOT_INFO {
        T_LINK_ROOT_INFO* previous = nullptr;
        T_LINK_ROOT_INFO* next = nullptr;
        T_LINK_LIST* head = nullptr;  // owned chain head node
        char rootId[24] = {};
    };

    explicit RootLinkList(uint32_t* result = nullptr);
    virtual ~RootLinkList();
    RootLinkList(const RootLinkList&) = delete;
    RootLinkList& operator=(const RootLinkList&) = delete;

    // Releases every entry with its head node; the links must have been deleted before. 0.
    MmsResult clear();
    // 0x80000003 without memory, 0x80000002 null or bad name, 0x80000009 already registered.
    [[nodiscard]] MmsResult append(const char* rootId);
    [[nodiscard]] MmsResult appendItem(const char* rootId, T_LINK_ROOT_INFO* entry);
    // Removes the first entry of that identifier (0 also when none); 0x80000002 for null.
    MmsResult destroy(const char* rootId);
    uint32_t getLinkNum() const;
    // Chain head of the entry at that position in registration order; null past the end.
    T_LINK_LIST* getLinkIndex(uint32_t position) const;
    // Identifier of the entry at that position; null past the end.
    const char* getRootIdentifier(uint32_t position) const;
    // Chain head of the entry with that identifier; null for null or none.
    T_LINK_LIST* getLinkList(const char* rootId) const;

private:
    T_LINK_ROOT_INFO* find(const char* rootId) const;
    static void release(T_LINK_ROOT_INFO* entry);

    T_LINK_ROOT_INFO* m_pFirst = nullptr;
};

}  // namespace MMS
