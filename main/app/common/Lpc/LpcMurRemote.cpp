#include "common/Lpc/LpcMurRemote.h"

#include <cstring>
#include <new>

#include "TMS/TMSMutex.h"
#include "jlib/jlib_cfg.h"
#include "ossupport/ossup_DLL.h"

namespace LPC {

namespace {

constexpr const char* kLockName = "MurRemoteLib";
constexpr const char* kLibraryPath = "./libmurremotelib.so";

// Copies what fits a record field and always terminates it; the bytes after the NUL keep what
// an earlier batch left there.
void copyField(char (&field)[64], const char* text)
{
    const size_t length = text ? strnlen(text, sizeof(field) - 1) : 0;
    if (length != 0) std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace

LpcMurRemote& LpcMurRemote::getInstance()
{
    static LpcMurRemote instance;
    return instance;
}

LpcMurRemote::LpcMurRemote() = default;

LpcMurRemote::~LpcMurRemote() = default;

void* LpcMurRemote::lookUp(const char* name) const
{
    if (!m_pHandle) return nullptr;
    void* function = nullptr;
    (void)ossup_GetDLLFunction(&function, m_pHandle, name);  // a missing function leaves it null
    return function;
}

template <typename Fn, typename R, typename... Args>
R LpcMurRemote::call(const char* name, R notLoaded, Args... args) const
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return notLoaded;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    void* const function = lookUp(name);
    if (!function) return notLoaded;
    return reinterpret_cast<Fn>(function)(args...);
}

template <typename Fn, typename... Args>
void LpcMurRemote::callVoid(const char* name, Args... args) const
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    void* const function = lookUp(name);
    if (function) reinterpret_cast<Fn>(function)(args...);
}

JLIB::JResult LpcMurRemote::initialize(const RemoteOperation& operation)
{
    if (m_isInitialized) return JLIB::kFailed;
    // A fresh lock per run: one made under an earlier run of the OS wrapper may name a
    // semaphore that no longer exists. Earlier ones stay alive for late callers.
    auto made = std::unique_ptr<TMS::TMSMutex>(new (std::nothrow) TMS::TMSMutex(kLockName));
    if (!made || !made->isValid()) return JLIB::kFailed;
    TMS::TMSMutex* const mutex = made.get();
    m_locks.push_back(std::move(made));
    m_pLock.store(mutex, std::memory_order_release);
    TMS::TMSMutexAutoReleaser hold(*mutex);
    m_isInitialized = true;

    void* handle = nullptr;
    if (JLIB::isFailure(ossup_DLLOpen(&handle, nullptr, 0, kLibraryPath))) return JLIB::kFailed;
    m_pHandle = handle;
    auto* const init = reinterpret_cast<MurRemoteLib::libInit>(lookUp("libInit"));
    RemoteOperation* const record = init ? init() : nullptr;
    if (!record) return JLIB::kFailed;
    record->context = operation.context;
    record->connectError = operation.connectError;
    record->serverEvent = operation.serverEvent;
    record->pluginParameterChanged = operation.pluginParameterChanged;
    return JLIB::kOk;
}

JLIB::JResult LpcMurRemote::finalize()
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return JLIB::kOk;
    void* handle = nullptr;
    {
        TMS::TMSMutexAutoReleaser hold(*mutex);
        (void)disconnect();  // fails only without a library, which is then not unloaded either
        handle = m_pHandle;
        m_pHandle = nullptr;  // from here on every call answers as not loaded
    }
    // "libExit" waits for callbacks in flight, and those may wait for the lock: call it without.
    if (handle) {
        void* exit = nullptr;
        if (JLIB::isSuccess(ossup_GetDLLFunction(&exit, handle, "libExit"))) {
            reinterpret_cast<MurRemoteLib::libExit>(exit)();
        }
        (void)ossup_DLLClose(handle);  // the handle is given up either way
    }
    TMS::TMSMutexAutoReleaser hold(*mutex);
    m_isInitialized = false;
    return JLIB::kOk;
}

JLIB::JResult LpcMurRemote::connect(const char* address)
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    if (m_isConnected) return JLIB::kOk;
    const auto connectServer = reinterpret_cast<MurRemoteLib::connectServer>(lookUp("connectServer"));
    if (!connectServer || !connectServer(address)) return JLIB::kFailed;
    m_isConnected = true;
    return JLIB::kOk;
}

JLIB::JResult LpcMurRemote::disconnect()
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return JLIB::kOk;  // never connected
    TMS::TMSMutexAutoReleaser hold(*mutex);
    if (!m_isConnected) return JLIB::kOk;
    if (!m_pHandle) return JLIB::kFailed;
    const auto disconnectServer = reinterpret_cast<MurRemoteLib::disconnectServer>(lookUp("disconnectServer"));
    if (disconnectServer) disconnectServer();
    m_isConnected = false;
    return JLIB::kOk;
}

bool LpcMurRemote::isConnected() const
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return false;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    return m_isConnected;
}

bool LpcMurRemote::isRecalling() const
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return false;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    return m_recallState == RECALL_STATE_RECALLING;
}

JLIB::JResult LpcMurRemote::setRecallState(RecallState state)
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return JLIB::kOk;  // nothing to recall without a rack
    TMS::TMSMutexAutoReleaser hold(*mutex);
    m_recallState = state;
    return JLIB::kOk;
}

std::string LpcMurRemote::getRackTitle() const
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return std::string();
    TMS::TMSMutexAutoReleaser hold(*mutex);
    const auto title = reinterpret_cast<MurRemoteLib::getRackTitle>(lookUp("getRackTitle"));
    const char* const text = title ? title() : nullptr;
    return text ? std::string(text) : std::string();
}

void LpcMurRemote::setParametersInitialize(uint64_t capacity)
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    m_batch.resize(capacity + 1);
    m_batch[capacity].moduleId[0] = '\0';
    m_batchCount = 0;
}

void LpcMurRemote::setParameters(const char* moduleId, int32_t paramNo, double value, const char* text)
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    if (m_batch.empty()) return;  // no batch opened: nothing can be sent either
    JLIB_ASSERT(m_batchCount + 1 < m_batch.size());  // the batch flushes itself when full
    _MURSetNormalized& record = m_batch[m_batchCount];
    record.reserved1 = 0;
    copyField(record.moduleId, moduleId);
    record.reserved2 = 0;
    record.paramNo = paramNo;
    record.value = value;
    copyField(record.text, text);
    ++m_batchCount;
    if (m_batch.size() == m_batchCount + 1) setParametersFlush();
}

void LpcMurRemote::setParametersFlush()
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    // A walk flushes even when the protocol memory could not open its batch.
    if (m_batch.empty()) return;
    m_batch[m_batchCount].moduleId[0] = '\0';
    setParametersInternal(m_batch.data());
    m_batchCount = 0;
}

uint64_t LpcMurRemote::pendingParameterCount() const
{
    TMS::TMSMutex* const mutex = lock();
    if (!mutex) return 0;
    TMS::TMSMutexAutoReleaser hold(*mutex);
    return m_batchCount;
}

void LpcMurRemote::setParametersInternal(const _MURSetNormalized* list)
{
    callVoid<MurRemoteLib::setParameters>("setParameters", list);
}

_MURModuleParam* LpcMurRemote::getModuleList()
{
    return call<MurRemoteLib::getModuleList>("getModuleList", static_cast<_MURModuleParam*>(nullptr));
}

void LpcMurRemote::freeModuleList(_MURModuleParam* list)
{
    callVoid<MurRemoteLib::freeModuleList>("freeModuleList", list);
}

int32_t LpcMurRemote::getModulePluginNumParams(const char* moduleId)
{
    return call<MurRemoteLib::getModulePluginNumParams>("getModulePluginNumParams", int32_t{0}, moduleId);
}

_MURPluginParameterParam* LpcMurRemote::getModulePluginAllParams(const char* moduleId)
{
    return call<MurRemoteLib::getModulePluginAllParams>("getModulePluginAllParams",
                                                        static_cast<_MURPluginParameterParam*>(nullptr), moduleId);
}

void LpcMurRemote::freeModulePluginAllParams(_MURPluginParameterParam* list)
{
    callVoid<MurRemoteLib::freeModulePluginAllParams>("freeModulePluginAllParams", list);
}

_MURPluginParameterValue* LpcMurRemote::getModulePluginAllValue(const char* moduleId)
{
    return call<MurRemoteLib::getModulePluginAllValue>("getModulePluginAllValue",
                                                       static_cast<_MURPluginParameterValue*>(nullptr), moduleId);
}

void LpcMurRemote::freeModulePluginAllValue(_MURPluginParameterValue* list)
{
    callVoid<MurRemoteLib::freeModulePluginAllValue>("freeModulePluginAllValue", list);
}

double LpcMurRemote::getModulePluginParam(const char* moduleId, int32_t paramNo)
{
    return call<MurRemoteLib::getModulePluginParam>("getModulePluginParam", 0.0, moduleId, paramNo);
}

void LpcMurRemote::getModulePluginParamString(const char* moduleId, int32_t paramNo, char* buffer, int32_t size)
{
    callVoid<MurRemoteLib::getModulePluginParamString>("getModulePluginParamString", moduleId, paramNo, buffer, size);
}

void LpcMurRemote::setModulePluginParamNormalized(const char* moduleId, int32_t paramNo, double value,
                                                  const char* text)
{
    callVoid<MurRemoteLib::setModulePluginParamNormalized>("setModulePluginParamNormalized", moduleId, paramNo, value,
                                                           text);
}

void LpcMurRemote::loadPreset(int32_t a, int32_t b) { callVoid<MurRemoteLib::loadPreset>("loadPreset", a, b); }

void LpcMurRemote::storePreset(int32_t a, int32_t b, const char* name, const char* comment, int32_t c)
{
    callVoid<MurRemoteLib::storePreset>("storePreset", a, b, name, comment, c);
}

_MURPresetParam* LpcMurRemote::getPresetList(int32_t a)
{
    return call<MurRemoteLib::getPresetList>("getPresetList", static_cast<_MURPresetParam*>(nullptr), a);
}

void LpcMurRemote::freePresetList(_MURPresetParam* list)
{
    callVoid<MurRemoteLib::freePresetList>("freePresetList", list);
}

char* LpcMurRemote::getPresetComment(int32_t a, int32_t b)
{
    return call<MurRemoteLib::getPresetComment>("getPresetComment", static_cast<char*>(nullptr), a, b);
}

void LpcMurRemote::freePresetComment(char* text)
{
    callVoid<MurRemoteLib::freePresetComment>("freePresetComment", text);
}

int32_t LpcMurRemote::getCurrentPresetNum(int32_t a)
{
    return call<MurRemoteLib::getCurrentPresetNum>("getCurrentPresetNum", int32_t{0}, a);
}

int32_t LpcMurRemote::getPresetProperty(int32_t a, int32_t b, int32_t* value)
{
    if (!value) return -1;
    return call<MurRemoteLib::getPresetProperty>("getPresetProperty", int32_t{-1}, a, b, value);
}

int32_t LpcMurRemote::getStatus(char* buffer)
{
    return call<MurRemoteLib::getStatus>("getStatus", int32_t{-1}, buffer);
}

int32_t LpcMurRemote::getPresetPropertyList(int32_t a, _MURPresetPropertyParam** list)
{
    return call<MurRemoteLib::getPresetPropertyList>("getPresetPropertyList", int32_t{-1}, a, list);
}

void LpcMurRemote::freePresetPropertyList(_MURPresetPropertyParam* list)
{
    callVoid<MurRemoteLib::freePresetPropertyList>("freePresetPropertyList", list);
}

}  // namespace LPC
