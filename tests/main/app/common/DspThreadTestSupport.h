#pragma once
// What the DSP thread tests share: the shipped databases, the stand-in component library in a
// component folder of the test, the logic network and the configuration store, and a root
// "System" that declares the shared parameters and takes the threads under test as children.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "common/KavoriSystemInfo.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioComponentDLLRepository.h"
#include "dravo/manager/dravo_AudioConfigDB.h"
#include "jlib/JVariant.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace dsptest {

using namespace std::chrono_literals;
using TmsTest::waitFor;

// A thread under test that runs jobs of the test on its own task (user messages of id 7, which
// the threads ignore) and reads the shared parameters.
template <typename Base>
class Driven : public Base {
public:
    template <typename... Args>
    explicit Driven(Args... args) : Base(args...)
    {
    }
    ~Driven() override
    {
        if (this->getTaskId() != TMS::AbstractThread::kNoId) (void)this->release();  // before the hooks go
    }

    bool run(std::function<void(Driven&)> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 7) != 0 || message.sendWithWaiting(*this) != 0) return false;
        return waitFor([&] { return m_jobsDone.load() != before; }, 10s);
    }
    // Writes and flushes a shared parameter on the thread's own task.
    bool publish(const char* name, uint32_t value)
    {
        std::atomic<bool> ok{false};
        const bool ran = run([&](Driven& self) {
            ok = self.setSysParam(name, 0, JVariant(value)) == 0 && self.flushSysParam() == 0;
        });
        return ran && ok.load();
    }
    uint32_t sysParam(const char* name)
    {
        JVariant value;
        (void)this->getSysParam(value, name, 0);
        return value.toUInt32();
    }
    bool waitSysParam(const char* name, uint32_t value, std::chrono::milliseconds limit = 10s)
    {
        return waitFor([&] { return sysParam(name) == value; }, limit);
    }

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        if (message.messageType() != TMS::kMessageUser || message.messageId() != 7) {
            return Base::onReceiveMessage(message);
        }
        std::function<void(Driven&)> job;
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            job.swap(m_job);
        }
        if (job) job(*this);
        m_jobsDone.fetch_add(1);
        return 0;
    }

private:
    std::mutex m_jobMutex;
    std::function<void(Driven&)> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
};

inline DRAVO::AudioComponentCollection& collection() { return *DRAVO::AudioComponentCollection::singleton(); }

// The neighbours of the DSP threads; the root is set up with the children start() is given.
class DspEnvironment : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vcomtest::startLayers());
        ASSERT_EQ("", m_databases.create());
        std::filesystem::copy_file(std::filesystem::path(UZ_STANDIN_DIR) / "StandIn_1.so",
                                   std::filesystem::path(m_components.path()) / "StandIn_1.so");
        ASSERT_EQ(0u, LogicCtrl::LogicComponentCollection::singleton().initialize());
        ASSERT_EQ(0u, DRAVO::AudioConfigDB::singleton().initialize());
        ASSERT_EQ(0u, collection().initialize((m_components.path() + "/").c_str(), 16));
    }
    void TearDown() override
    {
        (void)m_root.release();
        (void)collection().finalize();
        (void)LogicCtrl::LogicComponentCollection::singleton().finalize();
        EXPECT_EQ(0u, DRAVO::AudioConfigDB::singleton().setAudioConfig(DRAVO::AudioConfig()));
        (void)DRAVO::AudioConfigDB::singleton().finalize();
        (void)DRAVO::AudioComponentDLLRepository::singleton().finalize();  // always 0
    }
    // Sets up the children under their names and starts the root; true once all run.
    bool start(const std::vector<std::pair<TMS::AbstractThread*, const char*>>& children)
    {
        for (const auto& [child, name] : children) {
            if (!TmsTest::setUpThread(*child, name, 0, 10)) return false;
        }
        m_root.onInit = [this, children] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            for (const auto& entry : children) EXPECT_EQ(0u, m_root.addThread(*entry.first));
        };
        if (!TmsTest::setUpThread(m_root, "System")) return false;
        if (m_root.start(TMS::getNullDataMap()) != 0) return false;
        return waitFor(
            [&] {
                for (const auto& entry : children) {
                    if (entry.first->getStatus() != TMS::kStatusRun) return false;
                }
                return true;
            },
            5s);
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    TempFolder m_components;
    LpcTest::ShippedDatabases m_databases;
    TmsTest::Recording<TMS::SystemThread> m_root{1};
};

}  // namespace dsptest
