// Cost of one object's logical position written through the installed device link table (the
// logical copies, the physical position and its binaural mirror follow: about four times the
// values) beside the plain stores of the same three values, with one subscriber on the database.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkUz.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "jlib/JHeap.h"

namespace {

constexpr const char* kLogical = "/OBA/Object/LogicalPosition@xyz@x";
constexpr uint32_t kObjects = 64;
constexpr uint8_t kAttr = 7;

// The subscriber's wake-up: it only counts, as a thread would be woken once per change.
class CountingSubscriber : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override { return 0; }
    uint32_t rawCallbackSetPDBParameter() override
    {
        m_wakes.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }

private:
    std::atomic<uint64_t> m_wakes{0};
};

const char* const kTypes[] = {"uzCurrent", "uzSetup", "uzVolatile", "uzSceneStatus", "uzSceneList", "uzPresetStatus",
                              "uzPresetList"};

std::string descriptorFolder()
{
    // This file lies in bench/main/app/common/Lpc; the files in main/app/editor/SystemData.
    std::filesystem::path root(__FILE__);
    for (int i = 0; i < 6; ++i) root = root.parent_path();
    return (root / "main/app/editor/SystemData/Descriptor").string();
}

// The device database as the device-control thread builds it (its lock, the two strategies, the
// components defaulted).
bool createDeviceDatabase(PDB::IMutex& lock)
{
    (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
    if (PDB::createPDB(LPC::kLpcPDBInstanceId, "AudioCompo", &lock, 0) != 0) return false;
    PDB::IParameterDB& db = LPC::getLpcPDB();
    for (uint32_t uid = 0; uid < std::size(kTypes); ++uid) {
        LPC::LpcUzParameterStrategyBase* strategy = nullptr;
        if (uid == 0) strategy = &LPC::gUzParameterStrategyCurrent;
        if (uid == 1) strategy = &LPC::gUzParameterStrategySetup;
        std::ifstream in(descriptorFolder() + "/" + kTypes[uid] + "_1.json", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text.str().c_str());
        (void)info.setParameterStrategy(strategy);  // always 0
        if (PDB::getComponentInfoRepository().addComponentInfo(info) != 0) return false;
        if (JLIB::isFailure(db.addComponent(PDB::UniqId(uid), kTypes[uid], 1, 0, 0, 0))) return false;
        if (strategy && strategy->initialize(db) != 0) return false;
        if (JLIB::isFailure(db.setDefault(db.getComponentIndex(PDB::UniqId(uid)), 255))) return false;
    }
    return true;
}

// The device database, space 0 a 10 m by 6 m room, the table installed and one update pass run.
struct Device {
    Device()
    {
        ok = createDeviceDatabase(lock);
        PDB::IParameterDB& db = LPC::getLpcPDB();
        const uint32_t position = db.getAddressIndex(PDB::UniqId(1), "/OBA/Space/Position@xy@x");
        const uint32_t center = db.getAddressIndex(PDB::UniqId(1), "/OBA/Space/Center@xy@x");
        const uint32_t height = db.getAddressIndex(PDB::UniqId(1), "/OBA/Space/Height@LMH@L");
        // Sixteen points clockwise round the rectangle from its top-left corner.
        const int32_t outline[16][2] = {{-500, 300},  {-250, 300}, {0, 300},     {250, 300},
                                        {500, 300},   {500, 150},  {500, 0},     {500, -150},
                                        {500, -300},  {250, -300}, {0, -300},    {-250, -300},
                                        {-500, -300}, {-500, -150}, {-500, 0},   {-500, 150}};
        for (uint32_t i = 0; ok && i < 16; ++i) {
            ok = JLIB::isSuccess(db.setVariant(1, position, 0, i, JVariant(outline[i][0]), 255)) &&
                 JLIB::isSuccess(db.setVariant(1, position + 1, 0, i, JVariant(outline[i][1]), 255));
        }
        const int32_t heights[3] = {0, 250, 500};
        for (uint32_t k = 0; ok && k < 3; ++k)
            ok = JLIB::isSuccess(db.setVariant(1, height + k, 0, 0, JVariant(heights[k]), 255));
        ok = ok && JLIB::isSuccess(db.setVariant(1, center, 0, 0, JVariant(0), 255)) &&
             JLIB::isSuccess(db.setVariant(1, center + 1, 0, 0, JVariant(0), 255));
        ok = ok && table.initialize() == 0 && LPC::pdb_setLink(&table) == 0;
        (void)table.update(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);  // builds the converters
        ok = ok && db.addDirtyFlag(0x5151, &subscriber, PDB::SubscribeAttr()) == 0;
        logical = LPC::pdb_resolveAddress(LPC::CATEGORY_PDBTYPE_UZCURRENT, kLogical);
        ok = ok && logical.isCached();
        for (uint32_t k = 0; k < 3; ++k) {
            members[k] = db.getAddressId(logical.componentIndex(), logical.addressIndex() + k);
        }
    }

    PDB::SimpleReadWriteMutex lock;
    LPC::PDBLinkUz table;
    CountingSubscriber subscriber;
    PDB::AddressId logical;
    PDB::AddressId members[3];
    bool ok = false;
};

Device& device()
{
    static Device d;
    return d;
}

// Two positions in turn, so every write changes every value.
const JVariant kPositions[2][3] = {{JVariant(0.25f), JVariant(0.5f), JVariant(0.75f)},
                                   {JVariant(0.75f), JVariant(0.25f), JVariant(0.5f)}};

void BM_LogicalPositionThroughTheLinkTable(benchmark::State& state)
{
    Device& d = device();
    if (!d.ok) {
        state.SkipWithError("the device database or the link table could not be set up");
        return;
    }
    uint32_t n = 0;
    JLIB::JResult failed = 0;
    for (auto _ : state) {
        const JVariant* p = kPositions[(n / kObjects) & 1];
        // The trailing pair flag 0: this object alone.
        const LPC::JVariantList values = {p[0], p[1], p[2], JVariant(0u)};
        failed |= LPC::pdb_setParamWithLink(d.logical, n % kObjects, 0, values, kAttr);
        ++n;
    }
    if (JLIB::isFailure(failed)) state.SkipWithError("a linked write failed");
}

void BM_ThreePlainStoresOfTheSameValues(benchmark::State& state)
{
    Device& d = device();
    if (!d.ok) {
        state.SkipWithError("the device database or the link table could not be set up");
        return;
    }
    uint32_t n = 0;
    JLIB::JResult failed = 0;
    for (auto _ : state) {
        const JVariant* p = kPositions[(n / kObjects) & 1];
        for (uint32_t k = 0; k < 3; ++k)
            failed |= LPC::pdb_setParamWithNoLink(d.members[k], n % kObjects, 0, p[k], kAttr);
        ++n;
    }
    if (JLIB::isFailure(failed)) state.SkipWithError("a plain store failed");
}

BENCHMARK(BM_ThreePlainStoresOfTheSameValues);
BENCHMARK(BM_LogicalPositionThroughTheLinkTable);

}  // namespace
