#pragma once
// The single gateway to the plug-in rack server's remote-control library "./libmurremotelib.so":
// loads it, installs the engine's callbacks, keeps the connection flag and the rack's recall
// state, gathers normalised plug-in values into one batch and forwards every other request to the
// library function of the same name, looked up at each call. Process-wide; any task may call
// every operation: the recursive lock "MurRemoteLib" serialises them, library calls included.
// Before the first initialize, after finalize and where the library lacks a function, the
// operations answer as for a missing library.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Lpc/MurRemoteLib.h"
#include "jlib/jlib_result.h"

namespace TMS {
class TMSMutex;
}

namespace LPC {

enum RecallState : uint32_t {
    RECALL_STATE_NONE = 0,       // no rack recall running
    RECALL_STATE_RECALLING = 1,  // a rack recall is running
};

class LpcMurRemote {
public:
    static LpcMurRemote& getInstance();

    LpcMurRemote();
    ~LpcMurRemote();
    LpcMurRemote(const LpcMurRemote&) = delete;
    LpcMurRemote& operator=(const LpcMurRemote&) = delete;

    // Loads the library from the working folder and copies the four members of operation into
    // the library's record. 0; 0x80000000 when already initialised (nothing changes), when the
    // library cannot be loaded or when "libInit" is missing or answers null (the library then
    // stays loaded without callbacks).
    [[nodiscard]] JLIB::JResult initialize(const RemoteOperation& operation);
    // Disconnects, calls "libExit" and unloads the library. The lock stays for late callers, and
    // is not held across "libExit", so a callback still running may take it. 0.
    JLIB::JResult finalize();

    // 0 (also when connected already, without a library call); 0x80000000 when not loaded or
    // when the server cannot be reached.
    [[nodiscard]] JLIB::JResult connect(const char* address);
    // 0 (also when not connected, without a library call); 0x80000000 when not loaded.
    [[nodiscard]] JLIB::JResult disconnect();
    bool isConnected() const;
    bool isRecalling() const;
    // 0.
    JLIB::JResult setRecallState(RecallState state);
    // A copy of the library's title; empty when not loaded or the library gives none.
    std::string getRackTitle() const;

    // The batch: capacity + 1 records, the last one the terminator, nothing pending. The array is
    // kept for later batches.
    void setParametersInitialize(uint64_t capacity);
    // Appends one record (ids and texts cut to 63 characters, a null text empty) and hands the
    // batch over once it holds capacity records. Needs a batch of capacity 1 or more; before
    // any batch was opened the value is dropped.
    void setParameters(const char* moduleId, int32_t paramNo, double value, const char* text);
    // Terminates the batch after the pending records, hands it to "setParameters" (an empty list
    // too) and empties it. Nothing before any batch was opened.
    void setParametersFlush();
    // Records queued since the batch was opened or last handed over.
    uint64_t pendingParameterCount() const;
    // Hands the list (ended by an empty module id) to "setParameters"; nothing when not loaded.
    void setParametersInternal(const _MURSetNormalized* list);

    // Forwarded to the library function of the same name; the value in the comment when the
    // library or the function is missing.
    _MURModuleParam* getModuleList();                                                // null
    void freeModuleList(_MURModuleParam* list);                                      // nothing
    int32_t getModulePluginNumParams(const char* moduleId);                          // 0
    _MURPluginParameterParam* getModulePluginAllParams(const char* moduleId);        // null
    void freeModulePluginAllParams(_MURPluginParameterParam* list);                  // nothing
    _MURPluginParameterValue* getModulePluginAllValue(const char* moduleId);         // null
    void freeModulePluginAllValue(_MURPluginParameterValue* list);                   // nothing
    double getModulePluginParam(const char* moduleId, int32_t paramNo);              // 0.0
    void getModulePluginParamString(const char* moduleId, int32_t paramNo, char* buffer, int32_t size);
    void setModulePluginParamNormalized(const char* moduleId, int32_t paramNo, double value, const char* text);
    void loadPreset(int32_t a, int32_t b);                                           // nothing
    void storePreset(int32_t a, int32_t b, const char* name, const char* comment, int32_t c);
    _MURPresetParam* getPresetList(int32_t a);                                       // null
    void freePresetList(_MURPresetParam* list);                                      // nothing
    char* getPresetComment(int32_t a, int32_t b);                                    // null; the library's text
    void freePresetComment(char* text);                                              // nothing
    int32_t getCurrentPresetNum(int32_t a);                                          // 0
    int32_t getPresetProperty(int32_t a, int32_t b, int32_t* value);                 // -1, also for a null value
    int32_t getStatus(char* buffer);                                                 // -1
    int32_t getPresetPropertyList(int32_t a, _MURPresetPropertyParam** list);        // -1
    void freePresetPropertyList(_MURPresetPropertyParam* list);                      // nothing

private:
    // The lock of this run, or null before the first initialize.
    TMS::TMSMutex* lock() const { return m_pLock.load(std::memory_order_acquire); }
    // The named function of the loaded library, or null. Lock held.
    void* lookUp(const char* name) const;
    template <typename Fn, typename R, typename... Args>
    R call(const char* name, R notLoaded, Args... args) const;
    template <typename Fn, typename... Args>
    void callVoid(const char* name, Args... args) const;

    std::atomic<TMS::TMSMutex*> m_pLock{nullptr};
    // Every lock ever made, never destroyed before the process ends: a callback or meter read
    // that arrives after finalize still finds a live lock.
    std::vector<std::unique_ptr<TMS::TMSMutex>> m_locks;
    void* m_pHandle = nullptr;
    bool m_isInitialized = false;
    bool m_isConnected = false;
    RecallState m_recallState = RECALL_STATE_NONE;
    std::vector<_MURSetNormalized> m_batch;
    uint64_t m_batchCount = 0;
};

}  // namespace LPC
