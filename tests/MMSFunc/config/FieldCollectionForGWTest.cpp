// The console family's field table over the real instance broker and the OS layer's semaphore:
// the rows, filling the cache by name, handing the fields back, and the semaphore made once.
// Each test runs in a process of its own, so each starts before the first initialize.
#include "MMSFunc/config/mmsf_FieldCollectionForGW.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "devctrl/devctrl_InstanceBroker.h"
#include "devctrl/devctrl_MMSMutex.h"
#include "oswrap/oswrap_semaphore.h"

using DeviceControl::MMSInstanceBroker;
using MMSFUNC::FieldCollectionForGW;

namespace {

constexpr uint32_t kFailed = 0x80000000u;

MMSInstanceBroker& broker() { return MMSInstanceBroker::getInstance(); }

// Reads the class-wide semaphore id.
class SemaphoreView : public FieldCollectionForGW {
public:
    static uint16_t semaphoreId() { return m_SemaphoreId.load(); }
};

// A broker with a field registered under every row name but the ones left out.
class FieldCollectionForGWTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static DeviceControl::MMSMutex mutex("GWPrm", "GWCtrl");
        ASSERT_EQ(0u, broker().initialize(mutex, nullptr));
    }
    void TearDown() override
    {
        for (const std::string& name : m_registered) {
            MMS::IField* handedBack = nullptr;
            (void)broker().unregisterMmsInstance(&handedBack, name.c_str());  // refused while still held
        }
    }

    void registerAllBut(const std::vector<std::string>& leftOut)
    {
        const FieldCollectionForGW table;
        for (unsigned i = 0; i < table.fieldNum(); ++i) {
            const std::string name = table.fieldInfo(i)->name;
            if (std::find(leftOut.begin(), leftOut.end(), name) != leftOut.end()) continue;
            ASSERT_EQ(0u, broker().registerMmsInstance(&m_fields[i], name.c_str(),
                                                       MMSInstanceBroker::PERMISSION_ALL_WRITE, 0))
                << name;
            m_registered.push_back(name);
        }
    }
    MMS::IField* registered(unsigned index) { return &m_fields[index]; }
    // The broker's state of the named item: 1 available, 2 withdrawn while held, -1 gone.
    int state(const char* name)
    {
        MMSInstanceBroker::CATEGORY_ITEM_STATE value{};
        return (broker().getState(&value, name) & kFailed) ? -1 : static_cast<int>(value);
    }

    bool heapReady = (MmsTest::heap1(), true);
    MMS::Field m_fields[FieldCollectionForGW::kFieldCount] = {
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr, nullptr, nullptr},
    };
    std::vector<std::string> m_registered;
};

}  // namespace

TEST(FieldCollectionForGWRowsTest, HoldsTheEighteenRowsAndTheNullRecordBeyond)
{
    struct Row {
        const char* name;
        const char* shortName;
        uint32_t attribute1;
        uint32_t attribute2;
    };
    const Row rows[] = {
        {"Mixing", "Mixing", 1, 1},          {"Processing", "Process", 1, 1},   {"FX", "FX", 1, 1},
        {"Setup", "Setup", 0, 1},            {"StaticSetup", "Static", 0, 3},   {"Security", "Security", 0, 1},
        {"Volatile", "Volatile", 0, 0},      {"Status", "Status", 0, 0},        {"Calibration", "Calib", 0, 4},
        {"Property", "Property", 0, 0},      {"SceneList", "SceneList", 0, 2},  {"SceneStatus", "SceneStatus", 0, 0},
        {"SceneInfo", "Scene", 0, 1},        {"PresetInfo", "Preset", 0, 1},    {"ProjectInfo", "Project", 0, 0},
        {"ConsoleSetup", "CnsSetup", 0, 1},  {"Diagnostics", "Diag", 0, 0},     {"ConsoleStatus", "CnsStatus", 0, 0},
    };
    const FieldCollectionForGW table;
    ASSERT_EQ(std::size(rows), table.fieldNum());
    for (unsigned i = 0; i < table.fieldNum(); ++i) {
        SCOPED_TRACE(i);
        const MMSFUNC::FieldInfo* info = table.fieldInfo(i);
        EXPECT_EQ(i, info->index);
        EXPECT_STREQ(rows[i].name, info->name);
        EXPECT_STREQ(rows[i].shortName, info->shortName);
        EXPECT_EQ(rows[i].attribute1, info->attribute1);
        EXPECT_EQ(rows[i].attribute2, info->attribute2);
    }
    for (unsigned beyond : {18u, 0xFFFFFFFFu}) {
        EXPECT_EQ(&MMSFUNC::FieldCollection::m_NullInfo, table.fieldInfo(beyond));
        EXPECT_EQ(0xFFFFFFFFu, table.fieldInfo(beyond)->index);
        EXPECT_EQ(nullptr, table.fieldInfo(beyond)->name);
    }
    EXPECT_EQ(0u, FieldCollectionForGW().releaseAll());
}

TEST_F(FieldCollectionForGWTest, FillsTheSharedCacheByNameAndHandsTheFieldsBack)
{
    registerAllBut({"Calibration"});
    FieldCollectionForGW table;
    // Before the first initialize there is no semaphore: no field, and nothing to hand back.
    EXPECT_EQ(nullptr, table.field(16));
    EXPECT_EQ(kFailed, table.finalize());

    ASSERT_EQ(0u, table.initialize());
    FieldCollectionForGW other;  // every instance sees the one cache
    for (unsigned i = 0; i < FieldCollectionForGW::kFieldCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(i == 8 ? nullptr : registered(i), other.field(i));
    }
    EXPECT_EQ(nullptr, other.field(18));
    EXPECT_NE(nullptr, other.field(16));

    // The cache holds its reference: the owner cannot delete the field yet.
    MMS::IField* handedBack = nullptr;
    EXPECT_EQ(0x80000004u, broker().unregisterMmsInstance(&handedBack, "Diagnostics"));
    EXPECT_EQ(2, state("Diagnostics"));

    // A second initialize takes no second reference, so one finalize lets the owner go on.
    ASSERT_EQ(0u, other.initialize());
    ASSERT_EQ(0u, table.finalize());
    EXPECT_EQ(nullptr, table.field(16));  // the last holder let go
    EXPECT_EQ(0u, broker().unregisterMmsInstance(&handedBack, "Diagnostics"));
    EXPECT_EQ(-1, state("Diagnostics"));
    // A second finalize hands back nothing more.
    EXPECT_EQ(0u, table.finalize());
}

TEST_F(FieldCollectionForGWTest, ASlotKeepsAFieldThatOtherHoldersKeepAlive)
{
    registerAllBut({});
    MMS::IField* mine = nullptr;
    ASSERT_EQ(0u, broker().getField(&mine, "Setup"));
    FieldCollectionForGW table;
    ASSERT_EQ(0u, table.initialize());
    ASSERT_EQ(0u, table.finalize());
    EXPECT_EQ(registered(3), table.field(3));  // what the broker left in the pointer
    ASSERT_EQ(0u, broker().releaseField(&mine, "Setup"));
    EXPECT_EQ(nullptr, mine);
    MMS::IField* handedBack = nullptr;
    EXPECT_EQ(0u, broker().unregisterMmsInstance(&handedBack, "Setup"));  // no reference was left behind
}

TEST_F(FieldCollectionForGWTest, WithoutRegisteredFieldsEverySlotStaysEmpty)
{
    FieldCollectionForGW table;
    ASSERT_EQ(0u, table.initialize());
    for (unsigned i = 0; i < FieldCollectionForGW::kFieldCount; ++i) EXPECT_EQ(nullptr, table.field(i)) << i;
    EXPECT_EQ(0u, table.finalize());
}

TEST_F(FieldCollectionForGWTest, FirstInitializeOnManyTasksMakesOneSemaphore)
{
    registerAllBut({});
    // Ids are handed out from the top down: the cache's semaphore comes right below this one,
    // and a second one made in the race would push the next fresh id further down.
    const T_OSW_CSEM record = {nullptr, 0, 1, "Probe"};
    uint16_t before = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&before, &record));
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<uint32_t> results(8, 0x5A5A5A5Au);
    std::vector<std::thread> tasks;
    for (size_t t = 0; t < results.size(); ++t) {
        tasks.emplace_back([&, t] {
            ++ready;
            while (!go.load()) std::this_thread::yield();
            results[t] = FieldCollectionForGW().initialize();
        });
    }
    while (ready.load() != static_cast<int>(tasks.size())) std::this_thread::yield();
    go = true;
    for (std::thread& t : tasks) t.join();
    for (uint32_t r : results) EXPECT_EQ(0u, r);

    EXPECT_EQ(before - 1, SemaphoreView::semaphoreId());
    uint16_t after = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&after, &record));
    EXPECT_EQ(before - 2, after);
    EXPECT_EQ(0u, oswrap_DelSem(after));
    EXPECT_EQ(0u, oswrap_DelSem(before));

    // One reference each, whatever the number of initialize calls.
    ASSERT_EQ(0u, FieldCollectionForGW().finalize());
    MMS::IField* handedBack = nullptr;
    EXPECT_EQ(0u, broker().unregisterMmsInstance(&handedBack, "Mixing"));
}

TEST_F(FieldCollectionForGWTest, WhenNoSemaphoreCanBeMadeNothingIsTouched)
{
    registerAllBut({});
    std::vector<uint16_t> taken;
    const T_OSW_CSEM record = {nullptr, 0, 1, "Filler"};
    for (;;) {
        uint16_t id = 0;
        if ((oswrap_AcreSem(&id, &record) & kFailed) || id == 0) break;
        taken.push_back(id);
        ASSERT_LT(taken.size(), 1000u) << "the OS layer never runs out";
    }
    FieldCollectionForGW table;
    EXPECT_EQ(kFailed, table.initialize());
    EXPECT_EQ(0u, SemaphoreView::semaphoreId());
    EXPECT_EQ(nullptr, table.field(0));
    EXPECT_EQ(1, state("Mixing"));
    MMS::IField* handedBack = nullptr;
    EXPECT_EQ(0u, broker().unregisterMmsInstance(&handedBack, "Mixing"));  // no reference was taken

    // Once an id is free again the next call makes it.
    for (uint16_t id : taken) EXPECT_EQ(0u, oswrap_DelSem(id));
    EXPECT_EQ(0u, table.initialize());
    EXPECT_EQ(registered(1), table.field(1));
    EXPECT_EQ(0u, table.finalize());
}
