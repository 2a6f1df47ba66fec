#pragma once
// The in-memory console transport under fuzz_dbgc_shell and fuzz_diag_consoles: typed bytes
// queue up until the console reads them. Each target decides what a send may take and how
// received events are raised.
#include <cstddef>
#include <cstdint>
#include <deque>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"

namespace {

class QueuedLowIO : public DBGC::IDebugConsoleLowIO {
public:
    JLIB::JResult initialize(DBGC::IDebugConsoleLowIOCallback& callback) override
    {
        m_pCallback = &callback;
        return 0;
    }
    JLIB::JResult finalize() override { return 0; }
    JLIB::JResult pollChar() override { return 0; }
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t* received) override
    {
        *received = 0;
        while (*received < size && !m_input.empty()) {
            static_cast<uint8_t*>(buffer)[(*received)++] = m_input.front();
            m_input.pop_front();
        }
        return 0;
    }
    JLIB::JResult flush() override { return 0; }

protected:
    void queue(const uint8_t* data, size_t size) { m_input.insert(m_input.end(), data, data + size); }

    DBGC::IDebugConsoleLowIOCallback* m_pCallback = nullptr;
    std::deque<uint8_t> m_input;
};

}  // namespace
