#pragma once
// Helpers of the OSC surface tests: a running thread under a name the command functions address,
// keeping every user message it receives as one line of "key=value" pairs (Int32 values as "#n",
// UInt32 as "un"), and the device controller's device callback recorded.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "OscServer/OscCore/IOscDeviceCallback.h"
#include "TMS/AbstractMessage.h"
#include "TMS/ThreadTestSupport.h"
#include "jlib/JVariant.h"

namespace LpcOscTest {

using namespace std::chrono_literals;

inline std::string describeMessage(const TMS::AbstractMessage& message)
{
    std::string text;
    for (const auto& [key, value] : message.arguments()) {
        text += text.empty() ? "" : " ";
        text += std::string(key.text()) + "=";
        switch (value.getType()) {
        case JVariant::kTypeInt32: text += "#" + std::to_string(value.toInt32()); break;
        case JVariant::kTypeUInt32: text += "u" + std::to_string(value.toUInt32()); break;
        case JVariant::kTypeString: text += value.toString(); break;
        default: text += "?"; break;
        }
    }
    return text;
}

class MessageRecorder : public TmsTest::Recording<TMS::AbstractThread> {
public:
    MessageRecorder() : Recording(5)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_messages.push_back(describeMessage(message));
        };
    }
    // Registered and running under the name.
    bool run(const char* name) { return TmsTest::setUpThread(*this, name) && start(TMS::getNullDataMap()) == 0; }

    std::vector<std::string> messages() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_messages;
    }
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<std::string> out;
        out.swap(m_messages);
        return out;
    }
    bool waitForMessages(size_t count, std::chrono::milliseconds limit = 10s) const
    {
        return TmsTest::waitFor([&] { return messages().size() >= count; }, limit);
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_messages;
};

class RecordingDeviceCallback : public JOSC::IOscDeviceCallback {
public:
    uint32_t onDeviceStatusChanged(const char* key, const char* value) override
    {
        calls.push_back(std::string(key) + "=" + value);
        return 0;
    }
    std::vector<std::string> calls;
};

}  // namespace LpcOscTest
