// Start-up of the shipped definition files against the 3D-reverb preset tables: every address the
// preset list resolves is declared where it looks for it, with the shape it indexes.
#include <gtest/gtest.h>

#include <string>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcLibraryDef.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/JVariant.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

TEST(PresetAddressesTest, TheTwentyThreePresetAddressesResolveWithTheirShapes)
{
    LpcTest::ShippedDatabases databases;
    ASSERT_EQ("", databases.create());
    PDB::IParameterDB& db = LPC::getLpcPDB();
    const LPC::PresetPDBAddressIds& ids = LPC::LibraryDef::getAccessor(0);
    ASSERT_EQ(23u, ids.getNum());
    ASSERT_EQ(20u, ids.getParamNum());
    for (uint32_t k = 0; k < ids.getNum(); ++k) {
        const PDB::AddressId& id = ids.addressId(k);
        SCOPED_TRACE(id.strAddress());
        ASSERT_EQ(0u, LPC::pdb_addressCheck(id));
        const uint32_t expectedComponent = k < 20   ? LPC::CATEGORY_PDBTYPE_UZSETUP
                                           : k < 22 ? LPC::CATEGORY_PDBTYPE_UZPRESETSTATUS
                                                    : LPC::CATEGORY_PDBTYPE_UZPRESETLIST;
        EXPECT_EQ(expectedComponent, id.componentIndex());
        const PDB::ParameterInfo& info = db.paramInfo(id);
        EXPECT_EQ(std::string(id.strAddress()), info.strAddress);
        // Status and list entries are indexed by the slot of preset numbers 1 to 128.
        if (k >= 20) EXPECT_EQ(128u, info.numX);
    }
    // A new preset's file name, 32 digits, a point and the extension, fits whole.
    const std::string name = std::string(32, 'A') + "." + LPC::PresetFileExtension;
    ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParamT<const char*>(
        LPC::CATEGORY_PDBTYPE_UZPRESETLIST, "/PresetList/3DRev/Info/FileName", 127, 0, name.c_str())));
    JVariant value;
    ASSERT_TRUE(JLIB::isSuccess(db.getVariant(value, ids.addressId(22), 127, 0, nullptr)));
    EXPECT_STREQ(name.c_str(), value.toString());
    // The current preset number holds every preset number.
    const PDB::IParameterDB& cdb = db;
    const PDB::AddressId current = cdb.getAddressId(PDB::UniqId(LPC::CATEGORY_PDBTYPE_UZCURRENT), "/3DRev/Preset");
    ASSERT_EQ(0u, LPC::pdb_addressCheck(current));
    EXPECT_EQ(128u, db.paramInfo(current).max.toUInt32());
}

}  // namespace
