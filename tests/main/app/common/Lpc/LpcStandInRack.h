#pragma once
// The stand-in rack library (StandInRack/) for tests of the rack wrapper: a variant copied as
// "libmurremotelib.so" into a fresh working folder, and its test controls found in the copy the
// wrapper has loaded. The callbacks record what arrives, from which thread; the parameter-changed
// one hands unflagged changes to the protocol memory as the rack link thread does.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "FileCache/TempFolder.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcUzProtoMemory.h"

namespace LpcTest {

constexpr const char* kStandInRack = "libmurremotelib.so";
constexpr const char* kStandInRackNullInit = "murremotelib_nullinit.so";
constexpr const char* kStandInRackLifeCycleOnly = "murremotelib_lifecycle.so";

// What the callbacks saw.
struct RackCallbacks {
    std::mutex lock;
    std::vector<std::string> seen;  // "connectError", "serverEvent 1 8", "changed 0 <id> 12"
    std::vector<void*> contexts;
    std::vector<std::thread::id> threads;
    bool forwardChanges = true;

    void record(const std::string& what, void* context)
    {
        std::lock_guard<std::mutex> hold(lock);
        seen.push_back(what);
        contexts.push_back(context);
        threads.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> hold(lock);
        std::vector<std::string> out;
        out.swap(seen);
        contexts.clear();
        threads.clear();
        return out;
    }
};

inline RackCallbacks& rackCallbacks()
{
    static RackCallbacks callbacks;
    return callbacks;
}

inline void onConnectError(void* context) { rackCallbacks().record("connectError", context); }
inline void onServerEvent(bool flag, int32_t type, void* context)
{
    rackCallbacks().record("serverEvent " + std::to_string(flag) + " " + std::to_string(type), context);
}
inline void onPluginParameterChanged(bool flag, const char* moduleId, int32_t paramNo, void* context)
{
    rackCallbacks().record("changed " + std::to_string(flag) + " " + (moduleId ? moduleId : "(null)") + " " +
                               std::to_string(paramNo),
                           context);
    if (!flag && rackCallbacks().forwardChanges) {
        (void)LPC::LpcUzProtoMemory::getInstance().updateMemory(255, moduleId, paramNo);  // answer not needed
    }
}

inline RemoteOperation operationWith(void* context)
{
    return RemoteOperation{context, &onConnectError, &onServerEvent, &onPluginParameterChanged};
}

// The controls of the loaded copy.
struct StandInControls {
    void (*setConnectResult)(bool) = nullptr;
    void (*setRackTitle)(const char*) = nullptr;
    void (*setCurrentPreset)(int32_t) = nullptr;
    void (*setValue)(const char*, int32_t, double) = nullptr;
    bool (*value)(const char*, int32_t, double*) = nullptr;
    void (*fireConnectError)() = nullptr;
    void (*fireServerEvent)(bool, int32_t) = nullptr;
    void (*firePluginParameterChanged)(bool, const char*, int32_t) = nullptr;
    bool (*waitIdle)(int32_t) = nullptr;
    size_t (*readLog)(char*, size_t) = nullptr;
    void (*clearLog)() = nullptr;

    // The log since the last clear.
    std::string log() const
    {
        std::string text(readLog(nullptr, 0) + 1, '\0');
        text.resize(readLog(text.data(), text.size()));
        return text;
    }
    // The lines of the log that start with the word.
    std::vector<std::string> lines(const std::string& word) const
    {
        std::istringstream in(log());
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) {
            if (line == word || line.rfind(word + " ", 0) == 0) out.push_back(line);
        }
        return out;
    }
};

// One "record" line of the stand-in's log: a value the rack was handed.
struct Record {
    std::string guid;
    int32_t paramNo = 0;
    double value = 0.0;
};

// The records of the given "record" lines, in order.
inline std::vector<Record> parseRecords(const std::vector<std::string>& lines)
{
    std::vector<Record> records;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string word;
        Record r;
        in >> word >> r.guid >> r.paramNo >> r.value;
        records.push_back(r);
    }
    return records;
}

// A working folder holding one variant as "libmurremotelib.so" (or nothing), entered for the
// test's lifetime.
class StandInRackFolder {
public:
    explicit StandInRackFolder(const char* variant)
    {
        if (variant) {
            std::filesystem::copy_file(std::string(UZ_STANDIN_RACK_DIR) + "/" + variant,
                                       m_folder.file("libmurremotelib.so"));
        }
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
    }
    ~StandInRackFolder() { std::filesystem::current_path(m_previous); }
    StandInRackFolder(const StandInRackFolder&) = delete;
    StandInRackFolder& operator=(const StandInRackFolder&) = delete;

    const TempFolder& folder() const { return m_folder; }

    // The controls of the copy the wrapper loaded; false when it is not loaded.
    bool controls(StandInControls& c) const
    {
        void* handle = dlopen(m_folder.file("libmurremotelib.so").c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (!handle) return false;
        auto find = [handle](auto& f, const char* name) {
            f = reinterpret_cast<std::decay_t<decltype(f)>>(dlsym(handle, name));
        };
        find(c.setConnectResult, "standinRack_setConnectResult");
        find(c.setRackTitle, "standinRack_setRackTitle");
        find(c.setCurrentPreset, "standinRack_setCurrentPreset");
        find(c.setValue, "standinRack_setValue");
        find(c.value, "standinRack_value");
        find(c.fireConnectError, "standinRack_fireConnectError");
        find(c.fireServerEvent, "standinRack_fireServerEvent");
        find(c.firePluginParameterChanged, "standinRack_firePluginParameterChanged");
        find(c.waitIdle, "standinRack_waitIdle");
        find(c.readLog, "standinRack_readLog");
        find(c.clearLog, "standinRack_clearLog");
        dlclose(handle);  // the wrapper's own handle keeps it loaded
        return c.readLog && c.waitIdle && c.clearLog;
    }

private:
    TempFolder m_folder;
    std::filesystem::path m_previous;
};

}  // namespace LpcTest
