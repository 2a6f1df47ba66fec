#pragma once
// The eleven parameter databases built from the shipped component definition files the way the
// device-control thread builds them: every file registered once per process (the "uzCurrent" and
// "uzSetup" types with their strategies), then per row the component added, its strategy
// resolved and the component set to its defaults. Owned by one test; destroy() or the destructor
// takes the databases away again.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <mutex>
#include <string>
#include <thread>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "jlib/JHeap.h"

namespace LpcTest {

// The one lock of the live databases (reads and writes alike, recursive), which also tells
// whether the calling thread holds it.
class ObservedMutex : public PDB::IMutex {
public:
    uint32_t readLock() const override { return take(); }
    uint32_t readUnlock() const override { return give(); }
    uint32_t writeLock() override { return take(); }
    uint32_t writeUnlock() override { return give(); }
    bool isHeldByCaller() const { return m_owner.load() == std::this_thread::get_id(); }

private:
    uint32_t take() const
    {
        m_mutex.lock();
        if (m_depth++ == 0) m_owner.store(std::this_thread::get_id());
        return 0;
    }
    uint32_t give() const
    {
        if (--m_depth == 0) m_owner.store(std::thread::id());
        m_mutex.unlock();
        return 0;
    }

    mutable std::recursive_mutex m_mutex;
    mutable std::atomic<std::thread::id> m_owner{};
    mutable uint32_t m_depth = 0;  // the holder's nesting
};

inline std::string descriptorFolder()
{
    // This header lies in tests/main/app/common/Lpc; the files in main/app/editor/SystemData.
    std::filesystem::path root(__FILE__);
    for (int i = 0; i < 6; ++i) root = root.parent_path();
    return (root / "main/app/editor/SystemData/Descriptor").string();
}

struct DefinitionRow {
    uint32_t db;
    uint32_t uid;
    const char* type;
    LPC::LpcUzParameterStrategyBase* strategy;
};

inline const char* const kDatabaseNames[] = {"Profile",     "DeviceSetup",  "StaticSetup", "LocalSetup",
                                             "VDeviceSetup", "CommonSetup", "Status",      "SnapshotInfo",
                                             "PresetInfo",  "ProjectInfo",  "AudioCompo"};

inline const DefinitionRow kDefinitionRows[] = {
    {0, 0, "Profile", nullptr},        {1, 0, "DeviceSetup", nullptr},
    {2, 0, "StaticSetup", nullptr},    {3, 0, "LocalSetup", nullptr},
    {4, 0, "VDeviceSetup", nullptr},   {5, 0, "CommonSetup", nullptr},
    {6, 0, "Status", nullptr},         {7, 0, "SnapshotInfo", nullptr},
    {8, 0, "PresetInfo", nullptr},     {9, 0, "ProjectInfo", nullptr},
    {10, 0, "uzCurrent", &LPC::gUzParameterStrategyCurrent},
    {10, 1, "uzSetup", &LPC::gUzParameterStrategySetup},
    {10, 2, "uzVolatile", nullptr},    {10, 3, "uzSceneStatus", nullptr},
    {10, 4, "uzSceneList", nullptr},   {10, 5, "uzPresetStatus", nullptr},
    {10, 6, "uzPresetList", nullptr},
};

class ShippedDatabases {
public:
    ShippedDatabases() = default;
    ~ShippedDatabases() { destroy(); }
    ShippedDatabases(const ShippedDatabases&) = delete;
    ShippedDatabases& operator=(const ShippedDatabases&) = delete;

    // "" when every step worked, else what failed first.
    std::string create()
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        for (uint32_t id = 0; id < std::size(kDatabaseNames); ++id) {
            if (PDB::createPDB(id, kDatabaseNames[id], &m_lock, 0) != 0) return std::string("create ") + kDatabaseNames[id];
            m_created = id + 1;
        }
        for (const DefinitionRow& row : kDefinitionRows) {
            if (!registerType(row)) return std::string("register ") + row.type;
            PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(row.db);
            if (JLIB::isFailure(db.addComponent(PDB::UniqId(row.uid), row.type, 1, 0, 0, 0))) {
                return std::string("add ") + row.type;
            }
            if (row.strategy && row.strategy->initialize(db) != 0) return std::string("strategy of ") + row.type;
            if (JLIB::isFailure(db.setDefault(db.getComponentIndex(PDB::UniqId(row.uid)), 255))) {
                return std::string("default ") + row.type;
            }
        }
        return "";
    }

    void destroy()
    {
        for (uint32_t id = 0; id < m_created; ++id) (void)PDB::destroyPDB(id);
        m_created = 0;
    }

    // The lock every database shares; it outlives them.
    ObservedMutex& lock() { return m_lock; }

private:
    static bool registerType(const DefinitionRow& row)
    {
        if (PDB::getComponentInfoRepository().getComponentInfo(row.type, 1).isValid()) return true;  // once per process
        std::ifstream in(descriptorFolder() + "/" + row.type + "_1.json", std::ios::binary);
        if (!in) return false;
        std::stringstream text;
        text << in.rdbuf();
        PDB::ComponentInfo info = PDB::parseComponentInfoJSON(text.str().c_str());
        (void)info.setParameterStrategy(row.strategy);  // always 0
        return PDB::getComponentInfoRepository().addComponentInfo(info) == 0;
    }

    ObservedMutex m_lock;
    uint32_t m_created = 0;
};

}  // namespace LpcTest
