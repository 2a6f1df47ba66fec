// Cost the link engine adds to a linked write: the same one-value write into the shipped device
// database with no engine installed, and through an engine of 48 entries on the device table's
// addresses, none of which is the written one (every entry compared, no handler called).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/PDBLink.h"
#include "jlib/JHeap.h"

namespace {

struct Row {
    int32_t internal;
    int32_t component;
    const char* address;
};

// The addresses of the device link table, in category order.
constexpr Row kTable[48] = {
    {0, 1, "/OBA/Object/Pair"}, {0, 2, "/OBA/Solo/On"}, {0, 0, "/OBA/Object/Fader/Level"},
    {0, 0, "/OBA/Object/Fader/On"}, {0, 0, "/OBA/Object/Visible"}, {0, 0, "/OBA/Object/AuxSend/On"},
    {0, 0, "/OBA/Object/AuxSend/Level"}, {0, 0, "/OBA/Object/RevSend/On"}, {0, 0, "/OBA/Object/RevSend/Level"},
    {0, 1, "/OBA/Object/XYmode"}, {0, 0, "/OBA/Object/Zone"}, {0, 0, "/OBA/Object/PhysicalPosition@xyz@x"},
    {0, 0, "/OBA/Object/LogicalPosition@xyz@x"}, {1, 2, "/OBA/Object/LogicalPosition_Internal@xyz@x"},
    {0, 0, "/OBA/Object/SizeH"}, {0, 0, "/OBA/Object/SizeV"}, {0, 1, "/OBA/Object/RecallSafe/On"},
    {0, 1, "/OBA/Object/RecallSafe/Position"}, {0, 1, "/OBA/Object/RecallSafe/Size"},
    {0, 1, "/OBA/Object/RecallSafe/AuxSend"}, {0, 1, "/OBA/Object/RecallSafe/RevSend"}, {0, 2, "/AuxIn/Solo/On"},
    {1, 2, "/AuxIn/Solo/On_Internal"}, {0, 2, "/OBA/Solo/On"}, {1, 2, "/OBA/Solo/On_Internal"},
    {0, 2, "/ToSpeaker/Solo/On"}, {1, 2, "/ToSpeaker/Solo/On_Internal"}, {0, 2, "/Show/On"},
    {0, 1, "/OBA/Space/Position@xy@x"}, {0, 1, "/OBA/Space/Center@xy@x"}, {0, 1, "/OBA/Space/Height@LMH@L"},
    {0, 0, "/OBA/Object/Zone"}, {0, 1, "/Binaural/Source"}, {0, 1, "/OBA/Speaker/Position@xyz@x"},
    {0, 0, "/OBA/Object/PhysicalPosition@xyz@x"}, {1, 2, "/BinauralControl/Position@xyz@x"},
    {0, 1, "/OBA/Speaker/Zone"}, {1, 2, "/OBA/Speaker/Zone/Layer1"}, {1, 2, "/OBA/Speaker/Zone/Layer2"},
    {0, 1, "/Oscillator/SendAssign/ToSpeaker"}, {1, 2, "/Oscillator/SendAssign/ToSpeaker_Internal"},
    {0, 1, "/3DRev/Pattern"}, {1, 2, "/3DRev/FIR16x4/IRNo"}, {1, 2, "/3DRev/SREV/IRNo"},
    {0, 1, "/OBA/MasterFader/Level"}, {1, 2, "/OBA/MasterFader/Level_Internal"}, {0, 1, "/OBA/MasterFader/On"},
    {1, 2, "/OBA/MasterFader/On_Internal"},
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

// The device database built once from the shipped files, and the engine resolved against it.
struct Device {
    Device()
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        ok = PDB::createPDB(LPC::kLpcPDBInstanceId, "AudioCompo", &lock, 0) == 0;
        for (uint32_t uid = 0; ok && uid < std::size(kTypes); ++uid) {
            std::ifstream in(descriptorFolder() + "/" + kTypes[uid] + "_1.json", std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            ok = PDB::getComponentInfoRepository().addComponentInfo(PDB::parseComponentInfoJSON(text.str().c_str())) == 0 &&
                 JLIB::isSuccess(LPC::getLpcPDB().addComponent(PDB::UniqId(uid), kTypes[uid], 1, 0, 0, 0));
        }
        LPC::LinkMap links;
        for (uint32_t c = 0; c < std::size(kTable); ++c) {
            LPC::T_LINK_PRM entry;
            entry.internal = kTable[c].internal;
            entry.category = kTable[c].component;
            entry.address = kTable[c].address;
            if (entry.internal == 0) {
                entry.link = [](const LPC::LinkMap&, const LPC::LinkEntry&, const PDB::AddressId&, uint32_t, uint32_t,
                                const LPC::JVariantList&, uint8_t) { return 0x80000000u; };  // never reached
            }
            links[static_cast<LPC::CATEGORY_OF_LinkPrm>(c)] = entry;
        }
        ok = ok && link.setLinks(links) == 0 && link.initialize() == 0;
        written = LPC::pdb_resolveAddress(LPC::CATEGORY_PDBTYPE_UZSETUP, "/AuxIn/Fader/Level");
        ok = ok && written.isCached();
    }

    PDB::SimpleReadWriteMutex lock;
    LPC::PDBLink link;
    PDB::AddressId written;
    bool ok = false;
};

Device& device()
{
    static Device d;
    return d;
}

void writeLoop(benchmark::State& state, LPC::PDBLink* engine)
{
    Device& d = device();
    if (!d.ok) {
        state.SkipWithError("the shipped device database could not be built");
        return;
    }
    (void)LPC::pdb_setLink(engine);
    const LPC::JVariantList values[2] = {{JVariant(-600)}, {JVariant(-700)}};  // every write changes the value
    uint32_t n = 0;
    JLIB::JResult failed = 0;
    for (auto _ : state) {
        const JLIB::JResult result = LPC::pdb_setParamWithLink(d.written, n % 96, 0, values[(n / 96) & 1], 255);
        failed |= result;
        ++n;
    }
    (void)LPC::pdb_setLink(nullptr);
    if (JLIB::isFailure(failed)) state.SkipWithError("a write failed or reached a handler");
}

void BM_WriteWithoutEngine(benchmark::State& state) { writeLoop(state, nullptr); }
void BM_WriteThrough48UnmatchedEntries(benchmark::State& state) { writeLoop(state, &device().link); }

BENCHMARK(BM_WriteWithoutEngine);
BENCHMARK(BM_WriteThrough48UnmatchedEntries);

}  // namespace
