#include "PDB/pdb_ComponentNULL.h"

#include <gtest/gtest.h>

#include "PDB/pdb_LocalComponent.h"
#include "PDB/pdb_ParameterArray.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ParameterDBCollection.h"

TEST(ComponentNULLTest, AnswersEveryOperationWithoutEffect)
{
    PDB::ComponentNULL& null = PDB::ComponentNULL::getNullObject();
    EXPECT_EQ(&null, &PDB::ComponentNULL::getNullObject());
    EXPECT_FALSE(null.isValid());
    EXPECT_FALSE(null.componentInfo().isValid());
    EXPECT_FALSE(null.componentInfo().uniqId().isValid());
    EXPECT_EQ(0u, null.addressNum());
    EXPECT_EQ(0u, null.exportSize());
    EXPECT_EQ(0xFFFFFFFFu, null.addressIndex("/A"));
    EXPECT_EQ(&PDB::ParameterArrayNULL::getNullObject(), &null.paramArray(0));
    EXPECT_EQ(0u, null.setUserName("x"));
    EXPECT_EQ(0u, null.resizeComponent(1, 1, true, 0));
    EXPECT_EQ(0u, null.captureDirtyFlag(0));
    uint32_t ai = 0, x = 0, y = 0;
    EXPECT_EQ(0x200000u, null.checkNextDirty(0, ai, x, y));

    const PDB::LocalComponent other;
    const JLIB::JResult changes[] = {
        null.setVariant(0, 0, 0, JVariant(1u), 0), null.setUInt32(0, 0, 0, 1, 0), null.setString(0, 0, 0, "a", 0),
        null.setDefault(0, 0, 0, 0), null.setDefault(0, 0), null.setDefault(0), null.setImportSafeFlag(0, 0, 0, true),
        null.setAllImportSafeFlag(true), null.setDirty(0, 0, 0, 0), null.clearAllDirty(0), null.reevaluate(0),
        null.duplicate(0, other, 0), null.recall(0, other, PDB::ImportAttr(0), 0), null.reflectChange(0, 0, 0, other),
        null.exportBinary(nullptr, 0),
        null.importBinary(PDB::ParameterDBNULL::getNullObject(), 0, nullptr, 0, PDB::ImportAttr(0), 0, 0),
    };
    for (const JLIB::JResult r : changes) EXPECT_EQ(0x80080000u, r);

    JVariant v(3u);
    uint8_t f = 0;
    EXPECT_EQ(0x80080000u, null.getVariant(v, 0, 0, 0, &f));
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(255, f);
    f = 0;
    EXPECT_EQ(0u, null.getUInt32(0, 0, 0, &f));
    EXPECT_EQ(255, f);
    EXPECT_EQ(0, null.getSInt32(0, 0, 0, nullptr));
    EXPECT_EQ(0.0f, null.getFloat(0, 0, 0, nullptr));
    EXPECT_FALSE(null.getBool(0, 0, 0, nullptr));
    EXPECT_EQ(255, null.getFactor(0, 0, 0));
    EXPECT_FALSE(null.getDirty(0, 0, 0, 0));
    EXPECT_FALSE(null.checkPosRange(0, 0, 0));
}
