// Cost of a scene recall through the scene list (recall undo kept, list lookups, recall-safe list,
// last number and can-do flags) against the bare work it rests on: loading the same scene file
// into a snapshot object and recalling it onto the shipped device database.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "LpcBenchComponents.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_SnapshotFile.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcSceneList.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "jlib/JHeap.h"

namespace {

struct Definition {
    uint32_t db;
    uint32_t uid;
    const char* type;
};
const Definition kDefinitions[] = {
    {7, 0, "SnapshotInfo"},   {10, 0, "uzCurrent"},     {10, 1, "uzSetup"},        {10, 2, "uzVolatile"},
    {10, 3, "uzSceneStatus"}, {10, 4, "uzSceneList"},   {10, 5, "uzPresetStatus"}, {10, 6, "uzPresetList"},
};

LPC::LpcUzParameterStrategyBase* strategyOf(const Definition& d)
{
    if (d.db != 10) return nullptr;
    if (d.uid == 0) return &LPC::gUzParameterStrategyCurrent;
    if (d.uid == 1) return &LPC::gUzParameterStrategySetup;
    return nullptr;
}

bool addDefinition(const Definition& d)
{
    return LpcBench::addComponent(PDB::gPDBCollection.getPDB(d.db), d.uid, d.type, strategyOf(d));
}

// The scene and information databases, a scene list on a fresh folder and one stored scene.
struct Scenes {
    Scenes()
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        char folderTemplate[] = "/tmp/uz_scene_bench_XXXXXX";
        ok = mkdtemp(folderTemplate) != nullptr;
        folder = folderTemplate;
        if (ok && !PDB::gPDBCollection.getPDB(7u).isValid()) ok = PDB::createPDB(7, "SnapshotInfo", &lock, 0) == 0;
        if (ok && !LPC::getLpcPDB().isValid()) ok = PDB::createPDB(10, "AudioCompo", &lock, 0) == 0;
        for (const Definition& d : kDefinitions) ok = ok && addDefinition(d);
        ok = ok && JLIB::isSuccess(list.initialize((folder + "/Snapshot").c_str(), (folder + "/Backup").c_str()));
        ok = ok && JLIB::isSuccess(list.store("1", "bench", "scene", false));
        JVariant name;
        const char* const fileAddress = "/SceneList/Bank/Info/FileName";
        ok = ok && JLIB::isSuccess(LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZSCENELIST, fileAddress, 0, 0, name));
        fileName = ok && name.toString() ? name.toString() : "";
        PDB::SnapshotContentsList contents;
        ok = ok && contents.addComponent(LPC::getLpcPDB(), PDB::UniqId(0)) == 0 &&
             bare.initialize("MUR-UZ", 0, 0, contents, (folder + "/Snapshot").c_str()) == 0;
    }
    ~Scenes()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    PDB::SimpleReadWriteMutex lock;
    std::string folder;
    LPC::SceneList list;
    PDB::SnapshotData bare;
    std::string fileName;
    bool ok = false;
};

Scenes& scenes()
{
    static Scenes s;
    return s;
}

void BM_SceneListRecall(benchmark::State& state)
{
    Scenes& s = scenes();
    if (!s.ok) {
        state.SkipWithError("the scene databases could not be built");
        return;
    }
    JLIB::JResult failed = 0;
    for (auto _ : state) failed |= s.list.recall("1", false, {});
    if (JLIB::isFailure(failed)) state.SkipWithError("a recall failed");
}

void BM_LoadAndRecallTheSameFile(benchmark::State& state)
{
    Scenes& s = scenes();
    if (!s.ok) {
        state.SkipWithError("the scene databases could not be built");
        return;
    }
    const PDB::SnapshotContentsList nothingHeld;
    PDB::IParameterDB& db = LPC::getLpcPDB();
    JLIB::JResult failed = 0;
    for (auto _ : state) {
        failed |= s.bare.load(s.fileName.c_str());
        failed |= db.writeLock();
        failed |= s.bare.recall(nothingHeld);
        failed |= db.writeUnlock();
    }
    if (JLIB::isFailure(failed)) state.SkipWithError("a load or recall failed");
}

BENCHMARK(BM_LoadAndRecallTheSameFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SceneListRecall)->Unit(benchmark::kMicrosecond);

}  // namespace
