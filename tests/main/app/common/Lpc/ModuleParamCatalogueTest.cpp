#include "common/Lpc/ModuleParamCatalogue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

namespace {

// Built at compile time: a constant expression may already read an entry.
static_assert(LPC::AuxInSoloOn.getModuleNo(95) == 4);
static_assert(LPC::OBASpeakerPositionX_1of4.getModuleNo(511) == 7);

struct Entry {
    const char* name;
    const LPC::ModuleParamBase* entry;
    const LPC::Module* table;
    uint64_t rows;
    uint64_t total;
    bool sendToAllParams;
    bool sendToAllModules;
};

// Every entry of the catalogue with the table it spans, in the catalogue's order.
std::vector<Entry> allEntries()
{
    return {
        {"AuxInPatchSource", &LPC::AuxInPatchSource, LPC::iPT::modules1, 1, 96, false, false},
        {"BinauralPatchSource", &LPC::BinauralPatchSource, LPC::iPT::modules2, 1, 128, false, false},
        {"SurroundInPatchSource", &LPC::SurroundInPatchSource, LPC::iPT::modules2, 1, 12, false, false},
        {"OBAPatchSource", &LPC::OBAPatchSource, LPC::iPT::modules1, 1, 128, false, false},
        {"AuxInSoloOn", &LPC::AuxInSoloOn, LPC::aVL2::modules, 5, 96, false, false},
        {"OBASoloOn", &LPC::OBASoloOn, LPC::oVL1::modules, 8, 128, false, false},
        {"ToSpeakerSoloOn", &LPC::ToSpeakerSoloOn, LPC::oVL4::modules, 4, 64, false, false},
        {"AuxInDelayTime", &LPC::AuxInDelayTime, LPC::aIB2::modules, 6, 96, false, false},
        {"AuxInFaderLevel", &LPC::AuxInFaderLevel, LPC::aIB2::modules, 6, 96, false, false},
        {"AuxInFaderOn", &LPC::AuxInFaderOn, LPC::aIB2::modules, 6, 96, false, false},
        {"CurrentAuxInInputLevel", &LPC::CurrentAuxInInputLevel, LPC::aIB2::modules, 6, 96, false, false},
        {"AuxOutSource", &LPC::AuxOutSource, LPC::LFESel::modules, 1, 1, false, false},
        {"BinauralSource", &LPC::BinauralSource, LPC::BiSel::modules, 2, 1, false, true},
        {"AuxOutFaderLevel", &LPC::AuxOutFaderLevel, LPC::o3IB::modules, 1, 1, false, false},
        {"AuxOutFaderOn", &LPC::AuxOutFaderOn, LPC::o3IB::modules, 1, 1, false, false},
        {"AuxOutDelayTime", &LPC::AuxOutDelayTime, LPC::o3IB::modules, 1, 1, false, false},
        {"BinauralFaderLevel", &LPC::BinauralFaderLevel, LPC::o3IB::modules, 1, 2, true, false},
        {"BinauralFaderOn", &LPC::BinauralFaderOn, LPC::o3IB::modules, 1, 2, true, false},
        {"CurrentAuxOutOutputLevel", &LPC::CurrentAuxOutOutputLevel, LPC::o3IB::modules, 1, 1, false, false},
        {"CurrentBinauralOutputLevel", &LPC::CurrentBinauralOutputLevel, LPC::o3IB::modules, 1, 2, false, false},
        {"AuxOutHPFOn", &LPC::AuxOutHPFOn, LPC::LFEHPF::modules, 1, 1, false, false},
        {"AuxOutHPFFreq", &LPC::AuxOutHPFFreq, LPC::LFEHPF::modules, 1, 1, false, false},
        {"AuxOutHPFType", &LPC::AuxOutHPFType, LPC::LFEHPF::modules, 1, 1, false, false},
        {"AuxOutLPFOn", &LPC::AuxOutLPFOn, LPC::LFELPF::modules, 1, 1, false, false},
        {"AuxOutLPFFreq", &LPC::AuxOutLPFFreq, LPC::LFELPF::modules, 1, 1, false, false},
        {"AuxOutLPFType", &LPC::AuxOutLPFType, LPC::LFELPF::modules, 1, 1, false, false},
        {"ThreeDRevPEQOn", &LPC::ThreeDRevPEQOn, LPC::ThreeDRevPEQ::modules, 3, 1, false, true},
        {"BinauralListenerPositionX", &LPC::BinauralListenerPositionX, LPC::BiBi::modules4_48, 48, 1, false, true},
        {"BinauralListenerPositionY", &LPC::BinauralListenerPositionY, LPC::BiBi::modules4_48, 48, 1, false, true},
        {"BinauralListenerPositionZ", &LPC::BinauralListenerPositionZ, LPC::BiBi::modules4_48, 48, 1, false, true},
        {"BinauralListenerAzimth", &LPC::BinauralListenerAzimth, LPC::BiBi::modules, 51, 1, false, true},
        {"BinauralSource_X", &LPC::BinauralSource_X, LPC::BiBi::modules4_48, 48, 192, false, false},
        {"BinauralSource_Y", &LPC::BinauralSource_Y, LPC::BiBi::modules4_48, 48, 192, false, false},
        {"BinauralSource_Z", &LPC::BinauralSource_Z, LPC::BiBi::modules4_48, 48, 192, false, false},
        {"BinauralSurroundFaderLevel", &LPC::BinauralSurroundFaderLevel, LPC::BiIB::modules4, 1, 12, true, false},
        {"BinauralSurroundFaderOn", &LPC::BinauralSurroundFaderOn, LPC::BiIB::modules4, 1, 12, true, false},
        {"CurrentBinauralSurroundLevel", &LPC::CurrentBinauralSurroundLevel, LPC::BiIB::modules4, 1, 12, false, false},
        {"CurrentBinauralReverbLevel", &LPC::CurrentBinauralReverbLevel, LPC::BiIB::modules0_3, 4, 64, false, false},
        {"BinauralReverbFaderLevel", &LPC::BinauralReverbFaderLevel, LPC::BiIB::modules0_3, 4, 64, true, false},
        {"BinauralReverbFaderOn", &LPC::BinauralReverbFaderOn, LPC::BiIB::modules0_3, 4, 64, true, false},
        {"BinauralReverbDelayTime", &LPC::BinauralReverbDelayTime, LPC::BiIB::modules0_3, 4, 64, true, false},
        {"BinauralExternalInFaderLevel", &LPC::BinauralExternalInFaderLevel, LPC::EIB::modules, 8, 128, false, false},
        {"BinauralExternalInFaderOn", &LPC::BinauralExternalInFaderOn, LPC::EIB::modules, 8, 128, false, false},
        {"BinauralExternalInDelayTime", &LPC::BinauralExternalInDelayTime, LPC::EIB::modules, 8, 128, false, false},
        {"CurrentBinauralExternalInLevel", &LPC::CurrentBinauralExternalInLevel, LPC::EIB::modules, 8, 128, false, false},
        {"OBAObjectFaderLevel", &LPC::OBAObjectFaderLevel, LPC::oIB2::modules, 8, 128, false, false},
        {"OBAObjectFaderOn", &LPC::OBAObjectFaderOn, LPC::oIB2::modules, 8, 128, false, false},
        {"CurrentOBAInputLevel", &LPC::CurrentOBAInputLevel, LPC::oIB2::modules, 8, 128, false, false},
        {"ToSpeakerFaderLevel", &LPC::ToSpeakerFaderLevel, LPC::oIB3::modules, 4, 64, false, false},
        {"ToSpeakerFaderOn", &LPC::ToSpeakerFaderOn, LPC::oIB3::modules, 4, 64, false, false},
        {"CurrentToSpeakerOutputLevel", &LPC::CurrentToSpeakerOutputLevel, LPC::oIB3::modules, 4, 64, false, false},
        {"OBAObjectAuxSendOn", &LPC::OBAObjectAuxSendOn, LPC::LFEIB::modules, 8, 128, false, false},
        {"OBAObjectAuxSendLevel", &LPC::OBAObjectAuxSendLevel, LPC::LFEIB::modules, 8, 128, false, false},
        {"OBAObjectRevSendOn", &LPC::OBAObjectRevSendOn, LPC::ThreeDVL1::modules, 8, 128, false, false},
        {"OBAObjectRevSendLevel", &LPC::OBAObjectRevSendLevel, LPC::ThreeDVL1::modules, 8, 128, false, false},
        {"ThreeDRevMasterFaderLevel", &LPC::ThreeDRevMasterFaderLevel, LPC::ThreeDVL2::modules, 16, 16, true, true},
        {"OBAObjectXYmode_1of2", &LPC::OBAObjectXYmode_1of2, LPC::oOBA::modules, 8, 128, false, false},
        {"OBAObjectZone_1of2", &LPC::OBAObjectZone_1of2, LPC::oOBA::modules, 8, 128, false, false},
        {"OBAObjectPhysicalPositionX_1of2", &LPC::OBAObjectPhysicalPositionX_1of2, LPC::oOBA::modules, 8, 128, false, false},
        {"OBAObjectPhysicalPositionY_1of2", &LPC::OBAObjectPhysicalPositionY_1of2, LPC::oOBA::modules, 8, 128, false, false},
        {"OBAObjectPhysicalPositionZ_1of2", &LPC::OBAObjectPhysicalPositionZ_1of2, LPC::oOBA::modules, 8, 128, false, false},
        {"OBAObjectSizeH", &LPC::OBAObjectSizeH, LPC::oOBA::modules, 8, 128, false, false},
        {"OBAObjectSizeV", &LPC::OBAObjectSizeV, LPC::oOBA::modules, 8, 128, false, false},
        {"OBASpeakerPositionX_1of4", &LPC::OBASpeakerPositionX_1of4, LPC::oOBA::modules, 8, 64, false, true},
        {"OBASpeakerPositionY_1of4", &LPC::OBASpeakerPositionY_1of4, LPC::oOBA::modules, 8, 64, false, true},
        {"OBASpeakerPositionZ_1of4", &LPC::OBASpeakerPositionZ_1of4, LPC::oOBA::modules, 8, 64, false, true},
        {"OBASpeakerZone_Layer1_1of4", &LPC::OBASpeakerZone_Layer1_1of4, LPC::oOBA::modules, 8, 64, false, true},
        {"OBASpeakerZone_Layer2_1of4", &LPC::OBASpeakerZone_Layer2_1of4, LPC::oOBA::modules, 8, 64, false, true},
        {"OBASpeakerPositionX_2of4", &LPC::OBASpeakerPositionX_2of4, LPC::ThreeDErMtx::modules, 7, 64, false, true},
        {"OBASpeakerPositionY_2of4", &LPC::OBASpeakerPositionY_2of4, LPC::ThreeDErMtx::modules, 7, 64, false, true},
        {"OBASpeakerPositionZ_2of4", &LPC::OBASpeakerPositionZ_2of4, LPC::ThreeDErMtx::modules, 7, 64, false, true},
        {"OBASpeakerZone_Layer1_2of4", &LPC::OBASpeakerZone_Layer1_2of4, LPC::ThreeDErMtx::modules, 7, 64, false, true},
        {"OBASpeakerZone_Layer2_2of4", &LPC::OBASpeakerZone_Layer2_2of4, LPC::ThreeDErMtx::modules, 7, 64, false, true},
        {"ThreeDRevPattern_3of4", &LPC::ThreeDRevPattern_3of4, LPC::ThreeDErMtx::modules, 7, 1, false, true},
        {"ThreeDRevCenterX_2of3", &LPC::ThreeDRevCenterX_2of3, LPC::ThreeDErMtx::modules, 7, 1, false, true},
        {"ThreeDRevCenterY_2of3", &LPC::ThreeDRevCenterY_2of3, LPC::ThreeDErMtx::modules, 7, 1, false, true},
        {"ThreeDRevCenterZ_2of3", &LPC::ThreeDRevCenterZ_2of3, LPC::ThreeDErMtx::modules, 7, 1, false, true},
        {"ThreeDRevRoomSize_2of2", &LPC::ThreeDRevRoomSize_2of2, LPC::ThreeDErMtx::modules, 7, 1, false, true},
        {"ThreeDRevZone_1of3", &LPC::ThreeDRevZone_1of3, LPC::ThreeDErMtx::modules, 7, 1, false, true},
        {"OBASpeakerPositionX_3of4", &LPC::OBASpeakerPositionX_3of4, LPC::ThreeDSpMapper::modules, 1, 64, false, false},
        {"OBASpeakerPositionY_3of4", &LPC::OBASpeakerPositionY_3of4, LPC::ThreeDSpMapper::modules, 1, 64, false, false},
        {"OBASpeakerPositionZ_3of4", &LPC::OBASpeakerPositionZ_3of4, LPC::ThreeDSpMapper::modules, 1, 64, false, false},
        {"OBASpeakerZone_Layer1_3of4", &LPC::OBASpeakerZone_Layer1_3of4, LPC::ThreeDSpMapper::modules, 1, 64, false, false},
        {"OBASpeakerZone_Layer2_3of4", &LPC::OBASpeakerZone_Layer2_3of4, LPC::ThreeDSpMapper::modules, 1, 64, false, false},
        {"ThreeDRevCenterX_3of3", &LPC::ThreeDRevCenterX_3of3, LPC::ThreeDSpMapper::modules, 1, 1, false, false},
        {"ThreeDRevCenterY_3of3", &LPC::ThreeDRevCenterY_3of3, LPC::ThreeDSpMapper::modules, 1, 1, false, false},
        {"ThreeDRevCenterZ_3of3", &LPC::ThreeDRevCenterZ_3of3, LPC::ThreeDSpMapper::modules, 1, 1, false, false},
        {"ThreeDRevZone_2of3", &LPC::ThreeDRevZone_2of3, LPC::ThreeDSpMapper::modules, 1, 1, false, false},
        {"OBASpeakerPositionX_4of4", &LPC::OBASpeakerPositionX_4of4, LPC::ThreeDSpWeighter::modules, 1, 64, false, false},
        {"OBASpeakerPositionY_4of4", &LPC::OBASpeakerPositionY_4of4, LPC::ThreeDSpWeighter::modules, 1, 64, false, false},
        {"OBASpeakerPositionZ_4of4", &LPC::OBASpeakerPositionZ_4of4, LPC::ThreeDSpWeighter::modules, 1, 64, false, false},
        {"OBASpeakerZone_Layer1_4of4", &LPC::OBASpeakerZone_Layer1_4of4, LPC::ThreeDSpWeighter::modules, 1, 64, false, false},
        {"OBASpeakerZone_Layer2_4of4", &LPC::OBASpeakerZone_Layer2_4of4, LPC::ThreeDSpWeighter::modules, 1, 64, false, false},
        {"ThreeDRevGainWeight", &LPC::ThreeDRevGainWeight, LPC::ThreeDSpWeighter::modules, 1, 3, false, false},
        {"ThreeDRevDelayWeight", &LPC::ThreeDRevDelayWeight, LPC::ThreeDSpWeighter::modules, 1, 3, false, false},
        {"ThreeDRevGainShape", &LPC::ThreeDRevGainShape, LPC::ThreeDSpWeighter::modules, 1, 1, false, false},
        {"ThreeDRevDelayShape", &LPC::ThreeDRevDelayShape, LPC::ThreeDSpWeighter::modules, 1, 1, false, false},
        {"ThreeDRevZone_3of3", &LPC::ThreeDRevZone_3of3, LPC::ThreeDSpWeighter::modules, 1, 1, false, false},
        {"OBAObjectXYmode_2of2", &LPC::OBAObjectXYmode_2of2, LPC::ThreeDObjMapper::modules, 8, 128, false, false},
        {"OBAObjectZone_2of2", &LPC::OBAObjectZone_2of2, LPC::ThreeDObjMapper::modules, 8, 128, false, false},
        {"OBAObjectPhysicalPositionX_2of2", &LPC::OBAObjectPhysicalPositionX_2of2, LPC::ThreeDObjMapper::modules, 8, 128, false, false},
        {"OBAObjectPhysicalPositionY_2of2", &LPC::OBAObjectPhysicalPositionY_2of2, LPC::ThreeDObjMapper::modules, 8, 128, false, false},
        {"OBAObjectPhysicalPositionZ_2of2", &LPC::OBAObjectPhysicalPositionZ_2of2, LPC::ThreeDObjMapper::modules, 8, 128, false, false},
        {"ThreeDRevPattern_1of4", &LPC::ThreeDRevPattern_1of4, LPC::ThreeDObjMapper::modules, 8, 1, false, true},
        {"ThreeDRevCenterX_1of3", &LPC::ThreeDRevCenterX_1of3, LPC::ThreeDObjMapper::modules, 8, 1, false, true},
        {"ThreeDRevCenterY_1of3", &LPC::ThreeDRevCenterY_1of3, LPC::ThreeDObjMapper::modules, 8, 1, false, true},
        {"ThreeDRevCenterZ_1of3", &LPC::ThreeDRevCenterZ_1of3, LPC::ThreeDObjMapper::modules, 8, 1, false, true},
        {"ThreeDRevRoomSize_1of2", &LPC::ThreeDRevRoomSize_1of2, LPC::ThreeDObjMapper::modules, 8, 1, false, true},
        {"ThreeDRevPattern_2of4", &LPC::ThreeDRevPattern_2of4, LPC::ThreeDFIR16kx4::modules, 2, 7, false, false},
        {"ThreeDRevPattern_4of4", &LPC::ThreeDRevPattern_4of4, LPC::ThreeDSREV::modules, 4, 8, false, false},
        {"ThreeDRevDecay", &LPC::ThreeDRevDecay, LPC::ThreeDSREV::modules, 4, 1, false, true},
        {"ThreeDRevPreDelay_1of2", &LPC::ThreeDRevPreDelay_1of2, LPC::ThreeDIB0::modules, 1, 8, true, false},
        {"ThreeDRevRevGain", &LPC::ThreeDRevRevGain, LPC::ThreeDIB0::modules, 1, 8, true, false},
        {"ThreeDRevPreDelay_2of2", &LPC::ThreeDRevPreDelay_2of2, LPC::ThreeDIB1::modules, 1, 7, true, false},
        {"ThreeDRevERGain", &LPC::ThreeDRevERGain, LPC::ThreeDIB1::modules, 1, 7, true, false},
        {"OBAMasterFaderLevel", &LPC::OBAMasterFaderLevel, LPC::oVL3::modules, 4, 64, true, false},
        {"OBAMasterFaderOn", &LPC::OBAMasterFaderOn, LPC::oVL3::modules, 4, 64, true, false},
        {"OBAMasterFaderLevelLink", &LPC::OBAMasterFaderLevelLink, LPC::o3VL::modules, 1, 4, true, false},
        {"OBAMasterFaderOnLink", &LPC::OBAMasterFaderOnLink, LPC::o3VL::modules, 1, 4, true, false},
        {"OBAMainOutSelect", &LPC::OBAMainOutSelect, LPC::oSW64::modules, 1, 1, false, false},
        {"OBARecOutFaderLevel", &LPC::OBARecOutFaderLevel, LPC::oIB4::modules, 4, 64, false, false},
        {"OBARecOutFaderOn", &LPC::OBARecOutFaderOn, LPC::oIB4::modules, 4, 64, false, false},
        {"CurrentOBARecOutLevel", &LPC::CurrentOBARecOutLevel, LPC::oIB4::modules, 4, 64, false, false},
        {"OscillatorLevel", &LPC::OscillatorLevel, LPC::obWG::modules, 1, 1, false, false},
        {"OscillatorOn", &LPC::OscillatorOn, LPC::obWG::modules, 1, 1, false, false},
        {"OscillatorMode", &LPC::OscillatorMode, LPC::obWG::modules, 1, 1, false, false},
        {"OscillatorFrequency", &LPC::OscillatorFrequency, LPC::obWG::modules, 1, 1, false, false},
        {"OscillatorInterval", &LPC::OscillatorInterval, LPC::obWG::modules, 1, 1, false, false},
        {"OscillatorSendAssignToSpeaker", &LPC::OscillatorSendAssignToSpeaker, LPC::oscPT::modules, 1, 64, false, false},
        {"OutputPatchSource", &LPC::OutputPatchSource, LPC::o2PT::modules, 1, 256, false, false},
        {"ThreeDRevPEQBypass<0>", &LPC::ThreeDRevPEQBypass<0>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQBypass<1>", &LPC::ThreeDRevPEQBypass<1>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQBypass<2>", &LPC::ThreeDRevPEQBypass<2>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQBypass<3>", &LPC::ThreeDRevPEQBypass<3>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQQ<0>", &LPC::ThreeDRevPEQQ<0>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQQ<1>", &LPC::ThreeDRevPEQQ<1>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQQ<2>", &LPC::ThreeDRevPEQQ<2>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQQ<3>", &LPC::ThreeDRevPEQQ<3>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQF<0>", &LPC::ThreeDRevPEQF<0>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQF<1>", &LPC::ThreeDRevPEQF<1>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQF<2>", &LPC::ThreeDRevPEQF<2>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQF<3>", &LPC::ThreeDRevPEQF<3>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQG<0>", &LPC::ThreeDRevPEQG<0>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQG<1>", &LPC::ThreeDRevPEQG<1>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQG<2>", &LPC::ThreeDRevPEQG<2>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
        {"ThreeDRevPEQG<3>", &LPC::ThreeDRevPEQG<3>, LPC::ThreeDRevPEQ::modules, 3, 5, false, true},
    };
}

bool isBandEntry(const std::string& name) { return name.find('<') != std::string::npos; }

bool isMeterEntry(const std::string& name)
{
    return name.rfind("Current", 0) == 0 && name.size() > 5 && name.compare(name.size() - 5, 5, "Level") == 0;
}

}  // namespace

TEST(ModuleParamCatalogueTest, HoldsTheEntriesWithTheirTablesTotalsAndFlags)
{
    const std::vector<Entry> entries = allEntries();
    ASSERT_EQ(146u, entries.size());

    std::set<std::string> names;
    std::set<std::type_index> pairings;
    std::set<const LPC::Module*> tables;
    size_t bands = 0;
    size_t none = 0;
    size_t modulesOnly = 0;
    size_t paramsOnly = 0;
    size_t both = 0;
    std::vector<std::string> inverted;
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.name);
        names.insert(e.name);
        pairings.insert(std::type_index(typeid(*e.entry)));
        tables.insert(e.table);
        if (isBandEntry(e.name)) ++bands;
        if (e.entry->isInvert()) inverted.push_back(e.name);

        EXPECT_EQ(e.total, e.entry->getTotalParamSize());
        EXPECT_EQ(e.sendToAllParams, e.entry->isSendToAllParams());
        EXPECT_EQ(e.sendToAllModules, e.entry->isSendToAllModules());
        const bool p = e.entry->isSendToAllParams();
        const bool m = e.entry->isSendToAllModules();
        none += !p && !m;
        modulesOnly += !p && m;
        paramsOnly += p && !m;
        both += p && m;

        // The module count is the row count of the table the entry spans.
        EXPECT_EQ(e.table[e.rows - 1].guid, e.entry->getGuidWithModuleNo(e.rows - 1));
        EXPECT_EQ(e.table[e.rows - 1].name, e.entry->getModuleNameWithModuleNo(e.rows - 1));
        EXPECT_EQ(nullptr, e.entry->getGuidWithModuleNo(e.rows));
        EXPECT_EQ(nullptr, e.entry->getModuleNameWithModuleNo(e.rows));
        EXPECT_EQ(m ? e.rows : 1u, e.entry->getModuleSize());
    }
    EXPECT_EQ(146u, names.size());
    EXPECT_EQ(16u, bands);
    EXPECT_EQ(109u, pairings.size());
    EXPECT_EQ(38u, tables.size());
    EXPECT_EQ(86u, none);
    EXPECT_EQ(44u, modulesOnly);
    EXPECT_EQ(15u, paramsOnly);
    EXPECT_EQ(1u, both);
    EXPECT_EQ(std::vector<std::string>{"ThreeDRevPEQOn"}, inverted);
}

TEST(ModuleParamCatalogueTest, MeterEntriesNameOneParameterEach)
{
    std::vector<std::string> meters;
    for (const Entry& e : allEntries()) {
        if (!isMeterEntry(e.name)) continue;
        meters.push_back(e.name);
        EXPECT_FALSE(e.entry->isSendToAllParams()) << e.name;
        EXPECT_FALSE(e.entry->isSendToAllModules()) << e.name;
    }
    EXPECT_EQ((std::vector<std::string>{"CurrentAuxInInputLevel", "CurrentAuxOutOutputLevel",
                                        "CurrentBinauralOutputLevel", "CurrentBinauralSurroundLevel",
                                        "CurrentBinauralReverbLevel", "CurrentBinauralExternalInLevel",
                                        "CurrentOBAInputLevel", "CurrentToSpeakerOutputLevel", "CurrentOBARecOutLevel"}),
              meters);
}

TEST(ModuleParamCatalogueTest, MapsElementIndexesToModulesAndParameters)
{
    constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();  // no such module
    struct Case {
        const char* what;
        const LPC::ModuleParamBase& entry;
        const LPC::Module* table;
        uint64_t index;
        uint64_t module;
        uint64_t param;
    };
    const Case cases[] = {
        {"aVL2::Switch 20", LPC::AuxInSoloOn, LPC::aVL2::modules, 20, 1, 20},
        {"aVL2::Switch 95", LPC::AuxInSoloOn, LPC::aVL2::modules, 95, 4, 35},
        {"OBA::OX 70", LPC::OBASpeakerPositionX_1of4, LPC::oOBA::modules, 70, 1, 350},
        {"OBA::OX 511", LPC::OBASpeakerPositionX_1of4, LPC::oOBA::modules, 511, 7, 635},
        {"BiBi::SY 5", LPC::BinauralSource_Y, LPC::BiBi::modules4_48, 5, 1, 21},
        {"BandGain<2> 9", LPC::ThreeDRevPEQG<2>, LPC::ThreeDRevPEQ::modules, 9, 1, 96},
        {"BandBypass<0> 0", LPC::ThreeDRevPEQBypass<0>, LPC::ThreeDRevPEQ::modules, 0, 0, 3},
        {"BandQ<3> 23", LPC::ThreeDRevPEQQ<3>, LPC::ThreeDRevPEQ::modules, 23, 2, 7 + 129 + 35},
        {"Partial<128, 12> 11", LPC::SurroundInPatchSource, LPC::iPT::modules2, 11, 0, 139},
        {"Partial<128, 12> 12", LPC::SurroundInPatchSource, LPC::iPT::modules2, 12, kNone, 128},
        {"Partial<96, 128> 127", LPC::OBAPatchSource, LPC::iPT::modules1, 127, 0, 223},
        {"Partial<4, 2> 1", LPC::BinauralFaderOn, LPC::o3IB::modules, 1, 0, 53},
        {"Single<3> 0", LPC::AuxOutFaderLevel, LPC::o3IB::modules, 0, 0, 35},
        {"Single<3> 1", LPC::AuxOutFaderLevel, LPC::o3IB::modules, 1, kNone, 35},
        {"Single<0> invert 2", LPC::ThreeDRevPEQOn, LPC::ThreeDRevPEQ::modules, 2, 2, 2},
        {"VL::Volume 255", LPC::ThreeDRevMasterFaderLevel, LPC::ThreeDVL2::modules, 255, 15, 15},
        {"Sel::Sel 1", LPC::BinauralSource, LPC::BiSel::modules, 1, 1, 0},
        {"BiBi::Azimuth 50", LPC::BinauralListenerAzimth, LPC::BiBi::modules, 50, 50, 83},
        {"BiBi::Azimuth 51", LPC::BinauralListenerAzimth, LPC::BiBi::modules, 51, kNone, 83},
        {"BiBi::LX 48", LPC::BinauralListenerPositionX, LPC::BiBi::modules4_48, 48, kNone, 80},
        {"obWG::Gain 0", LPC::OscillatorLevel, LPC::obWG::modules, 0, 0, 1},
        {"GainWeight 2", LPC::ThreeDRevGainWeight, LPC::ThreeDSpWeighter::modules, 2, 0, 323},
        // Unsigned 64-bit all the way: the last index still lands on the kind's last element.
        {"OBA::OX max", LPC::OBASpeakerPositionX_1of4, LPC::oOBA::modules, kNone, kNone, 635},
        {"BiBi::SX max", LPC::BinauralSource_X, LPC::BiBi::modules4_48, kNone, kNone, 60},
        {"Partial<0, 96> max", LPC::AuxInPatchSource, LPC::iPT::modules1, kNone, kNone, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.param, c.entry.getParamNo(c.index));
        if (c.module == kNone) {
            EXPECT_EQ(nullptr, c.entry.getGuid(c.index));
            EXPECT_EQ(nullptr, c.entry.getModuleName(c.index));
        } else {
            EXPECT_EQ(c.table[c.module].guid, c.entry.getGuid(c.index));
            EXPECT_EQ(c.table[c.module].name, c.entry.getModuleName(c.index));
        }
    }
}

TEST(ModuleParamCatalogueTest, ModuleSizeFollowsOnlyTheSendToAllModulesFlag)
{
    const LPC::ModuleParam<LPC::Module, LPC::Sel::Sel, LPC::IteratorAll> unflagged{LPC::BiSel::modules, 1, true, false};
    const LPC::ModuleParam<LPC::Module, LPC::Sel::Sel, LPC::IteratorAll> oneRow{LPC::LFESel::modules, 1, true, true};
    EXPECT_EQ(2u, LPC::BinauralSource.getModuleSize());
    EXPECT_EQ(1u, unflagged.getModuleSize());
    EXPECT_EQ(1u, oneRow.getModuleSize());
    EXPECT_EQ(1u, LPC::AuxOutSource.getModuleSize());
}

TEST(ModuleParamCatalogueTest, AModuleNumberPastTheTableGivesNull)
{
    const LPC::ModuleParam<LPC::Module, LPC::Sel::Sel, LPC::IteratorAll>& e = LPC::BinauralSource;
    EXPECT_STREQ("//Bi/Sel/#2", e.getModuleNameWithModuleNo(0));
    EXPECT_STREQ("//Bi/Sel/#3", e.getModuleNameWithModuleNo(1));
    EXPECT_EQ(nullptr, e.getGuidWithModuleNo(2));
    EXPECT_EQ(nullptr, e.getGuidWithModuleNo(std::numeric_limits<uint64_t>::max()));
    EXPECT_STREQ("//i/PT/#1", LPC::BinauralPatchSource.getModuleNameWithModuleNo(0));
    EXPECT_STREQ("304://Bi/BiSur/#0", LPC::BinauralListenerAzimth.getModuleNameWithModuleNo(48));
    EXPECT_EQ(nullptr, LPC::BinauralListenerPositionX.getModuleNameWithModuleNo(48));
    EXPECT_STREQ("057://Bi/BiEx/#0", LPC::BinauralListenerAzimth.getModuleNameWithModuleNo(32));
    EXPECT_STREQ("057://Bi/BiEx/#0", LPC::BinauralListenerPositionX.getModuleNameWithModuleNo(32));
}

// How the send-info listing spreads an entry that has both flags: every parameter of every module.
TEST(ModuleParamCatalogueTest, BothFlagsSpreadOneValueOverEveryParameterOfEveryModule)
{
    const LPC::ModuleParamBase& e = LPC::ThreeDRevMasterFaderLevel;
    std::set<std::pair<std::string, uint64_t>> targets;
    for (uint64_t m = 0; m < e.getModuleSize(); ++m) {
        for (uint64_t i = 0; i < e.getTotalParamSize(); ++i) {
            ASSERT_NE(nullptr, e.getGuidWithModuleNo(m));
            targets.emplace(e.getGuidWithModuleNo(m), e.getParamNo(i));
        }
    }
    EXPECT_EQ(256u, targets.size());
    EXPECT_EQ(15u, targets.rbegin()->second);

    // With the modules flag only, an element goes to the same parameter of every module.
    const LPC::ModuleParamBase& x = LPC::OBASpeakerPositionX_1of4;
    EXPECT_EQ(8u, x.getModuleSize());
    EXPECT_EQ(64u, x.getTotalParamSize());
    EXPECT_EQ(320u + 5 * 63, x.getParamNo(63));
}
