#pragma once
// Component types shared by the component tests, registered in the process-wide repository.
#include <gtest/gtest.h>

#include <cstdint>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IComponent.h"
#include "jlib/JHeap.h"

namespace pdbtest {

// The global heap manager is a function-local static: it must be built before the repository,
// or it is destroyed first and the repository's texts are freed through a dead manager at exit.
inline void keepHeapAlive() { (void)JLIB::GetGlobalHeapManager(); }

constexpr uint32_t kFollow = 0x10000000u | 1u;  // size pattern: the component's size times 1

// "Mixed": /A UINT8 2 x 3 (0..100, default 5), /B UINT8 1 x 1 (default 9),
// /C BOOL 33 x 1, /S STRING of 6 bytes 1 x 1 ("def").
inline const PDB::ComponentInfo& mixedType()
{
    static const PDB::ComponentInfo info = [] {
        keepHeapAlive();
        PDB::ComponentInfo t;
        const PDB::ParamAttr recallable('T', PDB::ParamAttr::kRecallable);
        EXPECT_EQ(0u, t.initialize("Mixed", 1, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT8("/A", 2, 3, "", "", 0, 100, 5, 5, 1, 1, recallable, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT8("/B", 1, 1, "", "", 0, 100, 9, 9, 1, 1, recallable, "", "", ""));
        EXPECT_EQ(0u, t.addAddressBOOL("/C", 33, 1, "", "", 0, 1, 0, recallable, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSTRING("/S", 1, 1, "", "", 6, "def", recallable, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);  // a second call finds it registered
        return t;
    }();
    return info;
}

// "Grid": /G UINT16 following the component size on both axes (0..1000, default 1).
inline const PDB::ComponentInfo& gridType()
{
    static const PDB::ComponentInfo info = [] {
        keepHeapAlive();
        PDB::ComponentInfo t;
        EXPECT_EQ(0u, t.initialize("Grid", 2, 1, 1, 4, 4, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT16("/G", kFollow, kFollow, "", "", 0, 1000, 1, 1, 1, 1,
                                         PDB::ParamAttr('T', PDB::ParamAttr::kRecallable), "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);
        return t;
    }();
    return info;
}

// Counts the component's reports to its database.
class CountingComponentCallback : public PDB::IComponentCallback {
public:
    uint32_t rawCallbackSetPDBParameter() override
    {
        ++calls;
        return 0;
    }
    int calls = 0;
};

}  // namespace pdbtest
