// A stand-in for the plug-in rack server's remote-control library. It keeps one normalised value
// per (module id, parameter number), logs every call with its arguments (and every record of a
// "setParameters" list), and fires the engine's three callbacks from a thread of its own, queued,
// never inside a call the engine waits on. "libExit" empties the queue and joins the thread.
// Tests drive it through the exported standinRack_* controls; a running engine through text
// commands on the UDP port in UZ_RACK_STANDIN_PORT (127.0.0.1), one per datagram:
//   connectError | serverEvent <flag> <type> | changed <flag> <module id> <number>
//   value <module id> <number> <normalised> | title <text> | preset <number> | connect <0|1>
// UZ_RACK_STANDIN_LOG names a file that receives every log line as well (both read by libInit).
// Compile definitions break one thing each:
//   STANDIN_RACK_INIT_FAILS      "libInit" answers null
//   STANDIN_RACK_LIFECYCLE_ONLY  only "libInit" and "libExit" of the engine's functions are exported
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "common/Lpc/MurRemoteLib.h"

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#ifdef STANDIN_RACK_LIFECYCLE_ONLY
#define RACK_EXPORT extern "C"
#else
#define RACK_EXPORT STANDIN_EXPORT
#endif

// The opaque lists, in a layout of this library's own.
struct _MURModuleParam {
    int32_t count;
};
struct _MURPluginParameterParam {
    int32_t count;
};
struct _MURPluginParameterValue {
    int32_t count;
};
struct _MURPresetParam {
    int32_t count;
};
struct _MURPresetPropertyParam {
    int32_t count;
};

namespace {

struct Firing {
    enum Kind { kConnectError, kServerEvent, kChanged } kind;
    bool flag;
    int32_t number;  // event type or parameter number
    std::string moduleId;
    bool isNullId = false;
};

struct Rack {
    std::mutex lock;
    std::condition_variable changed;
    std::map<std::pair<std::string, int32_t>, double> values;
    bool connectResult = true;
    bool connected = false;
    bool hasTitle = true;
    std::string title = "Rack i64X";
    int32_t preset = 0;
    std::string log;
    std::deque<Firing> queue;
    bool delivering = false;
    bool stopping = false;
    std::thread deliverer;
    std::thread listener;
    int socket = -1;
    std::atomic<bool> listening{false};
    std::string logPath;  // taken from the environment by libInit
};

Rack& rack()
{
    static Rack instance;  // libExit has joined its threads before the library is unloaded
    return instance;
}

RemoteOperation g_operation{};

// Lock held.
void logLine(Rack& r, const std::string& line)
{
    r.log += line;
    r.log += '\n';
    if (r.logPath.empty()) return;
    if (std::FILE* file = std::fopen(r.logPath.c_str(), "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

void logCall(const std::string& line)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, line);
}

std::string text(const char* s) { return s ? s : "(null)"; }

void enqueue(Firing firing)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    r.queue.push_back(std::move(firing));
    r.changed.notify_all();
}

void deliver(const Firing& f)
{
    switch (f.kind) {
    case Firing::kConnectError:
        if (g_operation.connectError) g_operation.connectError(g_operation.context);
        break;
    case Firing::kServerEvent:
        if (g_operation.serverEvent) g_operation.serverEvent(f.flag, f.number, g_operation.context);
        break;
    case Firing::kChanged:
        if (g_operation.pluginParameterChanged) {
            g_operation.pluginParameterChanged(f.flag, f.isNullId ? nullptr : f.moduleId.c_str(), f.number,
                                               g_operation.context);
        }
        break;
    }
}

[[maybe_unused]] void deliverLoop()
{
    Rack& r = rack();
    std::unique_lock<std::mutex> hold(r.lock);
    for (;;) {
        r.changed.wait(hold, [&] { return r.stopping || !r.queue.empty(); });
        if (r.queue.empty()) return;  // stopping with nothing left
        Firing f = std::move(r.queue.front());
        r.queue.pop_front();
        r.delivering = true;
        hold.unlock();
        deliver(f);
        hold.lock();
        r.delivering = false;
        r.changed.notify_all();
    }
}

// One text command from the UDP port.
void command(const std::string& line)
{
    std::istringstream in(line);
    std::string word;
    in >> word;
    Rack& r = rack();
    if (word == "connectError") {
        enqueue({Firing::kConnectError, false, 0, {}});
    } else if (word == "serverEvent") {
        int flag = 0;
        int32_t type = 0;
        if (in >> flag >> type) enqueue({Firing::kServerEvent, flag != 0, type, {}});
    } else if (word == "changed") {
        int flag = 0;
        std::string id;
        int32_t number = 0;
        if (in >> flag >> id >> number) enqueue({Firing::kChanged, flag != 0, number, id});
    } else if (word == "value") {
        std::string id;
        int32_t number = 0;
        double value = 0.0;
        if (in >> id >> number >> value) {
            std::lock_guard<std::mutex> hold(r.lock);
            r.values[{id, number}] = value;
        }
    } else if (word == "title") {
        std::string title;
        std::getline(in >> std::ws, title);
        std::lock_guard<std::mutex> hold(r.lock);
        r.title = title;
        r.hasTitle = true;
    } else if (word == "preset") {
        int32_t preset = 0;
        if (in >> preset) {
            std::lock_guard<std::mutex> hold(r.lock);
            r.preset = preset;
        }
    } else if (word == "connect") {
        int result = 1;
        if (in >> result) {
            std::lock_guard<std::mutex> hold(r.lock);
            r.connectResult = result != 0;
        }
    }
}

void listenLoop(int socket)
{
    Rack& r = rack();
    char buffer[512];
    while (r.listening.load()) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;  // the timeout lets libExit end the loop
        const ssize_t n = ::recv(socket, buffer, sizeof(buffer) - 1, 0);
        if (n <= 0) continue;
        std::string line(buffer, static_cast<size_t>(n));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        command(line);
    }
}

[[maybe_unused]] void startListener(Rack& r)
{
    const char* port = std::getenv("UZ_RACK_STANDIN_PORT");
    if (!port || !*port) return;
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(s);
        return;
    }
    r.socket = s;
    r.listening.store(true);
    r.listener = std::thread(listenLoop, s);
}

}  // namespace

// The engine's functions.

STANDIN_EXPORT RemoteOperation* libInit()
{
    {
        Rack& r = rack();
        std::lock_guard<std::mutex> hold(r.lock);
        const char* path = std::getenv("UZ_RACK_STANDIN_LOG");
        r.logPath = path ? path : "";
        logLine(r, "libInit");
    }
#ifdef STANDIN_RACK_INIT_FAILS
    return nullptr;
#else
    Rack& r = rack();
    {
        std::lock_guard<std::mutex> hold(r.lock);
        r.stopping = false;
        if (!r.deliverer.joinable()) r.deliverer = std::thread(deliverLoop);
    }
    if (!r.listener.joinable()) startListener(r);
    g_operation = RemoteOperation{};
    return &g_operation;
#endif
}

STANDIN_EXPORT void libExit()
{
    Rack& r = rack();
    {
        std::lock_guard<std::mutex> hold(r.lock);
        logLine(r, "libExit");
        r.stopping = true;
        r.changed.notify_all();
    }
    if (r.deliverer.joinable()) r.deliverer.join();
    r.listening.store(false);
    if (r.listener.joinable()) r.listener.join();
    if (r.socket >= 0) ::close(r.socket);
    r.socket = -1;
    std::lock_guard<std::mutex> hold(r.lock);
    r.queue.clear();  // nothing may arrive after libExit
    r.connected = false;
}

RACK_EXPORT bool connectServer(const char* address)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "connectServer " + text(address));
    r.connected = r.connectResult;
    return r.connected;
}

RACK_EXPORT void disconnectServer()
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "disconnectServer");
    r.connected = false;
}

RACK_EXPORT void setParameters(const _MURSetNormalized* list)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    size_t count = 0;
    while (list && list[count].moduleId[0] != '\0') ++count;
    logLine(r, "setParameters " + std::to_string(count));
    for (size_t i = 0; i < count; ++i) {
        const _MURSetNormalized& record = list[i];
        char line[256];
        std::snprintf(line, sizeof(line), "record %.64s %d %.17g [%.64s] %u %u", record.moduleId, record.paramNo,
                      record.value, record.text, record.reserved1, record.reserved2);
        logLine(r, line);
        r.values[{std::string(record.moduleId, strnlen(record.moduleId, sizeof(record.moduleId))), record.paramNo}] =
            record.value;
    }
}

RACK_EXPORT const char* getRackTitle()
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "getRackTitle");
    return r.hasTitle ? r.title.c_str() : nullptr;
}

RACK_EXPORT int32_t getCurrentPresetNum(int32_t a)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "getCurrentPresetNum " + std::to_string(a));
    return r.preset;
}

RACK_EXPORT double getModulePluginParam(const char* moduleId, int32_t paramNo)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "getModulePluginParam " + text(moduleId) + " " + std::to_string(paramNo));
    const auto found = r.values.find({text(moduleId), paramNo});
    return found == r.values.end() ? 0.0 : found->second;
}

// The spares: the engine does not call them; they answer plausibly and log.

RACK_EXPORT _MURModuleParam* getModuleList()
{
    logCall("getModuleList");
    return new _MURModuleParam{0};
}

RACK_EXPORT void freeModuleList(_MURModuleParam* list)
{
    logCall("freeModuleList");
    delete list;
}

RACK_EXPORT int32_t getModulePluginNumParams(const char* moduleId)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "getModulePluginNumParams " + text(moduleId));
    int32_t count = 0;
    for (const auto& entry : r.values) count += entry.first.first == text(moduleId) ? 1 : 0;
    return count;
}

RACK_EXPORT _MURPluginParameterParam* getModulePluginAllParams(const char* moduleId)
{
    logCall("getModulePluginAllParams " + text(moduleId));
    return new _MURPluginParameterParam{0};
}

RACK_EXPORT void freeModulePluginAllParams(_MURPluginParameterParam* list)
{
    logCall("freeModulePluginAllParams");
    delete list;
}

RACK_EXPORT _MURPluginParameterValue* getModulePluginAllValue(const char* moduleId)
{
    logCall("getModulePluginAllValue " + text(moduleId));
    return new _MURPluginParameterValue{0};
}

RACK_EXPORT void freeModulePluginAllValue(_MURPluginParameterValue* list)
{
    logCall("freeModulePluginAllValue");
    delete list;
}

RACK_EXPORT void getModulePluginParamString(const char* moduleId, int32_t paramNo, char* buffer, int32_t size)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "getModulePluginParamString " + text(moduleId) + " " + std::to_string(paramNo));
    if (!buffer || size <= 0) return;
    const auto found = r.values.find({text(moduleId), paramNo});
    std::snprintf(buffer, static_cast<size_t>(size), "%g", found == r.values.end() ? 0.0 : found->second);
}

RACK_EXPORT void setModulePluginParamNormalized(const char* moduleId, int32_t paramNo, double value, const char* t)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "setModulePluginParamNormalized " + text(moduleId) + " " + std::to_string(paramNo) + " " + text(t));
    r.values[{text(moduleId), paramNo}] = value;
}

RACK_EXPORT void loadPreset(int32_t a, int32_t b)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "loadPreset " + std::to_string(a) + " " + std::to_string(b));
    r.preset = b;
}

RACK_EXPORT void storePreset(int32_t a, int32_t b, const char* name, const char* comment, int32_t c)
{
    logCall("storePreset " + std::to_string(a) + " " + std::to_string(b) + " " + text(name) + " " + text(comment) +
            " " + std::to_string(c));
}

RACK_EXPORT _MURPresetParam* getPresetList(int32_t a)
{
    logCall("getPresetList " + std::to_string(a));
    return new _MURPresetParam{0};
}

RACK_EXPORT void freePresetList(_MURPresetParam* list)
{
    logCall("freePresetList");
    delete list;
}

RACK_EXPORT char* getPresetComment(int32_t a, int32_t b)
{
    logCall("getPresetComment " + std::to_string(a) + " " + std::to_string(b));
    return strdup("");
}

RACK_EXPORT void freePresetComment(char* t)
{
    logCall("freePresetComment");
    std::free(t);
}

RACK_EXPORT int32_t getPresetProperty(int32_t a, int32_t b, int32_t* value)
{
    logCall("getPresetProperty " + std::to_string(a) + " " + std::to_string(b));
    if (value) *value = 0;
    return 0;
}

RACK_EXPORT int32_t getStatus(char* buffer)
{
    Rack& r = rack();
    std::lock_guard<std::mutex> hold(r.lock);
    logLine(r, "getStatus");
    if (buffer) std::strcpy(buffer, r.connected ? "connected" : "idle");
    return r.connected ? 0 : 1;
}

RACK_EXPORT int32_t getPresetPropertyList(int32_t a, _MURPresetPropertyParam** list)
{
    logCall("getPresetPropertyList " + std::to_string(a));
    if (list) *list = new _MURPresetPropertyParam{0};
    return 0;
}

RACK_EXPORT void freePresetPropertyList(_MURPresetPropertyParam* list)
{
    logCall("freePresetPropertyList");
    delete list;
}

// The test controls.

STANDIN_EXPORT void standinRack_setConnectResult(bool result)
{
    std::lock_guard<std::mutex> hold(rack().lock);
    rack().connectResult = result;
}

// Null: the library gives no title.
STANDIN_EXPORT void standinRack_setRackTitle(const char* title)
{
    std::lock_guard<std::mutex> hold(rack().lock);
    rack().hasTitle = title != nullptr;
    rack().title = title ? title : "";
}

STANDIN_EXPORT void standinRack_setCurrentPreset(int32_t preset)
{
    std::lock_guard<std::mutex> hold(rack().lock);
    rack().preset = preset;
}

STANDIN_EXPORT void standinRack_setValue(const char* moduleId, int32_t paramNo, double value)
{
    std::lock_guard<std::mutex> hold(rack().lock);
    rack().values[{text(moduleId), paramNo}] = value;
}

// The stored value; false when none is stored.
STANDIN_EXPORT bool standinRack_value(const char* moduleId, int32_t paramNo, double* value)
{
    std::lock_guard<std::mutex> hold(rack().lock);
    const auto found = rack().values.find({text(moduleId), paramNo});
    if (found == rack().values.end()) return false;
    if (value) *value = found->second;
    return true;
}

STANDIN_EXPORT void standinRack_fireConnectError() { enqueue({Firing::kConnectError, false, 0, {}}); }

STANDIN_EXPORT void standinRack_fireServerEvent(bool flag, int32_t type)
{
    enqueue({Firing::kServerEvent, flag, type, {}});
}

// A null module id is handed to the engine as null.
STANDIN_EXPORT void standinRack_firePluginParameterChanged(bool flag, const char* moduleId, int32_t paramNo)
{
    enqueue({Firing::kChanged, flag, paramNo, moduleId ? moduleId : "", moduleId == nullptr});
}

// True once every queued callback has returned; false at the deadline.
STANDIN_EXPORT bool standinRack_waitIdle(int32_t timeoutMs)
{
    Rack& r = rack();
    std::unique_lock<std::mutex> hold(r.lock);
    return r.changed.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                              [&] { return r.queue.empty() && !r.delivering; });
}

// Copies the log (cut to size - 1 characters, terminated) and answers its full length.
STANDIN_EXPORT size_t standinRack_readLog(char* buffer, size_t size)
{
    std::lock_guard<std::mutex> hold(rack().lock);
    const std::string& log = rack().log;
    if (buffer && size != 0) {
        const size_t n = log.size() < size - 1 ? log.size() : size - 1;
        std::memcpy(buffer, log.data(), n);
        buffer[n] = '\0';
    }
    return log.size();
}

STANDIN_EXPORT void standinRack_clearLog()
{
    std::lock_guard<std::mutex> hold(rack().lock);
    rack().log.clear();
}
