#pragma once
// Real threads of the test in the places of the engine's children that are not built yet: each
// records when it is set up, runs and closes into a shared journal, and runs jobs on its own task.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TMS/AbstractMessage.h"
#include "TMS/ThreadTestSupport.h"

namespace EngineTest {

using namespace std::chrono_literals;

// Entries of several threads in the order they were made.
class Journal {
public:
    void add(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(entry);
    }
    std::vector<std::string> entries() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries;
    }
    // The entries that begin with the prefix, without it.
    std::vector<std::string> with(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& entry : entries()) {
            if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry.substr(prefix.size()));
        }
        return out;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

class StandIn : public TmsTest::Recording<TMS::AbstractThread> {
public:
    explicit StandIn(Journal& journal) : Recording(1), m_journal(journal)
    {
        onUserMessage = [this](const TMS::AbstractMessage&) {
            std::function<void(StandIn&)> job;
            {
                std::lock_guard<std::mutex> lock(m_jobMutex);
                job.swap(m_job);
            }
            if (job) job(*this);
            m_jobsDone.fetch_add(1);
        };
    }

    using Recording::initialize;
    JLIB::JResult initialize(const char* name, int16_t priority, uint8_t startOrder, uint32_t stackSize,
                             uint32_t heapSize, uint32_t logLines, uint32_t timerPeriodMs,
                             const TMS::ArgumentMap& arguments) override
    {
        m_journal.add(std::string("init:") + name);
        return Recording::initialize(name, priority, startOrder, stackSize, heapSize, logLines, timerPeriodMs,
                                     arguments);
    }

    // Runs the job on this thread's own task; true once it has run.
    bool run(std::function<void(StandIn&)> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 7) != 0 || message.sendWithWaiting(*this) != 0) return false;
        return TmsTest::waitFor([&] { return m_jobsDone.load() != before; }, 10s);
    }

    // This thread's copy of a shared parameter as an unsigned number; 0xDEAD when unreadable.
    uint32_t sysParam(const char* name) const
    {
        JVariant value;
        if (getSysParam(value, name, 0) != 0) return 0xDEADu;
        return value.toUInt32();
    }

    // Writes and flushes one shared parameter from this thread's own task.
    // Like the real thread it stands in for, it keeps what it published in its own copy: the
    // root's later hand-down of an older value must not take it back.
    bool publish(const char* name, uint32_t value)
    {
        if (std::string(name) == "EditorState") m_editorState = static_cast<int>(value);
        std::atomic<bool> ok{false};
        const bool ran = run([&](StandIn& self) {
            ok = self.setSysParam(name, 0, JVariant(value)) == 0 && self.flushSysParam() == 0;
        });
        return ran && ok.load();
    }

    using Recording::setSystemInfo;
    JLIB::JResult setSystemInfo(const TMS::SystemInfo& table) override
    {
        const int own = m_editorState.load();
        if (own < 0) return Recording::setSystemInfo(table);
        std::lock_guard<std::mutex> lock(m_handDownMutex);
        if (!m_handDown) {
            m_handDown = std::make_unique<TMS::SystemInfo>();
            (void)m_handDown->initialize(&m_handDownLock);  // always 0
        }
        TMS::SystemInfoLocalData mine;
        if (JLIB::isFailure(m_handDown->overwrite(table)) ||
            JLIB::isFailure(mine.setParam("EditorState", 0, JVariant(own))) ||
            JLIB::isFailure(m_handDown->overwrite(mine))) {
            return Recording::setSystemInfo(table);
        }
        return Recording::setSystemInfo(*m_handDown);
    }

protected:
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override
    {
        if (status == TMS::kStatusRun) m_journal.add(std::string("+") + getThreadName());
        if (status == TMS::kStatusClosing) m_journal.add(std::string("-") + getThreadName());
        return Recording::onChangeStatus(status, arguments);
    }

private:
    Journal& m_journal;
    std::mutex m_jobMutex;
    std::atomic<int> m_editorState{-1};  // the "EditorState" this thread published, kept in its own copy
    std::mutex m_handDownMutex;
    TMS::TMSMutex m_handDownLock{"StandInHandDown"};
    std::unique_ptr<TMS::SystemInfo> m_handDown;
    std::function<void(StandIn&)> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
};

}  // namespace EngineTest
