#pragma once
// A mirror of one root's node structure: one item per collection and parameter, each holding its
// node's address with every level any channel, and the observers registered at that node. A
// notification names a node and concrete channels and calls that node's observers only. No lock:
// building, registration and notification of one tree happen on one task (its model core's owner).
// Results are 0 or 0x80000000.
#include <cstdint>
#include <vector>

#include "mmsf_IModelObserver.h"
#include "mmsf_MMSAddress.h"

namespace MMS {
class IField;
}

namespace MMSFUNC {

class MMSAddressTreeItem {
public:
    struct MMSNodeObserver {
        IModelObserver* observer;  // not owned
        bool notified;
    };

    MMSAddressTreeItem();
    ~MMSAddressTreeItem();
    MMSAddressTreeItem(const MMSAddressTreeItem&) = delete;
    MMSAddressTreeItem& operator=(const MMSAddressTreeItem&) = delete;

    // Builds this item (path null: the top, which keeps an empty address) and, depth first, the
    // items of every node below it. 0x80000000 when the path does not resolve or a query failed;
    // what was built stays.
    uint32_t initialize(MMS::IField* field, const char* rootId, const char* path, unsigned int pathLength);
    uint32_t addChildNodes(MMS::IField* field, const char* rootId, const char* path, unsigned int pathLength);
    // Drops the subtree and the observers; the address is kept.
    uint32_t clear();

    const MMSAddress& addressCache() const { return m_address; }
    // Null when index is not below childNum.
    MMSAddressTreeItem* child(unsigned int index);
    const MMSAddressTreeItem* child(unsigned int index) const;
    unsigned int childNum() const { return static_cast<unsigned int>(m_children.size()); }

    // 0x80000000 for null or an observer already registered here. The observer is not owned.
    uint32_t registerObserver(IModelObserver* observer);
    // 0x80000000 for null or one not registered here.
    uint32_t unregisterObserver(IModelObserver* observer);
    // Calls each observer of this item once with the address narrowed to channels (count of
    // them), including those registered during the call; 0x80000000 and nobody called when a
    // channel is refused.
    uint32_t notify(const unsigned int* channels, unsigned int count);

private:
    MMSAddress m_address;
    std::vector<MMSNodeObserver> m_observers;
    bool m_observersChanged;
    std::vector<MMSAddressTreeItem*> m_children;  // owned
};

class MMSAddressTree {
public:
    MMSAddressTree();
    virtual ~MMSAddressTree();
    MMSAddressTree(const MMSAddressTree&) = delete;
    MMSAddressTree& operator=(const MMSAddressTree&) = delete;

    // Mirrors the root as it is now, dropping every earlier item and registration. Always 0: a
    // query that fails while building leaves a partial tree. rootId must outlive the tree.
    uint32_t initialize(MMS::IField* field, const char* rootId);
    uint32_t clear();

    const MMSAddressTreeItem& tree() const { return m_top; }
    // The item at the node vector; null for a null vector, depth 0 or a path beyond the tree.
    MMSAddressTreeItem* find(const unsigned int* nodes, unsigned int depth);
    const MMSAddressTreeItem* find(const unsigned int* nodes, unsigned int depth) const;

    // At the item of the address's node vector; 0x80000000 when there is none.
    uint32_t registerObserver(IModelObserver* observer, const MMSAddress& address);
    uint32_t unregisterObserver(IModelObserver* observer, const MMSAddress& address);
    // The observers of the item at nodes, with channels (depth of them).
    uint32_t notify(const unsigned int* nodes, const unsigned int* channels, unsigned int depth);

private:
    MMS::IField* m_pField;  // not owned
    const char* m_pRootId;  // not owned
    MMSAddressTreeItem m_top;
};

}  // namespace MMSFUNC
