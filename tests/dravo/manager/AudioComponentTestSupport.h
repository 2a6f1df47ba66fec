#pragma once
// What the audio component and registry tests share: a component folder filled with the stand-in
// libraries the build made, the real neighbours a component needs (database 10 "AudioCompo", the
// logic network, the configuration store), a player strategy that records what reaches it in
// place of the DSP engine thread, and a coefficient object that records its calls.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "dravo/common/dravo_CalcCoefFunctionBase.h"
#include "dravo/common/dravo_IComponentDescription.h"
#include "dravo/manager/dravo_AudioComponentDLLRepository.h"
#include "dravo/manager/dravo_AudioConfigDB.h"
#include "dravo/manager/dravo_IPlayerCommunicationStrategy.h"
#include "jlib/JHeap.h"
#include "parray/ArrayInfo.h"

namespace dravotest {

namespace fs = std::filesystem;

// Address indexes of the stand-in's definition.
enum StandInAddress : uint32_t { kGain, kGainPercent, kLabel };

constexpr uint32_t kFsHz = 48000;
constexpr uint32_t kSamplesPerFrame = 64;

// Records every call in order as one line of text; the bytes of each coefficient array sent are
// kept beside. Called by the DSP thread, read by the test's thread.
class RecordingStrategy : public DRAVO::IPlayerCommunicationStrategy {
public:
    uint32_t sendStart(uint32_t sendType) override { return record("start " + std::to_string(sendType)); }
    uint32_t sendCoef(uint32_t uniqID, uint32_t arrayID, uint32_t offset, const void* bytes, uint32_t size) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back("coef " + std::to_string(uniqID) + " " + std::to_string(arrayID) + " " +
                          std::to_string(offset) + " " + std::to_string(size));
        const auto* first = static_cast<const uint8_t*>(bytes);
        m_coefs.emplace_back(first, first + (bytes ? size : 0));
        return 0;
    }
    uint32_t sendEnd() override { return record("end"); }
    uint32_t sendAddComponentCommand(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                     uint32_t numY) override
    {
        return record("add " + std::string(name) + " " + std::to_string(majorVersion) + " " +
                      std::to_string(uniqID) + " " + std::to_string(numX) + " " + std::to_string(numY));
    }

    std::vector<std::string> calls() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    // The floats of the n-th array sent.
    std::vector<float> floats(size_t n) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<float> values(n < m_coefs.size() ? m_coefs[n].size() / sizeof(float) : 0);
        if (!values.empty()) std::memcpy(values.data(), m_coefs[n].data(), values.size() * sizeof(float));
        return values;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.clear();
        m_coefs.clear();
    }

private:
    uint32_t record(std::string call)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(std::move(call));
        return 0;
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::vector<std::vector<uint8_t>> m_coefs;
};

// Four coefficient arrays of two floats and no meters.
class RecordingDescription : public DRAVO::IComponentDescription {
public:
    uint32_t getRequiredSystemVersion() const override { return 1; }
    const char* getComponentName() const override { return "StandIn"; }
    uint32_t getComponentMajorVersion() const override { return 1; }
    uint32_t getComponentMinorVersion() const override { return 0; }
    uint32_t getComponentRevision() const override { return 0; }
    uint32_t getMinX() const override { return 1; }
    uint32_t getMinY() const override { return 1; }
    uint32_t getMaxX() const override { return 8; }
    uint32_t getMaxY() const override { return 1; }
    bool isNumXYValid(uint32_t, uint32_t) const override { return true; }
    uint32_t getCoefArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const override
    {
        static const PARRAY::ArrayInfo kTable[] = {{PARRAY::kTypeFLOAT, 2, 0, 0, "a"},
                                                   {PARRAY::kTypeFLOAT, 2, 0, 0, "b"},
                                                   {PARRAY::kTypeFLOAT, 2, 0, 0, "c"},
                                                   {PARRAY::kTypeFLOAT, 2, 0, 0, "d"}};
        table = kTable;
        count = 4;
        return 0;
    }
    uint32_t getMeterArrayInfoTable(const PARRAY::ArrayInfo*& table, uint32_t& count) const override
    {
        table = nullptr;
        count = 0;
        return 0;
    }
    uint32_t calcNumInPort(uint32_t, uint32_t, uint32_t) const override { return 0; }
    uint32_t calcNumOutPort(uint32_t, uint32_t, uint32_t) const override { return 0; }
    uint32_t calcNumInPortForAudioProcess(uint32_t, uint32_t, uint32_t) const override { return 0; }
    uint32_t calcNumOutPortForAudioProcess(uint32_t, uint32_t, uint32_t) const override { return 0; }
    uint32_t calcFixedInPortName(uint32_t, uint32_t, uint32_t, uint32_t, char*, uint32_t) const override { return 0; }
    uint32_t calcFixedOutPortName(uint32_t, uint32_t, uint32_t, uint32_t, char*, uint32_t) const override
    {
        return 0;
    }
    uint32_t calcResourceUsage(uint32_t, uint32_t, uint32_t, const char*, uint32_t, uint32_t,
                               const char*) const override
    {
        return 0;
    }
};

// A coefficient object that writes its calls into log; made by recordingCoefFactory.
class RecordingCoef : public DRAVO::CalcCoefFunctionBase {
public:
    static inline std::vector<std::string>* log = nullptr;
    static inline uint32_t interval = 0xFFFFFFFFu;

    const DRAVO::IComponentDescription* getComponentDescription() override
    {
        static const RecordingDescription description;
        return &description;
    }
    uint32_t getCalcInterval() override
    {
        (void)note("getCalcInterval");
        return interval;
    }
    uint32_t onInitialize() override
    {
        const ComponentSetup& s = componentSetup();
        return note("initialize " + std::to_string(s.uniqID) + " " + std::to_string(s.numX) + " " +
                    std::to_string(s.numY) + " dsp " + std::to_string(s.dspType) + " sample " +
                    std::to_string(s.sampleType) + " frame " + std::to_string(s.numSamplePerFrame) + " fs " +
                    std::to_string(s.fsHz));
    }
    uint32_t onChangeFsHz() override { return note("changeFsHz " + std::to_string(getFsHz())); }
    uint32_t onParamChange(uint32_t ai, uint32_t x, uint32_t y) override
    {
        (void)note("onParamChange " + std::to_string(ai) + " " + std::to_string(x) + " " + std::to_string(y));
        return 0x40;  // an answer of its own, to see it passed back
    }
    uint32_t onStartUse() override { return note("onStartUse"); }
    uint32_t onTimer(uint32_t timeMs, bool first) override
    {
        return note("onTimer " + std::to_string(timeMs) + (first ? " first" : ""));
    }

private:
    static uint32_t note(const std::string& line)
    {
        if (log) log->push_back(line);
        return 0;
    }
};

inline DRAVO::IUnknown* recordingCoefFactory()
{
    return new RecordingCoef;
}

// Replaces one factory of a loaded library's handle set for its own lifetime.
class CoefFactoryPatch {
public:
    CoefFactoryPatch(const char* key, DRAVO::CreateFunctionProc factory)
        : m_handles(DRAVO::AudioComponentDLLRepository::singleton().getHandles(key)),
          m_saved(m_handles.createCalcCoefFunction)
    {
        EXPECT_NE(nullptr, m_handles.library) << key << " is not loaded";
        m_handles.createCalcCoefFunction = factory;
    }
    ~CoefFactoryPatch() { m_handles.createCalcCoefFunction = m_saved; }
    CoefFactoryPatch(const CoefFactoryPatch&) = delete;
    CoefFactoryPatch& operator=(const CoefFactoryPatch&) = delete;

private:
    DRAVO::AudioComponentDLLHandles& m_handles;
    DRAVO::CreateFunctionProc m_saved;
};

// Database 10, the logic network and the configuration store (fsHz 48000, 64 samples a frame)
// for one test, and temporary component folders; each is taken down again at the end.
class DravoEnvironment {
public:
    void setUp()
    {
        (void)JLIB::GetGlobalHeapManager();  // outlives the definition repository
        ASSERT_EQ(0u, PDB::createPDB(10, "AudioCompo", &m_lock, 0));
        ASSERT_EQ(0u, LogicCtrl::LogicComponentCollection::singleton().initialize());
        ASSERT_EQ(0u, DRAVO::AudioConfigDB::singleton().initialize());
        DRAVO::AudioConfig config;
        config.dspSystem.fsHz = kFsHz;
        config.dspSystem.numSamplePerFrame = kSamplesPerFrame;
        ASSERT_EQ(0u, DRAVO::AudioConfigDB::singleton().setAudioConfig(config));
    }

    // Components must be gone by now: their function objects live in the libraries.
    void tearDown()
    {
        (void)DRAVO::AudioComponentDLLRepository::singleton().finalize();  // always 0
        (void)LogicCtrl::LogicComponentCollection::singleton().finalize();
        // The store keeps its configuration over finalize: later tests of the process find none.
        EXPECT_EQ(0u, DRAVO::AudioConfigDB::singleton().setAudioConfig(DRAVO::AudioConfig()));
        (void)DRAVO::AudioConfigDB::singleton().finalize();
        if (PDB::gPDBCollection.getPDB(10).isValid()) {
            EXPECT_EQ(0u, PDB::destroyPDB(10));
        }
        for (void* handle : m_ownHandles) dlclose(handle);
        std::error_code ignored;
        for (const fs::path& folder : m_folders) fs::remove_all(folder, ignored);
    }

    // A new folder holding "<type>_1.so" of each type; its text ends in "/".
    std::string makeComponentFolder(const std::vector<std::string>& types)
    {
        std::string pattern = (fs::temp_directory_path() / "uz-components-XXXXXX").string();
        EXPECT_NE(nullptr, mkdtemp(pattern.data()));
        m_folders.push_back(pattern);
        for (const std::string& type : types) {
            fs::copy_file(fs::path(UZ_STANDIN_DIR) / (type + "_1.so"), fs::path(pattern) / (type + "_1.so"));
        }
        return pattern + "/";
    }

    // The count of function objects alive in a loaded library; the library stays open until the end.
    uint32_t (*liveObjectCounter(const std::string& library))()
    {
        void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        EXPECT_NE(nullptr, handle) << library;
        if (!handle) return nullptr;
        m_ownHandles.push_back(handle);
        return reinterpret_cast<uint32_t (*)()>(dlsym(handle, "standInLiveObjectCount"));
    }

    static PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(10); }

private:
    PDB::SimpleReadWriteMutex m_lock;
    std::vector<fs::path> m_folders;
    std::vector<void*> m_ownHandles;
};

}  // namespace dravotest
