#pragma once
// Live databases in the process-wide registry for the preset and snapshot tests, and a folder of
// the test's own.
#include <gtest/gtest.h>

#include <string>

#include "FileCache/fcache_FileAccessor.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "jlib/JHeap.h"

namespace storedtest {

using PDB::UniqId;

constexpr uint32_t kPresetInfoId = 8;
constexpr uint32_t kSnapshotInfoId = 7;
constexpr uint32_t kAudioId = 10;
constexpr uint32_t kDeviceId = 4;

// "StoreT" 1: /U8 UINT8 3 x 2 (0..200, default 5), /Str STRING of 6 bytes, /Fixed UINT8 that is
// not recallable (default 7). "StoreOtherT" 1: /U8 only, told apart by its name.
// "PresetInfoT" and "SnapshotInfoT": the 13 information addresses; Protect is a UINT32 in the
// first and a BOOL in the second, as each reads it.
inline void registerTypes()
{
    static const bool done = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        const PDB::ParamAttr recallable('T', PDB::ParamAttr::kRecallable);
        const PDB::ParamAttr fixed('T', 0);
        PDB::ComponentInfo t;
        EXPECT_EQ(0u, t.initialize("StoreT", 1, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT8("/U8", 3, 2, "", "", 0, 200, 5, 5, 1, 1, recallable, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSTRING("/Str", 1, 1, "", "", 6, "def", recallable, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT8("/Fixed", 1, 1, "", "", 0, 200, 7, 7, 1, 1, fixed, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);  // a repeated call finds it registered
        PDB::ComponentInfo o;
        EXPECT_EQ(0u, o.initialize("StoreOtherT", 1, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, o.addAddressUINT8("/U8", 3, 2, "", "", 0, 200, 5, 5, 1, 1, recallable, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(o);
        for (const bool preset : {true, false}) {
            PDB::ComponentInfo info;
            EXPECT_EQ(0u, info.initialize(preset ? "PresetInfoT" : "SnapshotInfoT", 1, 1, 1, 1, 1, "x", "y", nullptr));
            for (const char* text : {"/Info/ProductName", "/Info/ProductSubName", "/Info/Title", "/Info/Comment",
                                     "/Info/OwnerName"}) {
                EXPECT_EQ(0u, info.addAddressSTRING(text, 1, 1, "", "", 32, "", recallable, "", "", ""));
            }
            EXPECT_EQ(0u, info.addAddressSTRING(preset ? "/Info/PresetType" : "/Info/DataType", 1, 1, "", "", 32, "",
                                                recallable, "", "", ""));
            if (preset) {
                EXPECT_EQ(0u, info.addAddressUINT32("/Info/Protect", 1, 1, "", "", 0, 10, 0, 0, 1, 1, recallable, "",
                                                    "", ""));
            } else {
                EXPECT_EQ(0u, info.addAddressBOOL("/Info/Protect", 1, 1, "", "", 0, 1, 0, recallable, "", "", ""));
            }
            for (const char* text : {"/Info/TimeStamp/Year", "/Info/TimeStamp/Month", "/Info/TimeStamp/Day",
                                     "/Info/TimeStamp/Hour", "/Info/TimeStamp/Minute", "/Info/TimeStamp/Second"}) {
                EXPECT_EQ(0u, info.addAddressUINT32(text, 1, 1, "", "", 0, 9999, 0, 0, 1, 1, recallable, "", "", ""));
            }
            (void)PDB::getComponentInfoRepository().addComponentInfo(info);
        }
        return true;
    }();
    (void)done;
}

// "PresetInfo" and "SnapshotInfo" with their component 0; "AudioCompo" with 10 and 11 of
// "StoreT" and 20 of "StoreOtherT"; "VDeviceSetup" with 30 of "StoreT".
struct Databases {
    Databases()
    {
        registerTypes();
        EXPECT_EQ(0u, PDB::createPDB(kPresetInfoId, "PresetInfo", &lock, 0));
        EXPECT_EQ(0u, PDB::createPDB(kSnapshotInfoId, "SnapshotInfo", &lock, 0));
        EXPECT_EQ(0u, PDB::createPDB(kAudioId, "AudioCompo", &lock, 0));
        EXPECT_EQ(0u, PDB::createPDB(kDeviceId, "VDeviceSetup", &lock, 0));
        EXPECT_EQ(0u, db("PresetInfo").addComponent(UniqId(0), "PresetInfoT", 1, 1, 1, 0));
        EXPECT_EQ(0u, db("SnapshotInfo").addComponent(UniqId(0), "SnapshotInfoT", 1, 1, 1, 0));
        EXPECT_EQ(0u, audio().addComponent(UniqId(10), "StoreT", 1, 1, 1, 0));
        EXPECT_EQ(0u, audio().addComponent(UniqId(11), "StoreT", 1, 1, 1, 0));
        EXPECT_EQ(0u, audio().addComponent(UniqId(20), "StoreOtherT", 1, 1, 1, 0));
        EXPECT_EQ(0u, db("VDeviceSetup").addComponent(UniqId(30), "StoreT", 1, 1, 1, 0));
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = ::testing::TempDir() + "stored_" + test->test_suite_name() + "_" + test->name();
    }
    ~Databases()
    {
        for (uint32_t id : {kPresetInfoId, kSnapshotInfoId, kAudioId, kDeviceId}) (void)PDB::destroyPDB(id);
        (void)FILECACHE::FileAccessor::remove(folder.c_str(), true);  // best-effort clean-up
    }
    static PDB::IParameterDB& db(const char* name) { return PDB::gPDBCollection.getPDB(name); }
    static PDB::IParameterDB& audio() { return db("AudioCompo"); }

    static uint32_t get(PDB::IParameterDB& d, uint32_t id, const char* address, uint32_t x = 0, uint32_t y = 0)
    {
        return d.getUInt32(d.getComponentIndex(UniqId(id)), d.getAddressIndex(UniqId(id), address), x, y, nullptr);
    }
    static void set(PDB::IParameterDB& d, uint32_t id, const char* address, uint32_t value, uint32_t x = 0,
                    uint32_t y = 0)
    {
        EXPECT_FALSE(JLIB::isFailure(d.setUInt32(d.getComponentIndex(UniqId(id)), d.getAddressIndex(UniqId(id), address),
                                                 x, y, value, 0xFF)));
    }
    static std::string getText(PDB::IParameterDB& d, uint32_t id, const char* address)
    {
        JVariant v;
        EXPECT_FALSE(JLIB::isFailure(d.getVariant(v, d.getComponentIndex(UniqId(id)),
                                                  d.getAddressIndex(UniqId(id), address), 0, 0, nullptr)));
        const char* text = v.toString();
        return text ? text : "";
    }
    static void setText(PDB::IParameterDB& d, uint32_t id, const char* address, const char* text)
    {
        EXPECT_FALSE(JLIB::isFailure(d.setString(d.getComponentIndex(UniqId(id)),
                                                 d.getAddressIndex(UniqId(id), address), 0, 0, text, 0xFF)));
    }
    // Every element of /U8 of component id: base + x * 10 + y.
    static void fill(PDB::IParameterDB& d, uint32_t id, uint32_t base)
    {
        for (uint32_t x = 0; x < 3; ++x) {
            for (uint32_t y = 0; y < 2; ++y) set(d, id, "/U8", base + x * 10 + y, x, y);
        }
    }
    static bool holds(PDB::IParameterDB& d, uint32_t id, uint32_t base)
    {
        for (uint32_t x = 0; x < 3; ++x) {
            for (uint32_t y = 0; y < 2; ++y) {
                if (get(d, id, "/U8", x, y) != base + x * 10 + y) return false;
            }
        }
        return true;
    }

    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the databases
    std::string folder;
};

}  // namespace storedtest
