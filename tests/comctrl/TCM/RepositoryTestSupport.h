#pragma once
// Owner stand-ins for the repository tests: a mutex that checks it is taken once per operation and
// never twice, and a trigger that records who was woken and whether the mutex was held then.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "comctrl/TCM/IMutex.h"
#include "comctrl/TCM/ITrigger.h"

namespace tcmtest {

class CheckingMutex : public TCM::IMutex {
public:
    void lock() override
    {
        EXPECT_EQ(0, depth) << "taken twice";
        ++depth;
        ++locks;
    }
    void unlock() override
    {
        EXPECT_EQ(1, depth) << "given back while not taken";
        --depth;
    }
    int depth = 0;
    int locks = 0;
};

struct Wake {
    bool worker;  // else a client
    uint32_t clientId;
    bool held;  // the mutex was held during the call
    bool operator==(const Wake& o) const { return worker == o.worker && clientId == o.clientId && held == o.held; }
};

inline std::ostream& operator<<(std::ostream& os, const Wake& w)
{
    return os << (w.worker ? "worker(" : "client(") << w.clientId << (w.held ? ", held)" : ", not held)");
}

class RecordingTrigger : public TCM::ITrigger {
public:
    explicit RecordingTrigger(const CheckingMutex* mutex = nullptr) : m_pMutex(mutex) {}
    JLIB::JResult wakeWorker(uint32_t clientId) override
    {
        wakes.push_back(Wake{true, clientId, isHeld()});
        return result;
    }
    JLIB::JResult wakeClient(uint32_t clientId) override
    {
        wakes.push_back(Wake{false, clientId, isHeld()});
        return result;
    }
    std::vector<Wake> wakes;
    JLIB::JResult result = 0;  // a failure here must not reach the repository's caller

private:
    bool isHeld() const { return m_pMutex && m_pMutex->depth == 1; }
    const CheckingMutex* m_pMutex;  // the test keeps it alive
};

}  // namespace tcmtest
