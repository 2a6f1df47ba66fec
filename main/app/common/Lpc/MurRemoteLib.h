#pragma once
// The plug-in rack server's remote-control library as the engine sees it: the record through
// which it calls the engine back, the record of one normalised plug-in value, the opaque lists it
// hands out and the type of every function the engine looks up by name. Plain C layout, shared by
// the wrapper (LpcMurRemote.h) and any library built to stand in for the real one.
#include <cstddef>
#include <cstdint>

extern "C" {

// Written by the engine into the record "libInit" returns; the library calls back on any thread
// and passes context back as the last argument.
struct RemoteOperation {
    void* context;
    void (*connectError)(void* context);
    void (*serverEvent)(bool flag, int32_t eventType, void* context);
    void (*pluginParameterChanged)(bool flag, const char* moduleId, int32_t paramNo, void* context);
};

// One normalised plug-in value of a "setParameters" list; a record with an empty module id ends
// the list. Host byte order, natural alignment.
struct _MURSetNormalized {
    uint32_t reserved1;  // always 0
    char moduleId[64];
    uint32_t reserved2;  // always 0
    int32_t paramNo;
    double value;
    char text[64];
};

// Lists the library owns; the engine only hands them back to the matching free function.
struct _MURModuleParam;
struct _MURPluginParameterParam;
struct _MURPluginParameterValue;
struct _MURPresetParam;
struct _MURPresetPropertyParam;

}  // extern "C"

static_assert(sizeof(_MURSetNormalized) == 152, "the library reads 152-byte records");
static_assert(offsetof(_MURSetNormalized, moduleId) == 4);
static_assert(offsetof(_MURSetNormalized, paramNo) == 72);
static_assert(offsetof(_MURSetNormalized, value) == 80);
static_assert(offsetof(_MURSetNormalized, text) == 88);

// The exported functions, by the name the engine looks up.
namespace MurRemoteLib {
using libInit = RemoteOperation* (*)();
using libExit = void (*)();
using connectServer = bool (*)(const char* address);
using disconnectServer = void (*)();
using setParameters = void (*)(const _MURSetNormalized* list);
using getRackTitle = const char* (*)();
using getModuleList = _MURModuleParam* (*)();
using freeModuleList = void (*)(_MURModuleParam* list);
using getModulePluginNumParams = int32_t (*)(const char* moduleId);
using getModulePluginAllParams = _MURPluginParameterParam* (*)(const char* moduleId);
using freeModulePluginAllParams = void (*)(_MURPluginParameterParam* list);
using getModulePluginAllValue = _MURPluginParameterValue* (*)(const char* moduleId);
using freeModulePluginAllValue = void (*)(_MURPluginParameterValue* list);
using getModulePluginParam = double (*)(const char* moduleId, int32_t paramNo);
using getModulePluginParamString = void (*)(const char* moduleId, int32_t paramNo, char* buffer, int32_t size);
using setModulePluginParamNormalized = void (*)(const char* moduleId, int32_t paramNo, double value,
                                                const char* text);
using loadPreset = void (*)(int32_t a, int32_t b);
using storePreset = void (*)(int32_t a, int32_t b, const char* name, const char* comment, int32_t c);
using getPresetList = _MURPresetParam* (*)(int32_t a);
using freePresetList = void (*)(_MURPresetParam* list);
using getPresetComment = char* (*)(int32_t a, int32_t b);
using freePresetComment = void (*)(char* text);
using getCurrentPresetNum = int32_t (*)(int32_t a);
using getPresetProperty = int32_t (*)(int32_t a, int32_t b, int32_t* value);
using getStatus = int32_t (*)(char* buffer);
using getPresetPropertyList = int32_t (*)(int32_t a, _MURPresetPropertyParam** list);
using freePresetPropertyList = void (*)(_MURPresetPropertyParam* list);
}  // namespace MurRemoteLib
