#pragma once
// The thread-safe field with links: every field operation runs on a link core under the locks
// the thread-safe field takes for it (one lock table serves both), and the link operations run
// under ctrl and get (queries) or ctrl and set (edits). Owns the address search tree of its roots
// and fills it whenever a build finishes. Any task may call any operation.
#include <cstdint>

#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ILink.h"
#include "MMS/mms_LinkBase.h"
#include "MMS/mms_SearchTree.h"

namespace MMS {

class LinkField : public Field, public ILink {
public:
    MMS_CLASS_ALLOCATORS

    // The triggers and providers go to the core (any may be null); mutex is the owner's, may be
    // null (nothing is locked) and must outlive the field. The core's status (getStatus) tells
    // whether making it worked.
    LinkField(IEventFlagTrigger* trigger, IEventFlagTrigger* linkTrigger, IMutex* mutex, ISharedMemory* definition,
              ISharedMemory* values, ISharedMemory* tasks);
    // The core goes first: its links give their chain elements back through the search tree.
    ~LinkField() override;

    LinkField(const LinkField&) = delete;
    LinkField& operator=(const LinkField&) = delete;

    using Field::copyPrm;

    // Under ctrl and set: the core's build end; on success or 0x80000005 every root not yet
    // indexed gets its search-tree block. The core's result.
    [[nodiscard]] uint32_t finishBuild(uint8_t option) override;
    // Under ctrl and set: the core's subscribe as it is; the link task 0xFFFFFFFF is the core's own
    // subscription, so it gives 0x80000009 on a ready field.
    [[nodiscard]] uint32_t subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount, bool raiseAll) override;
    // Copies srcRoot into dstRoot of dst, a thread-safe or linked field, through dst's own
    // copyDstPrm. Holds both fields' ctrl locks (lower address first) and this field's get lock.
    // 0x80000002 for a null dst, dst this field, dst sharing this field's lock object (whose set
    // lock could never be had while get is held) or dst of another kind.
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, IField* dst, const char* dstRoot, uint8_t copyFlags,
                                   uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions,
                                   uint32_t notifyMode) override;
    // The body of the two-field copy; takes no lock of this field.
    [[nodiscard]] uint32_t _copyPrm(const char* srcRoot, IField* dstField, const char* dstRoot, uint8_t copyOptions,
                                    uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, uint32_t taskId,
                                    uint8_t clearSourceFlags) override;

    // ---- Link operations: the core's, queries under ctrl and get, edits under ctrl and set ----
    [[nodiscard]] uint32_t linkSubscribe(uint32_t taskId, uint32_t unused, bool raise) override;
    [[nodiscard]] uint32_t linkUnsubscribe(uint32_t taskId) override;
    [[nodiscard]] uint32_t linkHndlOpen(uint32_t* handle) override;
    [[nodiscard]] uint32_t linkHndlClose(uint32_t handle) override;
    [[nodiscard]] uint32_t createLink(uint32_t* linkId, const char* root, uint32_t handle, uint8_t markOwn,
                                      uint32_t taskId) override;
    [[nodiscard]] uint32_t deleteLink(const char* root, uint32_t linkId, uint32_t handle, uint8_t markOwn,
                                      uint32_t taskId) override;
    [[nodiscard]] uint32_t addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                      const uint32_t* indices, uint32_t depth, uint32_t handle, uint8_t markOwn,
                                      uint32_t taskId) override;
    [[nodiscard]] uint32_t removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                         const uint32_t* indices, uint32_t depth, uint32_t handle, uint8_t markOwn,
                                         uint32_t taskId) override;
    [[nodiscard]] uint32_t setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint32_t handle,
                                        uint8_t markOwn, uint32_t taskId) override;
    [[nodiscard]] uint32_t getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId) override;
    [[nodiscard]] uint32_t setLinkType(const char* root, uint32_t linkId, uint16_t linkType, uint32_t handle,
                                       uint8_t markOwn, uint32_t taskId) override;
    [[nodiscard]] uint32_t getLinkType(uint16_t* linkType, const char* root, uint32_t linkId) override;
    [[nodiscard]] uint32_t getNumOfLink(uint32_t* count, const char* root) override;
    [[nodiscard]] uint32_t getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId) override;
    [[nodiscard]] uint32_t cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position) override;
    [[nodiscard]] uint32_t getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                           JVariant* value, uint32_t capacity, const char* root, uint32_t linkId,
                                           uint32_t position) override;
    [[nodiscard]] uint32_t isLinkChanged(uint8_t* changed, const char* root, const char* address, uint32_t length,
                                         const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                         uint32_t taskId) override;
    [[nodiscard]] uint32_t isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                             const uint32_t* indices, uint32_t levels, uint8_t clear,
                                             uint32_t taskId) override;

private:
    // The tree is declared first so that it outlives the core, which uses it until its end.
    SearchTree m_searchTree;
    LinkBase m_linkCore;
    IMutex* m_pMutex;  // the owner's; may be null
};

}  // namespace MMS
