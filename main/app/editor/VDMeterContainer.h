#pragma once
// The process-wide registry of the meters the editor asked for and of the meter interval. Changed
// on the editor-link thread, read there and on "Sync": every operation takes the registry's lock,
// so any task may call. A plain std::mutex, because the registry outlives the framework's locks
// (it is destroyed at process exit) and is used by tasks the framework did not make.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace VDevice {

// One registration: the request's "id" and one "prmAddr" of its list (database name, "/#", id).
struct MeterInfo {
    std::string meterId;
    std::string componentAddress;
};

class VDMeterContainer {
public:
    static constexpr int32_t kDefaultIntervalMs = 60;
    static constexpr int32_t kMinimumIntervalMs = 60;

    static VDMeterContainer& getInstance();

    virtual ~VDMeterContainer() = default;
    VDMeterContainer(const VDMeterContainer&) = delete;
    VDMeterContainer& operator=(const VDMeterContainer&) = delete;

    // false for an empty id or address; otherwise the key "<id>/<address>" counts one more.
    bool regist(const MeterInfo& info);
    // false for an empty id or address or a key not registered; otherwise one less, the key
    // removed at 0.
    bool unregist(const MeterInfo& info);
    // Removes every key; true.
    bool clear();
    // From each key in key order, the text after its first "/" (keys without one, or with nothing
    // after it, are skipped), each once. The id list keeps only addresses that split into
    // database name and component id, and lists each id once.
    std::vector<uint32_t> componentIDList() const;
    std::vector<std::string> componentAddrList() const;

    int32_t getIntervalTime() const;
    // false below 60 ms (interval unchanged).
    bool setIntervalTime(int32_t milliseconds);

protected:
    VDMeterContainer() = default;  // tests make registries of their own through a derived class

private:
    mutable std::mutex m_lock;
    std::map<std::string, int32_t> m_meters;  // std::string compares by bytes
    int32_t m_interval = kDefaultIntervalMs;
};

}  // namespace VDevice
