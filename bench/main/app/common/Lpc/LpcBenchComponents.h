#pragma once
// Components of the shipped device descriptors put into a database, for the benchmarks that run
// on the real databases (scene list, thread "OSCServer").
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IParameterDB.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "jlib/jlib_result.h"

namespace LpcBench {

inline std::string descriptorFolder()
{
    // This file lies in bench/main/app/common/Lpc; the files in main/app/editor/SystemData.
    std::filesystem::path root = std::filesystem::path(__FILE__).lexically_normal();  // may be reached through ".."
    for (int i = 0; i < 6; ++i) root = root.parent_path();
    return (root / "main/app/editor/SystemData/Descriptor").string();
}

// Adds component uid of type (its descriptor version 1) to db with its defaults; strategy, when
// given, is set on the type and initialised. Other benchmarks of the program may have built the
// database already: what exists is kept, what is missing is added.
inline bool addComponent(PDB::IParameterDB& db, uint32_t uid, const char* type,
                         LPC::LpcUzParameterStrategyBase* strategy)
{
    if (db.getComponentIndex(PDB::UniqId(uid)) != 0xFFFFFFFFu) return true;
    if (!PDB::getComponentInfoRepository().getComponentInfo(type, 1).isValid()) {
        std::ifstream in(descriptorFolder() + "/" + type + "_1.json", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text.str().c_str());
        (void)info.setParameterStrategy(strategy);  // always 0
        if (PDB::getComponentInfoRepository().addComponentInfo(info) != 0) return false;
    }
    if (JLIB::isFailure(db.addComponent(PDB::UniqId(uid), type, 1, 0, 0, 0))) return false;
    if (strategy && strategy->initialize(db) != 0) return false;
    return JLIB::isSuccess(db.setDefault(db.getComponentIndex(PDB::UniqId(uid)), 255));
}

}  // namespace LpcBench
