#pragma once
// Both rack threads under a small root ("DeviceControlForUZ" stage 2, a recording "OSCServer"
// stage 4, "MURRemote" stage 5) over the shipped databases with the link table; a working folder
// with a stand-in rack variant (or none) and its "SystemSetting.ini"; the debug print read through
// an output of its own. Every wait is bounded.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TMS/AbstractMessage.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/TmsTestSupport.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcMurRemoteThread.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzProtoDeviceControlThread.h"
#include "common/Lpc/internal/LpcUzProtoMemoryTargets.h"
#include "dbgc/dbgc_IDebugConsoleLowIO.h"
#include "dbgc/dbgc_stdapi.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"
#include "main/app/common/Lpc/LpcOscTestSupport.h"
#include "main/app/common/Lpc/LpcStandInRack.h"

namespace LpcTest {

using namespace std::chrono_literals;

// Everything the debug print writes, registered once per process as one of its outputs.
class DebugPrintRecorder : public DBGC::IDebugConsoleLowIO {
public:
    static DebugPrintRecorder& instance()
    {
        static DebugPrintRecorder recorder;
        static const bool registered = dbgAddLowIO(recorder) == 0;
        EXPECT_TRUE(registered);
        return recorder;
    }

    JLIB::JResult initialize(DBGC::IDebugConsoleLowIOCallback&) override { return 0; }
    JLIB::JResult finalize() override { return 0; }
    JLIB::JResult pollChar() override { return 0; }
    JLIB::JResult receive(void*, uint32_t, uint32_t* received) override
    {
        if (received) *received = 0;
        return 0;
    }
    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_text.append(static_cast<const char*>(data), size);
        if (sent) *sent = size;
        return 0;
    }
    JLIB::JResult flush() override { return 0; }
    JLIB::JResult runCallback() override { return 0; }

    size_t count(const std::string& text) const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        size_t n = 0;
        for (size_t at = m_text.find(text); at != std::string::npos; at = m_text.find(text, at + text.size())) ++n;
        return n;
    }
    void clear()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_text.clear();
    }

private:
    mutable std::mutex m_lock;
    std::string m_text;
};

// The thread "OSCServer" until the real one exists: records the user messages and events that
// reach it; onMessage runs on its task for each user message, before the record.
class OscServerRecorder : public TMS::AbstractThread {
public:
    OscServerRecorder() : TMS::AbstractThread(1) {}
    ~OscServerRecorder() override
    {
        if (getTaskId() != kNoId) (void)release();
    }

    std::vector<std::string> messages() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_messages;
    }
    size_t messageCount() const { return messages().size(); }
    size_t eventCount(uint32_t number) const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        size_t n = 0;
        for (const uint32_t e : m_events) n += e == number ? 1 : 0;
        return n;
    }
    void clear()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_messages.clear();
        m_events.clear();
    }

    std::function<void(const TMS::AbstractMessage&)> onMessage;

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const JLIB::JResult result = TMS::AbstractThread::onReceiveMessage(message);
        if (message.messageType() != TMS::kMessageUser) return result;
        if (onMessage) onMessage(message);
        std::lock_guard<std::mutex> hold(m_lock);
        m_messages.push_back(LpcOscTest::describeMessage(message));
        return result;
    }
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_events.push_back(eventNumber);
        return 0;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_messages;
    std::vector<uint32_t> m_events;
};

// The rack threads, counting what a test waits for once each hook has done its work.
class ObservedDeviceControlForUZ : public LPC::LpcUzProtoDeviceControlThread {
public:
    ~ObservedDeviceControlForUZ() override
    {
        if (getTaskId() != kNoId) (void)release();  // while the counting hooks are whole
    }
    std::atomic<int> connectStateChanges{0};
    std::atomic<int> configChanges{0};

protected:
    JLIB::JResult onMurConnectStateChagned() override
    {
        const JLIB::JResult result = LpcUzProtoDeviceControlThread::onMurConnectStateChagned();
        ++connectStateChanges;
        return result;
    }
    JLIB::JResult onChangePDBConfig() override
    {
        const JLIB::JResult result = LpcUzProtoDeviceControlThread::onChangePDBConfig();
        ++configChanges;
        return result;
    }
};

class ObservedMurRemote : public LPC::LpcMurRemoteThread {
public:
    ~ObservedMurRemote() override
    {
        if (getTaskId() != kNoId) (void)release();
    }
    std::atomic<int> walks{0};

protected:
    JLIB::JResult didOnFoundChangedParameter() override
    {
        const JLIB::JResult result = LpcMurRemoteThread::didOnFoundChangedParameter();
        ++walks;
        return result;
    }
};

class RackThreadsFixture : public LinkTableFixture {
protected:
    void TearDown() override
    {
        stopRoot();
        (void)LPC::LpcThreadCommon::getInstance().finalize();  // the next start reads its own file
        LinkTableFixture::TearDown();
        m_released.clear();
        m_folder.reset();
        (void)rackCallbacks().take();
    }

    // The folder with the variant (null: no library) and "[Setting]" with the lines, then the
    // root with its three children; beforeStart runs once the library is loaded and before any
    // child runs (no connection step has come yet).
    void startRoot(const char* variant, const std::string& settings,
                   const std::function<void()>& beforeStart = nullptr)
    {
        stopRoot();
        if (!m_released.empty()) {
            // A database keeps the first callback of a subscription id, and a new thread may
            // get the task id of a released one: a second tree needs databases of its own.
            LinkTableFixture::TearDown();
            LinkTableFixture::SetUp();
        }
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        m_folder.reset();
        m_folder = std::make_unique<StandInRackFolder>(variant);
        {
            std::ofstream file(m_folder->folder().file("SystemSetting.ini"));
            file << "[Setting]\n" << settings;
        }
        ASSERT_EQ(0u, LPC::LpcThreadCommon::getInstance().initialize());
        DebugPrintRecorder::instance().clear();

        m_root = std::make_unique<TMS::SystemThread>(1);
        m_deviceControlForUZ = std::make_unique<ObservedDeviceControlForUZ>();
        m_oscServer = std::make_unique<OscServerRecorder>();
        m_murRemote = std::make_unique<ObservedMurRemote>();
        ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_root->getStatus() == TMS::kStatusStop; }, 10s));
        struct Place {
            TMS::AbstractThread* thread;
            const char* name;
            uint8_t stage;
        };
        const Place places[] = {{m_deviceControlForUZ.get(), "DeviceControlForUZ", 2},
                                {m_oscServer.get(), "OSCServer", 4},
                                {m_murRemote.get(), "MURRemote", 5}};
        for (const Place& p : places) {
            ASSERT_EQ(0u, p.thread->initialize(p.name, 0, p.stage, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        }
        for (const Place& p : places) {
            ASSERT_TRUE(TmsTest::waitFor([&] { return p.thread->getStatus() == TMS::kStatusStop; }, 10s)) << p.name;
        }
        m_hasRack = m_folder->controls(m_rack);
        // Before the children are the root's: it starts a stage as soon as the one before runs.
        if (beforeStart) beforeStart();
        for (const Place& p : places) ASSERT_EQ(0u, m_root->addThread(*p.thread));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, 10s));
    }

    // Releases the tree, the children after the root; the stand-in's copy is unloaded then.
    void stopRoot()
    {
        if (m_root) {
            EXPECT_EQ(0u, m_root->release());
        }
        m_root.reset();
        // Released, but still the databases' subscribers: they go with the databases.
        if (m_murRemote) m_released.push_back(std::move(m_murRemote));
        if (m_oscServer) m_released.push_back(std::move(m_oscServer));
        if (m_deviceControlForUZ) m_released.push_back(std::move(m_deviceControlForUZ));
        m_hasRack = false;
    }

    // Starts with the stand-in accepting, and waits until the first connection has been handed
    // round (the retry timer stopped).
    void startConnected(const std::string& settings = "")
    {
        startRoot(kStandInRack, settings);
        ASSERT_TRUE(m_hasRack);
        ASSERT_TRUE(waitForPrint("[UZ][MUR Remote] connected\n", 1));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_deviceControlForUZ->connectStateChanges.load() == 1; }, 10s));
    }

    static DebugPrintRecorder& printed() { return DebugPrintRecorder::instance(); }
    static bool waitForPrint(const std::string& text, size_t count)
    {
        return TmsTest::waitFor([&] { return printed().count(text) >= count; }, 15s);
    }
    bool waitForRackLines(const std::string& word, size_t count) const
    {
        return TmsTest::waitFor([&] { return m_rack.lines(word).size() >= count; }, 15s);
    }

    // Every target of every element of the memory: the records of one whole-memory batch.
    static size_t wholeMemoryRecords()
    {
        size_t n = 0;
        for (const auto& [index, members] : LPC::g_PluginAddressListForAllItem) {
            for (const LPC::PluginAddressMap& elements : members) {
                for (const auto& [xy, list] : elements) n += list.size();
            }
        }
        return n;
    }
    // The records the stand-in logged since its log was last cleared.
    size_t loggedRecords() const { return m_rack.lines("record").size(); }

    TMS::TMSystem m_system;
    std::unique_ptr<StandInRackFolder> m_folder;
    StandInControls m_rack;
    bool m_hasRack = false;
    std::unique_ptr<TMS::SystemThread> m_root;
    std::unique_ptr<ObservedDeviceControlForUZ> m_deviceControlForUZ;
    std::unique_ptr<OscServerRecorder> m_oscServer;
    std::unique_ptr<ObservedMurRemote> m_murRemote;
    std::vector<std::unique_ptr<TMS::AbstractThread>> m_released;
};

}  // namespace LpcTest
