#include "dravo/manager/dravo_AudioConfigDB.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

DRAVO::AudioConfig sample(uint32_t fsHz, size_t components)
{
    DRAVO::AudioConfig c;
    c.dspSystem.name = "OPV256-D";
    c.dspSystem.fsHz = fsHz;
    c.dspSystem.result = 0;
    for (size_t i = 0; i < components; ++i) c.components.push_back({uint32_t(i + 1), "Gain", 1, 1, 1});
    c.connections = {{1, 0, 2, 0}};
    c.dspAssignments = {{0, 1, 0x100000000ull, 10, 1, 0}};
    return c;
}

std::string captured(const std::function<void()>& fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(AudioConfigDBTest, StoresOnlyWhileInitialisedAndKeepsTheConfigurationOverFinalize)
{
    DRAVO::AudioConfigDB& db = DRAVO::AudioConfigDB::singleton();
    EXPECT_EQ(&db, &DRAVO::AudioConfigDB::singleton());

    DRAVO::AudioConfig out = sample(1, 0);
    EXPECT_EQ(0x80000000u, db.setAudioConfig(sample(96000, 2)));
    EXPECT_EQ(0x80000000u, db.getAudioConfig(out));
    EXPECT_EQ(1u, out.dspSystem.fsHz);  // untouched
    EXPECT_EQ("", captured([&] { EXPECT_EQ(0u, db.finalize()); }));

    EXPECT_EQ("[i] AudioConfigDB::initialize - AUDIOCONFIG_DB() initialized.\n",
              captured([&] { EXPECT_EQ(0u, db.initialize()); }));
    EXPECT_EQ("", captured([&] { EXPECT_EQ(0x80000000u, db.initialize()); }));
    ASSERT_EQ(0u, db.getAudioConfig(out));
    EXPECT_EQ(0u, out.dspSystem.fsHz);  // nothing was stored before
    EXPECT_EQ(0x80000000u, out.dspSystem.result);

    ASSERT_EQ(0u, db.setAudioConfig(sample(96000, 2)));
    ASSERT_EQ(0u, db.getAudioConfig(out));
    EXPECT_EQ(96000u, out.dspSystem.fsHz);
    EXPECT_EQ(2u, out.components.size());
    EXPECT_EQ(0x100000000ull, out.dspAssignments.at(0).stepOffset);

    EXPECT_EQ("[i] AudioConfigDB::finalize - AUDIOCONFIG_DB() finalized.\n",
              captured([&] { EXPECT_EQ(0u, db.finalize()); }));
    EXPECT_EQ(0x80000000u, db.getAudioConfig(out));
    ASSERT_EQ(0u, captured([&] { EXPECT_EQ(0u, db.initialize()); }).find("[i] AudioConfigDB::initialize"));
    DRAVO::AudioConfig again;
    ASSERT_EQ(0u, db.getAudioConfig(again));
    EXPECT_EQ(96000u, again.dspSystem.fsHz);
    (void)captured([&] { EXPECT_EQ(0u, db.finalize()); });
}

TEST(AudioConfigDBTest, ReadersNeverSeeHalfAConfiguration)
{
    DRAVO::AudioConfigDB& db = DRAVO::AudioConfigDB::singleton();
    (void)captured([&] { ASSERT_EQ(0u, db.initialize()); });
    ASSERT_EQ(0u, db.setAudioConfig(sample(1, 1)));
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        DRAVO::AudioConfig out;
        while (!stop.load()) {
            ASSERT_EQ(0u, db.getAudioConfig(out));
            if (out.components.size() != out.dspSystem.fsHz) ++torn;
        }
    });
    for (uint32_t n = 1; n <= 300; ++n) ASSERT_EQ(0u, db.setAudioConfig(sample(n, n)));
    stop = true;
    reader.join();
    EXPECT_EQ(0, torn.load());
    (void)captured([&] { EXPECT_EQ(0u, db.finalize()); });
}
