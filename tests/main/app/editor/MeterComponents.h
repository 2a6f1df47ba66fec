#pragma once
// What the meter tests share: the stand-in component library loaded by the real component
// registry from a component folder of the test, the test's own thread registered with the
// registry (so the components it adds are in its view), and direct access to their meter tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dravo/manager/AudioComponentTestSupport.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_MeterPool.h"

namespace metertest {

inline DRAVO::AudioComponentCollection& collection() { return *DRAVO::AudioComponentCollection::singleton(); }

class MeterComponents {
public:
    void setUp()
    {
        m_env.setUp();
        const std::string folder = m_env.makeComponentFolder({"StandIn"});
        testing::internal::CaptureStdout();  // the registry reports every library and thread
        const JLIB::JResult initialized = collection().initialize(folder.c_str(), 16);
        const JLIB::JResult begun = collection().beginByThread(nullptr);
        (void)testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, initialized);
        ASSERT_EQ(0u, begun);
    }
    void tearDown()
    {
        testing::internal::CaptureStdout();
        (void)collection().endByThread();
        (void)collection().finalize();
        (void)testing::internal::GetCapturedStdout();
        m_env.tearDown();
    }

    // A stand-in of numX channels: a "level" and a "gr" meter of numX bytes each.
    static void add(uint32_t uid, uint32_t numX)
    {
        testing::internal::CaptureStdout();
        const JLIB::JResult added = collection().addComponent("StandIn", 1, uid, numX, 1);
        (void)testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, added) << uid;
    }
    // Every table back to its cleared values (0, and 254 in the gain-reduction bytes).
    static void clear(uint32_t uid)
    {
        DRAVO::AudioComponent* component = collection().component(uid);
        ASSERT_NE(nullptr, component);
        (void)component->meterPool().clearAllData();  // always 0
    }
    // The bytes of one array of a component's normal (or peak-hold) meter table.
    static std::vector<uint8_t> bytes(uint32_t uid, uint32_t array, bool hold = false)
    {
        DRAVO::AudioComponent* component = collection().component(uid);
        if (!component) return {};
        const PARRAY::ArrayAccessorForServer& table =
            hold ? component->meterPool().holdMeterArrayAccessor() : component->meterPool().normalMeterArrayAccessor();
        void* data = nullptr;
        uint32_t size = 0;
        if (table.getArrayPointer(data, size, array) != 0) return {};
        const auto* first = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(first, first + size);
    }
    static void write(uint32_t uid, uint32_t array, const std::vector<uint8_t>& values, bool hold = false)
    {
        DRAVO::AudioComponent* component = collection().component(uid);
        ASSERT_NE(nullptr, component);
        const PARRAY::ArrayAccessorForServer& table =
            hold ? component->meterPool().holdMeterArrayAccessor() : component->meterPool().normalMeterArrayAccessor();
        void* data = nullptr;
        uint32_t size = 0;
        ASSERT_EQ(0u, table.getArrayPointer(data, size, array));
        ASSERT_EQ(values.size(), size);
        std::memcpy(data, values.data(), size);
    }

private:
    dravotest::DravoEnvironment m_env;
};

}  // namespace metertest
