#pragma once
// Parameter-tree synchroniser port of a link unit: keeps the roots of a tree (reached through a
// facade) equal at both ends, root by root. Association exchanges one tell-parameter per root
// and, where a root's values differ, the winning side's export of that root; an analysis
// compares the trees without associating. Associated, each side sends a dirty root whole, else
// its changed parameters one by one (with text addresses where the peer's structure differs).
// What arrives is decoded and checked, not written into the tree. Owner task of the unit only.
#include <cstdint>
#include <memory>

#include "comctrl_AbstractSynchronizer.h"

namespace DeviceControl {
class IFacade;
}

namespace ComControl {

using MMSSyncStatus = PDBSyncStatus;

class MmsSynchronizer : public AbstractSynchronizer {
public:
    static constexpr uint8_t kRootExists = 0x40;       // the root is in this tree
    static constexpr uint8_t kRootTookPart = 0x20;     // told in this association or analysis
    static constexpr uint8_t kRootStructureDiffers = 0x01;  // addresses go out as text
    static constexpr uint32_t kMaxDepth = 5;
    static constexpr uint32_t kMaxTextAddress = 120;

    MmsSynchronizer();
    ~MmsSynchronizer() override;

    // Only while not associated (else 0x80000000); 0x80000003 for a missing name, 0x80000004 for
    // one longer than 24 characters; asks the port for a receive buffer for the largest root.
    // facade and filter are borrowed: the owner keeps them alive while they are registered.
    [[nodiscard]] JLIB::JResult setFacade(const char* name, DeviceControl::IFacade* facade, const void* filter,
                                          uint32_t filterSize, uint32_t ownFactor);
    // Sends the tree's changes: 0x80000000 without a facade or when not associated.
    [[nodiscard]] JLIB::JResult notify();
    DeviceControl::IFacade* getFacade() const { return m_pFacade; }
    const uint8_t* getFilter() const { return m_pFilter; }
    uint32_t getFilterSize() const { return m_filterSize; }

    // Root table. 0x80000002 when the table cannot grow.
    [[nodiscard]] JLIB::JResult extendRootIdCounts(uint32_t count);
    // Entries for every local root (0x40) and two spare; 0x80000000 without a facade, 0x80000001
    // when the table cannot grow.
    [[nodiscard]] JLIB::JResult clearRootState();
    // Records that the peer told the root; a root only the peer has gets an entry of its own.
    [[nodiscard]] JLIB::JResult setRootState(const char* rootId, bool structureMatched);
    // The flags of the root's entry; 0 for an empty or unknown identifier.
    uint8_t rootState(const char* rootId) const;
    uint32_t rootTableSize() const { return m_rootCount; }

    // Also drops a change held for want of room.
    JLIB::JResult eventReset() override;

protected:
    bool hasTarget() const override { return m_pFacade != nullptr; }
    JLIB::JResult beginRequestDone() override;
    JLIB::JResult tellNext(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;
    JLIB::JResult answerIdleTellParameter(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in,
                                          uint32_t inLen, uint8_t* flags) override;
    void idleTellCompleteAnswered() override;
    JLIB::JResult associatingTellParameter(bool withSelf, uint8_t* out, uint32_t cap, uint32_t* len,
                                           const uint8_t* in, uint32_t inLen, uint8_t* flags) override;
    JLIB::JResult receiveSetParameter(const uint8_t* in, uint32_t inLen) override;
    JLIB::JResult receiveSetParameterBlock(const uint8_t* in, uint32_t inLen, bool associated) override;
    JLIB::JResult receiveParameterFlip(const uint8_t*, uint32_t) override { return JLIB::kOk; }
    JLIB::JResult notifying(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;
    void transferStarting() override { m_transferRoot = 0; }
    JLIB::JResult transferAll(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;
    JLIB::JResult startAnalysis(uint8_t* out, uint32_t cap, uint32_t* len, bool* more) override;
    JLIB::JResult analyzing(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in, uint32_t inLen,
                            uint8_t* flags) override;
    JLIB::JResult analyzed(uint8_t* out, uint32_t cap, uint32_t* len, const uint8_t* in, uint32_t inLen,
                           uint8_t* flags) override;

private:
    struct RootEntry {
        uint8_t flags = 0;
        char id[25] = {};  // 24 characters and a NUL
        bool sentWhole = false;  // in this sending pass: a root whose dirty flag stays goes once
    };

    // A changed parameter taken from the tree's walk (its change flag cleared).
    struct HeldChange {
        bool held = false;  // it found no room: sent before the root's next change
        char root[25] = {};
        uint32_t nodes[kMaxDepth] = {};
        uint32_t indexes[kMaxDepth] = {};
        uint32_t depth = 0;
    };

    JLIB::JResult doAnalzing(uint8_t* out, uint32_t cap, uint32_t* len, uint32_t rootIndex);
    JLIB::JResult sendSingleParameterCommand(uint8_t* out, uint32_t cap, uint32_t* len, const char* root,
                                             bool textAddress);
    JLIB::JResult encodeChange(uint8_t* out, uint32_t cap, uint32_t* len, const char* root, bool textAddress,
                               const HeldChange& change);
    JLIB::JResult sendRootBlock(uint8_t* out, uint32_t cap, uint32_t* len, const char* root);
    // A received set or block: decoded, named for this port, its address usable in the tree.
    JLIB::JResult checkReceived(const char* kind, const char* subName, const char* textAddress, uint32_t depth);
    uint32_t rootCount() const;
    RootEntry* findEntry(const char* rootId, bool local);

    DeviceControl::IFacade* m_pFacade = nullptr;  // the owner's, while registered
    const uint8_t* m_pFilter = nullptr;           // the owner's, while registered
    uint32_t m_filterSize = 0;
    std::unique_ptr<RootEntry[]> m_pRoots;
    uint32_t m_rootCount = 0;
    uint32_t m_transferRoot = 0;  // next root of a full transfer
    HeldChange m_held;
};

}  // namespace ComControl
