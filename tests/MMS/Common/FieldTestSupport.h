#pragma once
// Test doubles and a small tree for the thread-safe field: a lock object that journals its calls
// (and can be told to fail some), a change-event receiver that counts, and a builder of roots
//   /<root>/Gain[kGainCount]  int32 -1000000 .. 1000000, default 0   (node 0 below the top)
// over the library heap, the same definition in every root so that values copy between them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_IEventFlagTrigger.h"
#include "MMS/Common/mms_IMutex.h"
#include "MMS/Common/mms_MutexLock.h"
#include "MMS/Common/mms_Parameter.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace FieldTest {

constexpr uint32_t kGainCount = 8;
constexpr uint32_t kGainNode[1] = {0};

// Every call as "<tag>.<operation>" in one journal that several mutexes may share.
class RecordingMutex : public MMS::IMutex {
public:
    RecordingMutex(std::vector<std::string>* journal, std::string tag) : m_journal(journal), m_tag(std::move(tag)) {}

    uint32_t getPrmLock() override { return call("getPrmLock"); }
    uint32_t getPrmUnlock() override { return call("getPrmUnlock"); }
    uint32_t getPrmTryLock() override { return call("getPrmTryLock"); }
    uint32_t setPrmLock() override { return call("setPrmLock"); }
    uint32_t setPrmUnlock() override { return call("setPrmUnlock"); }
    uint32_t setPrmTryLock() override { return call("setPrmTryLock"); }
    uint32_t ctrlLock() override { return call("ctrlLock"); }
    uint32_t ctrlUnlock() override { return call("ctrlUnlock"); }
    uint32_t ctrlTryLock() override { return call("ctrlTryLock"); }

    std::set<std::string> failing;  // operations that answer 0x80000000

private:
    uint32_t call(const char* op)
    {
        m_journal->push_back(m_tag + "." + op);
        return failing.count(op) ? 0x80000000u : 0;
    }
    std::vector<std::string>* m_journal;
    std::string m_tag;
};

// The journal of a scoped lock with these flags over a mutex of that tag.
inline std::vector<std::string> lockJournal(const std::string& tag, uint8_t flags)
{
    std::vector<std::string> out;
    if (flags & 1) out.push_back(tag + ".ctrlLock");
    if (flags & 4) out.push_back(tag + ".setPrmLock");
    if (flags & 2) out.push_back(tag + ".getPrmLock");
    if (flags & 2) out.push_back(tag + ".getPrmUnlock");
    if (flags & 4) out.push_back(tag + ".setPrmUnlock");
    if (flags & 1) out.push_back(tag + ".ctrlUnlock");
    return out;
}

class CountingTrigger : public MMS::IEventFlagTrigger {
public:
    uint32_t trigger(uint8_t, uint32_t, MMS::T_TASK_LIST* tasks) override
    {
        ++events;
        std::lock_guard<std::mutex> guard(m_guard);
        lastTasks.clear();
        while (const MMS::T_TASK_ITEM* item = MMS::getTaskItem(tasks)) lastTasks.push_back(item->taskId);
        return 0;
    }
    std::atomic<int> events{0};
    std::vector<uint32_t> lastTasks;

private:
    std::mutex m_guard;
};

// Builds the named roots into a new field's core (startBuild .. finishBuild with defaults).
inline void buildRoots(MMS::IField& field, std::initializer_list<const char*> roots)
{
    ASSERT_EQ(0u, field.startBuild());
    for (const char* name : roots) {
        ASSERT_EQ(0u, field.createRoot(name, "Top", 0, 0, 64)) << name;
        JVariant minimum(-1000000);
        JVariant maximum(1000000);
        JVariant def(0);
        uint32_t index = 99;
        ASSERT_EQ(0u, field.addPrmFast(&index, name, nullptr, 0, "Gain", kGainCount, MMS::kMmsTypeInt32, &minimum,
                                       &maximum, &def, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0))
            << name;
        ASSERT_EQ(0u, index);
    }
    ASSERT_EQ(0u, field.linkBuild(1));
    ASSERT_EQ(0u, field.finishBuild(1));
}

inline uint32_t setGain(MMS::IField& field, const char* root, uint32_t element, int value, uint32_t task = 99)
{
    const uint32_t index[1] = {element};
    return field.setPrmFast(JVariant(value), root, kGainNode, index, 1, 1, 0, 0, 0, task, nullptr, 0, nullptr);
}

// The element's value; INT32_MIN when the read failed.
inline int getGain(MMS::IField& field, const char* root, uint32_t element)
{
    const uint32_t index[1] = {element};
    JVariant out;
    if (field.getPrmFast(&out, nullptr, root, kGainNode, index, 1, 0, 0) & 0x80000000u) return INT32_MIN;
    return out.toInt32();
}

// Whether the element is marked changed for the task; -1 when the query failed.
inline int isGainChanged(MMS::IField& field, const char* root, uint32_t element, uint32_t task)
{
    const uint32_t index[1] = {element};
    uint8_t out = 9;
    if (field.isChangedFast(&out, root, kGainNode, index, 1, 0, task) & 0x80000000u) return -1;
    return out;
}

// Writes every element of the root's Gain with one value in one locked call.
inline uint32_t setAllGains(MMS::IField& field, const char* root, int value, uint32_t task = 99)
{
    int32_t memory[1] = {value};
    JVariantArray values(memory, JVariant::kTypeInt32, 4, 1);
    const uint32_t first[1] = {0};
    const uint32_t last[1] = {kGainCount - 1};
    return field.setPrmArrayFast(values, root, kGainNode, first, last, 1, 1, 1, 0, 0, 0, task, nullptr, 0, 0,
                                 nullptr);
}

// Reads every element of the root's Gain in one locked call; false when the read failed.
inline bool getAllGains(MMS::IField& field, const char* root, int32_t (&out)[kGainCount])
{
    JVariantArray values(out, JVariant::kTypeInt32, 4, kGainCount);
    const uint32_t first[1] = {0};
    const uint32_t last[1] = {kGainCount - 1};
    return !(field.getPrmArrayFast(&values, nullptr, kGainCount, root, kGainNode, first, last, 1, 0, 0) &
             0x80000000u);
}

}  // namespace FieldTest
