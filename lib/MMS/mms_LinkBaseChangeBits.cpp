// Link subscribers and change bits: subscriber slots, the per-slot bits of every link and member,
// and the queries "Link", "Link/Create", "Link/Mode", "Link/Type", "Link/Prm", "Link/Prm/Create".
#include <cstddef>
#include <cstring>

#include "MMS/Common/mms_Platform.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MMS/Common/mms_StringConverter.h"
#include "MMS/mms_LinkBase.h"

namespace MMS {

namespace {

// Bit b lies in byte b / 8 under 0x80 >> (b % 8); a null buffer reads clear and takes no writes.
bool testBit(const uint8_t* bits, uint32_t b) { return bits != nullptr && (bits[b / 8] & (0x80u >> (b % 8))) != 0; }

void setBit(uint8_t* bits, uint32_t b)
{
    if (bits != nullptr) bits[b / 8] = static_cast<uint8_t>(bits[b / 8] | (0x80u >> (b % 8)));
}

// Clears count bits from b on; true when one of them was set.
bool clearBits(uint8_t* bits, uint32_t b, uint32_t count)
{
    bool changed = false;
    for (uint32_t i = b; i < b + count; ++i) {
        if (testBit(bits, i)) {
            bits[i / 8] = static_cast<uint8_t>(bits[i / 8] & ~(0x80u >> (i % 8)));
            changed = true;
        }
    }
    return changed;
}

bool nameIs(const char* text, uint32_t length, const char* keyword)
{
    return length == std::strlen(keyword) && std::memcmp(text, keyword, length) == 0;
}

}  // namespace

uint32_t LinkBase::findSlot(uint32_t taskId) const
{
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (m_pSlots[i] == taskId) return i;
    }
    return m_slotCount;
}

bool LinkBase::isMarkedSlot(uint32_t slot, uint8_t markOwn, uint32_t taskId) const
{
    return m_pSlots[slot] != taskId || markOwn != 0;
}

// ---- Subscriptions ----

uint32_t LinkBase::linkSubscribe(uint32_t taskId, uint32_t /*unused*/, bool raise)
{
    if (!isBaseStatus()) return kMmsWrongState;
    return _linkSubscribe(taskId, raise);
}

uint32_t LinkBase::linkUnsubscribe(uint32_t taskId)
{
    if (!isBaseStatus()) return kMmsWrongState;
    return _linkUnsubscribe(taskId);
}

uint32_t LinkBase::_linkSubscribe(uint32_t taskId, bool raise)
{
    if (taskId == 0) return kMmsBadArgument;
    const uint32_t appended = m_subscribers.append(m_pMemory, 0, taskId, 1, 0, 0);
    if (mmsIsFailure(appended)) return appended;
    if (findSlot(taskId) != m_slotCount) return appended;  // counted once more, nothing else

    uint32_t slot = m_slotCount;
    for (uint32_t i = m_slotCount; i > 0; --i) {
        if (m_pSlots[i - 1] == 0) {
            slot = i - 1;
            break;
        }
    }
    if (slot != m_slotCount) {
        (void)initSubscribeDirtyMemory(slot, 0);  // what the former holder left behind
    } else {
        auto* grown = static_cast<uint32_t*>(mmsMalloc((m_slotCount + 1) * sizeof(uint32_t)));
        if (grown == nullptr) {
            (void)m_subscribers.erase(m_pMemory, taskId);
            return kMmsNoMemory;
        }
        std::memset(grown, 0, (m_slotCount + 1) * sizeof(uint32_t));
        if (m_slotCount != 0) std::memcpy(grown, m_pSlots, m_slotCount * sizeof(uint32_t));
        const uint32_t r = extendDirtyMemory(m_slotCount + 1);
        if (mmsIsFailure(r)) {
            (void)mmsFree(grown);
            (void)m_subscribers.erase(m_pMemory, taskId);
            return r;
        }
        (void)mmsFree(m_pSlots);
        m_pSlots = grown;
        ++m_slotCount;
    }
    m_pSlots[slot] = taskId;

    if (raise) {
        (void)initSubscribeDirtyMemory(slot, 1);
        // A list of this one task, so that only the new subscriber is woken.
        struct {
            int64_t origin;
            T_TASK_ITEM item;
        } one{};
        one.item.next = 0;
        one.item.taskId = taskId;
        T_TASK_LIST tasks;
        tasks.origin = &one.origin;
        tasks.first = static_cast<int64_t>(offsetof(decltype(one), item));
        (void)Base::sendEventTrigger(m_pLinkTrigger, 1, 0, &tasks);  // the receiver's answer is its own
    }
    return appended;
}

uint32_t LinkBase::_linkUnsubscribe(uint32_t taskId)
{
    if (taskId == 0) return kMmsBadArgument;
    const uint32_t r = m_subscribers.erase(m_pMemory, taskId);
    if (mmsIsFailure(r)) return r;
    if (m_subscribers.getReferenceCount(taskId) == 0) {
        const uint32_t slot = findSlot(taskId);
        if (slot != m_slotCount) m_pSlots[slot] = 0;  // its bits stay until the slot is taken again
    }
    return r;
}

// ---- Marking ----

uint32_t LinkBase::initLinkCollectionDirty(uint8_t* bits, uint8_t markOwn, uint32_t taskId)
{
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (!isMarkedSlot(i, markOwn, taskId)) continue;
        for (uint32_t b = 0; b < 4; ++b) setBit(bits, 4 * i + b);
    }
    return kMmsOk;
}

uint32_t LinkBase::setLinkCollectionDirty(uint8_t* bits, uint32_t bit, uint8_t markOwn, uint32_t taskId)
{
    if (bit > 3) return kMmsBadArgument;
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (!isMarkedSlot(i, markOwn, taskId)) continue;
        setBit(bits, 4 * i + bit);
        setBit(bits, 4 * i);
    }
    return kMmsOk;
}

uint32_t LinkBase::setLinkItemDirty(uint8_t* bits, uint32_t bit, uint8_t markOwn, uint32_t taskId)
{
    if (bit > 1) return kMmsBadArgument;
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (!isMarkedSlot(i, markOwn, taskId)) continue;
        setBit(bits, 2 * i + bit);
        setBit(bits, 2 * i);
    }
    return kMmsOk;
}

uint32_t LinkBase::initSubscribeDirtyMemory(uint32_t slot, uint8_t value)
{
    if (m_pRootLinks == nullptr) return kMmsOk;
    for (uint32_t r = 0; r < m_pRootLinks->getLinkNum(); ++r) {
        const T_LINK_LIST* head = m_pRootLinks->getLinkIndex(r);
        for (const T_LINK_LIST* node = head != nullptr ? head->next : nullptr; node != nullptr; node = node->next) {
            T_LINK_COLLECTION* link = node->link;
            if (link == nullptr) continue;
            if (value != 0) {
                for (uint32_t b = 0; b < 4; ++b) setBit(link->dirty, 4 * slot + b);
            } else {
                (void)clearBits(link->dirty, 4 * slot, 4);
            }
            for (T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) {
                if (value != 0) {
                    setBit(m->dirty, 2 * slot);
                    setBit(m->dirty, 2 * slot + 1);
                } else {
                    (void)clearBits(m->dirty, 2 * slot, 2);
                }
            }
        }
    }
    return kMmsOk;
}

// ---- Buffers ----

uint32_t LinkBase::localSizeCheck(uint32_t bytes, uint32_t bits) const
{
    return bytes < mmsLinkDirtyMemorySize(bits) ? kMmsMissing : kMmsOk;
}

uint8_t* LinkBase::reallocDirtyMemory(uint8_t* old, uint32_t oldSize, uint32_t newSize) const
{
    auto* grown = static_cast<uint8_t*>(mmsMalloc(newSize));
    if (grown == nullptr) return nullptr;
    std::memset(grown, 0, newSize);
    if (old != nullptr && oldSize != 0) std::memcpy(grown, old, oldSize < newSize ? oldSize : newSize);
    (void)mmsFree(old);
    return grown;
}

uint32_t LinkBase::extendDirtyMemory(uint32_t slots)
{
    const uint32_t c = mmsLinkDirtyMemorySize(4 * slots);
    const uint32_t m = mmsLinkDirtyMemorySize(2 * slots);
    uint32_t r = localSizeCheck(c, 4 * slots);
    if (mmsIsFailure(r)) return r;
    r = localSizeCheck(m, 2 * slots);
    if (mmsIsFailure(r)) return r;
    if (m_collectionBitBytes >= c && m_itemBitBytes >= m) return kMmsOk;

    // A buffer already grown by an attempt that failed later keeps its larger size: the stored
    // sizes only ever understate, and the copy below never reads past them.
    uint32_t result = kMmsOk;
    for (uint32_t i = 0; m_pRootLinks != nullptr && i < m_pRootLinks->getLinkNum(); ++i) {
        const T_LINK_LIST* head = m_pRootLinks->getLinkIndex(i);
        for (const T_LINK_LIST* node = head != nullptr ? head->next : nullptr; node != nullptr; node = node->next) {
            T_LINK_COLLECTION* link = node->link;
            if (link == nullptr) continue;
            if (c > m_collectionBitBytes) {
                uint8_t* grown = reallocDirtyMemory(link->dirty, m_collectionBitBytes, c);
                if (grown == nullptr) {
                    result = kMmsNoMemory;
                } else {
                    link->dirty = grown;
                }
            }
            if (m <= m_itemBitBytes) continue;
            for (T_LINK_ITEM* member = link->first; member != nullptr; member = member->next) {
                uint8_t* grown = reallocDirtyMemory(member->dirty, m_itemBitBytes, m);
                if (grown == nullptr) {
                    result = kMmsNoMemory;
                } else {
                    member->dirty = grown;
                }
            }
        }
    }
    if (mmsIsFailure(result)) return result;
    if (c > m_collectionBitBytes) m_collectionBitBytes = c;
    if (m > m_itemBitBytes) m_itemBitBytes = m;
    return kMmsOk;
}

// ---- Queries ----

uint32_t LinkBase::isLinkChanged(uint8_t* changed, const char* root, const char* address, uint32_t length,
                                 const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    if (!isBaseStatus()) return kMmsWrongState;
    return _isLinkChanged(changed, root, address, length, indices, indexCount, clear, taskId);
}

uint32_t LinkBase::isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                     const uint32_t* indices, uint32_t levels, uint8_t clear, uint32_t taskId)
{
    if (!isBaseStatus()) return kMmsWrongState;
    return _isLinkChangedFast(changed, root, codes, indices, levels, clear, taskId);
}

uint32_t LinkBase::_isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                      const uint32_t* indices, uint32_t levels, uint8_t clear, uint32_t taskId)
{
    if (changed == nullptr || codes == nullptr || indices == nullptr || levels == 0) return kMmsBadArgument;
    const uint32_t slot = findSlot(taskId);
    if (taskId == 0 || slot == m_slotCount) return kMmsBadArgument;
    const uint32_t cb = 4 * slot;
    const uint32_t ib = 2 * slot;
    T_LINK_LIST* head = chainHead(root);
    if (head == nullptr || codes[0] != 0) return kMmsBadArgument;
    T_LINK_LIST* node = head->next;
    for (uint32_t i = 0; node != nullptr && i < indices[0]; ++i) node = node->next;
    if (node == nullptr || node->link == nullptr) return kMmsBadArgument;
    T_LINK_COLLECTION* link = node->link;

    if (levels == 1) return isChangedCollection(changed, link, clear, cb, ib, 0);
    const uint32_t r = isLinkChangedOptions(changed, link, codes + 1, indices + 1, levels - 1, clear, cb, ib);
    // The summary stays only while some part or member still has news for the slot.
    if (!isChildCollectionDirty(link, cb, ib)) (void)clearBits(link->dirty, cb, 1);
    return r;
}

uint32_t LinkBase::isLinkChangedOptions(uint8_t* changed, T_LINK_COLLECTION* link, const uint32_t* codes,
                                        const uint32_t* indices, uint32_t levels, uint8_t clear,
                                        uint32_t collectionBit, uint32_t itemBit)
{
    if (link == nullptr || codes == nullptr || indices == nullptr || levels == 0) return kMmsBadArgument;
    if (codes[0] == 3) {
        T_LINK_ITEM* member = link->first;
        for (uint32_t i = 0; member != nullptr && i < indices[0]; ++i) member = member->next;
        if (member == nullptr) return kMmsBadArgument;
        if (levels == 1) return isChangedParameter(changed, member, clear, itemBit, 0);
        const uint32_t r = isChangedItemOptions(changed, member, codes + 1, indices + 1, levels - 1, clear, itemBit);
        if (!isChildPrmDirty(member, itemBit)) (void)clearBits(member->dirty, itemBit, 1);
        return r;
    }
    if (codes[0] <= 2 && levels == 1) {
        return isChangedCollection(changed, link, clear, collectionBit, itemBit, codes[0] + 1);
    }
    return kMmsBadArgument;
}

uint32_t LinkBase::isChangedItemOptions(uint8_t* changed, T_LINK_ITEM* member, const uint32_t* codes,
                                        const uint32_t* /*indices*/, uint32_t levels, uint8_t clear,
                                        uint32_t itemBit)
{
    if (levels != 1 || codes == nullptr || codes[0] != 0) return kMmsBadArgument;
    return isChangedParameter(changed, member, clear, itemBit, 1);
}

uint32_t LinkBase::isChangedCollection(uint8_t* changed, T_LINK_COLLECTION* link, uint8_t clear,
                                       uint32_t collectionBit, uint32_t itemBit, uint32_t sub)
{
    if (link == nullptr) return kMmsBadArgument;
    if (!testBit(link->dirty, collectionBit + sub)) {
        *changed = 0;
        return kMmsOk;
    }
    *changed = 1;
    if (clear == 0) return kMmsOk;
    const bool cleared = clearBits(link->dirty, collectionBit + sub, sub == 0 ? 4 : 1);
    if (sub == 0) {
        for (T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) {
            uint8_t ignored = 0;
            (void)isChangedParameter(&ignored, m, 1, itemBit, 0);
        }
    }
    return cleared ? kMmsChanged : kMmsOk;
}

uint32_t LinkBase::isChangedParameter(uint8_t* changed, T_LINK_ITEM* member, uint8_t clear, uint32_t itemBit,
                                      uint32_t sub)
{
    if (member == nullptr) return kMmsBadArgument;
    if (!testBit(member->dirty, itemBit + sub)) {
        *changed = 0;
        return kMmsOk;
    }
    *changed = 1;
    if (clear == 0) return kMmsOk;
    return clearBits(member->dirty, itemBit + sub, sub == 0 ? 2 : 1) ? kMmsChanged : kMmsOk;
}

bool LinkBase::isChildCollectionDirty(const T_LINK_COLLECTION* link, uint32_t collectionBit, uint32_t itemBit) const
{
    if (link == nullptr) return true;
    for (uint32_t b = 1; b <= 3; ++b) {
        if (testBit(link->dirty, collectionBit + b)) return true;
    }
    for (const T_LINK_ITEM* m = link->first; m != nullptr; m = m->next) {
        if (testBit(m->dirty, itemBit)) return true;
    }
    return false;
}

bool LinkBase::isChildPrmDirty(const T_LINK_ITEM* member, uint32_t itemBit) const
{
    return member == nullptr || testBit(member->dirty, itemBit + 1);
}

uint32_t LinkBase::_isLinkChanged(uint8_t* changed, const char* root, const char* address, uint32_t length,
                                  const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    if (address == nullptr || length == 0) return kMmsBadArgument;
    uint32_t codes[3] = {};
    uint32_t levels = 0;
    uint32_t used = 0;
    uint32_t (LinkBase::*const steps[3])(uint32_t*, uint32_t*, const char*, uint32_t) = {
        &LinkBase::cnvStrFromFastLink1, &LinkBase::cnvStrFromFastLink2, &LinkBase::cnvStrFromFastLink3};
    while (levels < 3 && used < length) {
        uint32_t consumed = 0;
        const uint32_t r = (this->*steps[levels])(&codes[levels], &consumed, address + used, length - used);
        if (mmsIsFailure(r)) return r;
        used += consumed;
        ++levels;
        if (consumed == 0) break;
    }
    if (used != length || levels != indexCount) return kMmsBadArgument;
    return _isLinkChangedFast(changed, root, codes, indices, levels, clear, taskId);
}

namespace {

// The first name of text and the length it takes with its separators.
uint32_t firstName(uint32_t* nameLength, uint32_t* consumed, const char* text, uint32_t length)
{
    return StringConverter::getAddressFirstNameSize(nameLength, consumed, text, length);
}

}  // namespace

uint32_t LinkBase::cnvStrFromFastLink1(uint32_t* code, uint32_t* consumed, const char* text, uint32_t length)
{
    uint32_t nameLength = 0;
    const uint32_t r = firstName(&nameLength, consumed, text, length);
    if (mmsIsFailure(r)) return r;
    if (!nameIs(text, nameLength, "Link")) return kMmsBadArgument;
    *code = 0;
    return kMmsOk;
}

uint32_t LinkBase::cnvStrFromFastLink2(uint32_t* code, uint32_t* consumed, const char* text, uint32_t length)
{
    uint32_t nameLength = 0;
    const uint32_t r = firstName(&nameLength, consumed, text, length);
    if (mmsIsFailure(r)) return r;
    static const char* const kNames[] = {"Create", "Mode", "Type", "Prm"};
    for (uint32_t i = 0; i < 4; ++i) {
        if (nameIs(text, nameLength, kNames[i])) {
            *code = i;
            return kMmsOk;
        }
    }
    return kMmsBadArgument;
}

uint32_t LinkBase::cnvStrFromFastLink3(uint32_t* code, uint32_t* consumed, const char* text, uint32_t length)
{
    uint32_t nameLength = 0;
    const uint32_t r = firstName(&nameLength, consumed, text, length);
    if (mmsIsFailure(r)) return r;
    if (!nameIs(text, nameLength, "Create")) return kMmsBadArgument;
    *code = 0;
    return kMmsOk;
}

}  // namespace MMS
