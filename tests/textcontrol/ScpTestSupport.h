#pragma once
// Helpers of the text control tests: a heap that records the tag of every live block, texts
// between std::string (UTF-8) and the protocol's strings, decoding whole inputs, and bounded waits.
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "jlib/JDataStream.h"
#include "jlib/JHeap.h"
#include "textcontrol/ScpAbstractDecoder.h"
#include "textcontrol/ScpHeap.h"
#include "textcontrol/ScpTypes.h"

namespace ScpTest {

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Over malloc; remembers the tag of every live block and can refuse the n-th allocation.
class RecordingHeapManager : public JLIB::IHeapManager {
public:
    const char* getName() const override { return "ScpTestHeap"; }
    uint32_t getMaxBlock() const override { return 0xFFFFFFFFu; }
    void* allocateMemory(uint32_t size, bool, const char* tag) override
    {
        ++allocations;
        if (allocations == refuseAllocation) return nullptr;
        void* block = std::malloc(size);
        if (block) live[block] = tag ? tag : "";
        return block;
    }
    uint32_t freeMemory(void* block, bool) override
    {
        live.erase(block);
        std::free(block);
        return 0;
    }
    std::map<std::string, int> liveTagCounts() const
    {
        std::map<std::string, int> counts;
        for (const auto& [block, tag] : live) ++counts[tag];
        return counts;
    }

    std::map<void*, std::string> live;
    int allocations = 0;
    int refuseAllocation = 0;  // 1-based; 0 refuses none
};

constexpr unsigned char kTestHeap = 25;

// Registered once per process and made the SCP heap; counters reset for the caller.
inline RecordingHeapManager& useTestHeap()
{
    static auto* manager = new RecordingHeapManager;  // lives as long as the registry
    static const bool registered = JLIB::SubscribeHeapId(kTestHeap, *manager) == 0;
    (void)registered;
    manager->allocations = 0;
    manager->refuseAllocation = 0;
    SCP::gScpHeapId = kTestHeap;
    return *manager;
}

inline std::string toUtf8(const SCP::ScpString& s)
{
    std::string out;
    for (auto it = s.begin(); it != s.end(); ++it) {
        unsigned char bytes[6];
        uint32_t n = 0;
        if (JLIB::isFailure(it->toUTF8(bytes, sizeof bytes, &n))) return out + "<?>";
        out.append(reinterpret_cast<const char*>(bytes), n);
    }
    return out;
}

inline SCP::ScpString fromUtf8(const std::string& text, uint32_t capacity = 300)
{
    SCP::ScpString s = SCP::makeScpString(capacity);
    uint32_t pos = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    while (pos < text.size()) {
        JLIB::JUnicode c;
        uint32_t used = 0;
        (void)c.fromUTF8(bytes + pos, static_cast<uint32_t>(text.size() - pos), &used);
        if (used == 0) break;
        pos += used;
        (void)s.push_back(c);
    }
    return s;
}

inline std::vector<std::string> entries(SCP::ScpUnicodeStringTable& table)
{
    std::vector<std::string> out;
    for (uint32_t i = 0; i < table.size(); ++i) out.push_back(toUtf8(*table.at(i)));
    return out;
}

// One decode call over the whole text; the result and the consumed count.
inline JLIB::JResult decodeText(SCP::ScpAbstractDecoder& decoder, const std::string& text, uint32_t& consumed)
{
    return decoder.decode(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()),
                          consumed);
}

inline std::string streamText(JLIB::JDataStream<unsigned char>& stream)
{
    return std::string(reinterpret_cast<const char*>(stream.getPointer()), stream.getDataSize());
}

}  // namespace ScpTest
