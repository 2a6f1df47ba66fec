#pragma once
// Watches one root of one field for one task: turns the task's dirty bits into calls of the
// observers registered at the changed nodes, and model addresses ("Input:3/EQ/Band:1") into
// parameter addresses. No lock: used by the task whose id notify is given; observers are called on
// it, from inside notify.
#include <string>
#include <vector>

#include "mmsf_IModelCore.h"
#include "mmsf_MMSAddressTree.h"

namespace MMS {
class IField;
}

namespace MMSFUNC {

class FieldCollection;

class ModelCore : public IModelCore {
public:
    // A node vector and channel vector of five entries each, with the depth in use.
    struct TempVectors {
        std::vector<unsigned int> nodes;
        std::vector<unsigned int> channels;
        unsigned int depth = 0;
        TempVectors() { clear(); }
        void clear();
    };

    ModelCore();
    ~ModelCore() override;
    ModelCore(const ModelCore&) = delete;
    ModelCore& operator=(const ModelCore&) = delete;

    // Watches rootId (kept as a pointer: it must outlive the core, and registrations must use
    // addresses with this very pointer) of the collection's field at fieldIndex; builds the
    // address tree, dropping every earlier registration. 0x80000000 when there is no such field.
    // clear: every change reported by notify has its dirty bit cleared.
    uint32_t initialize(const char* name, FieldCollection& collection, unsigned int fieldIndex, const char* rootId,
                        bool clear);
    uint32_t finalize();

    const char* name() const override { return m_name.c_str(); }
    // "/"-separated segments, each a node name with an optional ":channel"; a segment without
    // a number stands for every channel of its level, "Name:" for channel 0. The address is
    // cleared first and keeps what could be set on failure.
    uint32_t getModelAddress(MMSAddress& address, const char* text) const override;
    // Only addresses of this core's field and root-id pointer are taken.
    uint32_t registerObserver(IModelObserver* observer, const MMSAddress& address) override;
    uint32_t unregisterObserver(IModelObserver* observer, const MMSAddress& address) override;
    // Every element changed for taskId in tree order, each once; 0x80000000 without a field.
    uint32_t notify(unsigned int taskId) override;

private:
    bool accepts(const MMSAddress& address) const;

    std::string m_name;
    MMS::IField* m_pField;  // not owned
    const char* m_pRootId;  // not owned, compared by identity
    bool m_clear;
    MMSAddressTree m_tree;
};

}  // namespace MMSFUNC
