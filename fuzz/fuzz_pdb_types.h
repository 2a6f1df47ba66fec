#pragma once
// Component types the database targets know, registered once per process so images naming them
// get past the type lookup and reach the records, and the live databases the stored-file readers
// write into.
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "jlib/JHeap.h"

namespace fuzztypes {

// The information components of presets ("PresetInfoT"), snapshots ("SnapshotInfoT") and
// projects ("ProjInfoT"), with the addresses their readers look up.
inline bool registerInfoTypes()
{
    const PDB::ParamAttr recallable('T', PDB::ParamAttr::kRecallable);
    bool ok = true;
    enum Kind { kPreset, kSnapshot, kProject };
    const struct {
        const char* name;
        Kind kind;
    } types[] = {{"PresetInfoT", kPreset}, {"SnapshotInfoT", kSnapshot}, {"ProjInfoT", kProject}};
    for (const auto& [name, kind] : types) {
        const bool preset = kind == kPreset;
        const bool project = kind == kProject;
        PDB::ComponentInfo info;
        ok = ok && JLIB::isSuccess(info.initialize(name, 1, 1, 1, 1, 1, "x", "y", nullptr));
        for (const char* text : {"/Info/ProductName", "/Info/ProductSubName", "/Info/Comment", "/Info/OwnerName"}) {
            ok = ok && JLIB::isSuccess(info.addAddressSTRING(text, 1, 1, "", "", 32, "", recallable, "", "", ""));
        }
        if (!project) {
            ok = ok && JLIB::isSuccess(info.addAddressSTRING("/Info/Title", 1, 1, "", "", 32, "", recallable, "", "", ""));
            ok = ok && JLIB::isSuccess(info.addAddressSTRING(preset ? "/Info/PresetType" : "/Info/DataType", 1, 1, "",
                                                             "", 32, "", recallable, "", "", ""));
            ok = ok && JLIB::isSuccess(preset ? info.addAddressUINT32("/Info/Protect", 1, 1, "", "", 0, 10, 0, 0, 1, 1,
                                                                      recallable, "", "", "")
                                              : info.addAddressBOOL("/Info/Protect", 1, 1, "", "", 0, 1, 0, recallable,
                                                                    "", "", ""));
        }
        for (const char* text : {"/Info/TimeStamp/Year", "/Info/TimeStamp/Month", "/Info/TimeStamp/Day",
                                 "/Info/TimeStamp/Hour", "/Info/TimeStamp/Minute", "/Info/TimeStamp/Second"}) {
            ok = ok && JLIB::isSuccess(info.addAddressUINT32(text, 1, 1, "", "", 0, 100000, 0, 0, 1, 1, recallable, "",
                                                             "", ""));
        }
        ok = ok && JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(info));
    }
    return ok;
}

// "Fuzz" 1 (every value kind, one axis following the component size) and "FuzzInfo" 1.
inline bool registerTypes()
{
    static const bool done = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        const char* definitions[] = {
            R"({"component": {"name": "Fuzz", "majorVer": 1, "minX": 1, "maxX": 8, "minY": 1, "maxY": 4,
                "parameters": [
                {"strAddress": "/Gain", "type": "SINT16", "patternX": "*1", "min": "-100", "max": "100"},
                {"strAddress": "/U8", "type": "UINT8", "patternX": "3", "patternY": "2", "max": "200", "def": "5"},
                {"strAddress": "/U32", "type": "UINT32", "max": "100000", "attr": {"recallable": 0}},
                {"strAddress": "/F", "type": "FLOAT", "min": "-1", "max": "1", "step": "0.5"},
                {"strAddress": "/Name", "type": "STRING", "max": "16"},
                {"strAddress": "/Bin", "type": "BINARY", "max": "8"},
                {"strAddress": "/On", "type": "BOOL", "patternY": "*1", "max": "1"}]}})",
            R"({"component": {"name": "FuzzInfo", "majorVer": 1, "parameters": [
                {"strAddress": "/Info/Title", "type": "STRING", "max": "32"},
                {"strAddress": "/Info/Protect", "type": "UINT32", "max": "10"}]}})",
        };
        bool ok = true;
        for (const char* text : definitions) {
            const PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text);
            ok = ok && info.isValid() && JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(info));
        }
        ok = ok && registerInfoTypes();
        return ok;
    }();
    return done;
}

constexpr uint32_t kAudioId = 10;
constexpr const char* kProduct = "FUZZ-UZ";

// The live databases of the registry the stored-file readers write into: "PresetInfo",
// "SnapshotInfo" and "ProjectInfo" with their component 0, "AudioCompo" with components 10 and
// 11 of "Fuzz" and 12 of "FuzzInfo". Made afresh for each input, so a finding replays alone.
class LiveDatabases {
public:
    LiveDatabases()
    {
        if (!registerTypes()) return;
        for (const Db& d : kDatabases) {
            if (JLIB::isFailure(PDB::createPDB(d.id, d.name, nullptr, 0))) return;
            m_made = d.id + 1;
            PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(d.id);
            for (const Component& c : d.components) {
                if (!c.type) break;
                if (JLIB::isFailure(db.addComponent(PDB::UniqId(c.id), c.type, 1, c.sizeX, c.sizeY, 0))) return;
            }
        }
        m_ok = true;
    }
    ~LiveDatabases()
    {
        for (const Db& d : kDatabases) {
            if (d.id >= m_made) break;
            (void)PDB::destroyPDB(d.id);  // made above, so always 0
        }
    }
    LiveDatabases(const LiveDatabases&) = delete;
    LiveDatabases& operator=(const LiveDatabases&) = delete;
    bool isValid() const { return m_ok; }

private:
    struct Component {
        uint32_t id;
        const char* type;
        uint32_t sizeX, sizeY;
    };
    struct Db {
        uint32_t id;  // ascending, so the made ones are those below m_made
        const char* name;
        Component components[3];
    };
    static constexpr Db kDatabases[] = {
        {7, "SnapshotInfo", {{0, "SnapshotInfoT", 1, 1}}},
        {8, "PresetInfo", {{0, "PresetInfoT", 1, 1}}},
        {9, "ProjectInfo", {{0, "ProjInfoT", 1, 1}}},
        {kAudioId, "AudioCompo", {{10, "Fuzz", 2, 1}, {11, "Fuzz", 4, 2}, {12, "FuzzInfo", 1, 1}}},
    };
    uint32_t m_made = 0;
    bool m_ok = false;
};

}  // namespace fuzztypes
