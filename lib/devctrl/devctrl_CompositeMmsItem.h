#pragma once
// The root of the instance broker's tree, a virtual unit, or a group made on the way to a deeper
// name: an ordered list of named children (owned) and an optional link framework (borrowed).
// Paths are "/"-separated segments of 1 to 23 characters; several "/" in a row are one separator.
// Used under the broker's ctrl lock only.
#include <cstdint>

#include "devctrl/devctrl_BaseMmsItem.h"

namespace DeviceControl {

class MmsItemFactory;

class CompositeMmsItem : public BaseMmsItem {
public:
    static constexpr uint32_t kNameSize = 24;

    CompositeMmsItem() = default;
    // Destroys every child and with them the whole subtree.
    ~CompositeMmsItem() override;
    CompositeMmsItem(const CompositeMmsItem&) = delete;
    CompositeMmsItem& operator=(const CompositeMmsItem&) = delete;

    NODE_TYPE nodeType() const override { return NODE_COMPOSITE; }

    // Splits a path into its first segment and the rest after the separators that follow it. With
    // a path length other than 0 the scan stops after that many characters (the rest is then null
    // when they are all consumed) and restLength is what is left of it; with 0 it is 0.
    // 0x80000002 for a null pointer.
    [[nodiscard]] static uint32_t getGrandChildName(uint32_t* restLength, const char** rest, uint32_t* firstLength,
                                                    const char* path, uint32_t pathLength);

    // Adds by path, making missing groups on the way (they stay even when the deeper add fails).
    // 0x80000002 null name or bad type, 0x80000006 bad segment, 0x80000008 the name exists,
    // 0x80000003 no memory, 0x8000000a below a leaf.
    [[nodiscard]] uint32_t add(const char* name, uint32_t length, NODE_TYPE type) override;
    [[nodiscard]] uint32_t add(const char* name, uint32_t length, NODE_TYPE type, MmsItemFactory& factory);
    // Appends an entry for an existing item, which the composite then owns (only on success).
    [[nodiscard]] uint32_t add(const char* name, uint32_t length, BaseItem* child);
    // Removes and destroys the item named by the path: 0x80000006 when there is none.
    [[nodiscard]] uint32_t remove(const char* name, uint32_t length) override;
    BaseItem* item(const char* name, uint32_t length) override;
    const BaseItem* item(const char* name, uint32_t length) const override;
    uint32_t childNum() const override;

    // 0x80000004 when a framework is set and the new one is not null; null removes it.
    [[nodiscard]] uint32_t setLinkFramework(ParameterProc::ILinkFramework* framework) override;
    ParameterProc::ILinkFramework* linkFramework() const override { return m_pLinkFramework; }

private:
    struct Entry {
        Entry* prev = nullptr;
        Entry* next = nullptr;
        char name[kNameSize] = {};
        BaseItem* child = nullptr;  // owned
    };

    // The child of that segment; length 0 compares up to the name's NUL (23 characters at most).
    Entry* search(const char* name, uint32_t length) const;

    Entry* m_pFirst = nullptr;
    ParameterProc::ILinkFramework* m_pLinkFramework = nullptr;  // borrowed: the unit's owner keeps it
};

}  // namespace DeviceControl
