#pragma once
// Fields for the field core's tests: a core over three memfd-backed memories with a recording
// change-event receiver, roots holding the standard tree of RootFixture.h, and a recording lock
// object. TestBase opens the core's root lookup so a test can look at a root directly.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MMS/Common/mms_Base.h"
#include "MMS/Common/mms_IEventFlagTrigger.h"
#include "MMS/Common/mms_IMutex.h"
#include "MMS/Common/mms_MutexLock.h"
#include "MMS/Common/mms_Root.h"
#include "MemfdSharedMemory.h"
#include "MmsTestHeap.h"
#include "RootFixture.h"
#include "dbgc/dbgc_IDebugConsoleLowIO.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JVariant.h"

namespace MmsTest {

// Every change event, with the task ids of its list walked as a receiver walks them.
class RecordingTrigger : public MMS::IEventFlagTrigger {
public:
    struct Event {
        uint8_t kind;
        uint32_t value;
        std::vector<uint32_t> tasks;
    };

    uint32_t trigger(uint8_t kind, uint32_t value, MMS::T_TASK_LIST* tasks) override
    {
        Event event{kind, value, {}};
        while (const MMS::T_TASK_ITEM* item = MMS::getTaskItem(tasks)) {
            event.tasks.push_back(item->taskId);
            if (event.tasks.size() > 64) break;  // a broken chain must not hang the test
        }
        events.push_back(event);
        return 0;
    }

    std::vector<Event> events;
};

// The name of every lock operation, in call order.
class RecordingMutex : public MMS::IMutex {
public:
    uint32_t getPrmLock() override { return note("getPrmLock"); }
    uint32_t getPrmUnlock() override { return note("getPrmUnlock"); }
    uint32_t getPrmTryLock() override { return note("getPrmTryLock"); }
    uint32_t setPrmLock() override { return note("setPrmLock"); }
    uint32_t setPrmUnlock() override { return note("setPrmUnlock"); }
    uint32_t setPrmTryLock() override { return note("setPrmTryLock"); }
    uint32_t ctrlLock() override { return note("ctrlLock"); }
    uint32_t ctrlUnlock() override { return note("ctrlUnlock"); }
    uint32_t ctrlTryLock() override { return note("ctrlTryLock"); }

    std::vector<std::string> calls;

private:
    uint32_t note(const char* name)
    {
        calls.emplace_back(name);
        return 0;
    }
};

class TestBase : public MMS::Base {
public:
    using MMS::Base::Base;
    MMS::Root* root(const char* name) const { return searchedRootCollection(name); }
};

// A core over its own three memories and a recording receiver.
struct FieldUnderTest {
    FieldUnderTest() : field(&trigger, definition.view(0), values.view(0), tasks.view(0)) {}

    int heapLiveAtStart = heap1().live;  // registers the library heap before the field uses it
    MemfdSharedMemory definition;
    MemfdSharedMemory values;
    MemfdSharedMemory tasks;
    RecordingTrigger trigger;
    TestBase field;
};

// Creates a root with the standard tree in a building field. withDefaults false leaves Gain
// without a default value.
inline void createStandardRoot(TestBase& field, const char* name, bool withDefaults = true)
{
    ASSERT_EQ(0u, field.createRoot(name, "Top", 0, 0, 256));
    MMS::Root* root = field.root(name);
    ASSERT_NE(nullptr, root);
    if (withDefaults) {
        addStandardTree(*root);
        return;
    }
    uint32_t index = 0;
    JVariant minimum(-10);
    JVariant maximum(10);
    ASSERT_EQ(0u, field.addPrmFast(&index, name, nullptr, 0, "Gain", 2, MMS::kMmsTypeInt32, &minimum, &maximum,
                                   nullptr, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
}

// A ready field with the standard roots of those names, defaults written.
inline void buildStandardField(TestBase& field, std::initializer_list<const char*> names)
{
    ASSERT_EQ(0u, field.startBuild());
    for (const char* name : names) createStandardRoot(field, name);
    ASSERT_EQ(0u, field.finishBuild(1));
}

// Addresses in the standard tree.
inline constexpr uint32_t kGainNodes[1] = {0};
inline constexpr uint32_t kLevelNodes[2] = {2, 0};

inline uint32_t setGain(MMS::IField& field, const char* root, int value, uint32_t element = 0,
                        uint8_t notifyOptions = 0, uint32_t originator = 7, uint8_t include = 0)
{
    const uint32_t indices[1] = {element};
    return field.setPrmFast(JVariant(value), root, kGainNodes, indices, 1, 1, include, 0, notifyOptions, originator,
                            nullptr, 0, nullptr);
}

inline int gain(MMS::IField& field, const char* root, uint32_t element = 0)
{
    const uint32_t indices[1] = {element};
    JVariant out;
    EXPECT_EQ(0u, field.getPrmFast(&out, nullptr, root, kGainNodes, indices, 1, 0, 0));
    return out.toInt32();
}

inline uint32_t setLevel(MMS::IField& field, const char* root, uint32_t value, uint32_t channel)
{
    const uint32_t indices[2] = {channel, 0};
    return field.setPrmFast(JVariant(value), root, kLevelNodes, indices, 2, 1, 0, 0, 0, 7, nullptr, 0, nullptr);
}

inline uint32_t level(MMS::IField& field, const char* root, uint32_t channel)
{
    const uint32_t indices[2] = {channel, 0};
    JVariant out;
    EXPECT_EQ(0u, field.getPrmFast(&out, nullptr, root, kLevelNodes, indices, 2, 0, 0));
    return out.toUInt32();
}

// Whether anything in the root is marked changed for the task.
inline int anyChanged(MMS::IField& field, const char* root, uint32_t task)
{
    uint8_t out = 9;
    const uint32_t result = field.isChangedFast(&out, root, nullptr, nullptr, 0, 0, task);
    return (result & 0x80000000u) != 0 ? -1 : out;
}

// What the debug print writes, collected from one registered console output.
class DebugText : public DBGC::IDebugConsoleLowIO {
public:
    JLIB::JResult initialize(DBGC::IDebugConsoleLowIOCallback&) override { return 0; }
    JLIB::JResult finalize() override { return 0; }
    JLIB::JResult pollChar() override { return 0; }
    JLIB::JResult receive(void*, uint32_t, uint32_t* received) override
    {
        *received = 0;
        return 0;
    }
    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override
    {
        text.append(static_cast<const char*>(data), size);
        *sent = size;
        return 0;
    }
    JLIB::JResult flush() override { return 0; }
    JLIB::JResult runCallback() override { return 0; }

    std::string text;
};

inline DebugText& debugText()
{
    static DebugText output;
    static const bool added = dbgAddLowIO(output) == 0;
    (void)added;
    output.text.clear();
    return output;
}

}  // namespace MmsTest
