#include "common/Lpc/LpcRecallSafe.h"

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "PDB/pdb_SnapshotFile.h"
#include "PDB/pdb_UniqId.h"
#include "common/Lpc/LpcValueHelper.h"
#include "jlib/JVariant.h"

namespace LPC {

namespace {

constexpr CATEGORY_OF_PDBTYPE kSwitch = CATEGORY_PDBTYPE_UZSETUP;
constexpr CATEGORY_OF_PDBTYPE kHeld = CATEGORY_PDBTYPE_UZCURRENT;
// setRecallSafe serves the recall-speed test and the OSC command, which address this many objects.
constexpr uint32_t kSetRecallSafeObjectNum = 128;

T_RECALLSAFE_PARAM param(CATEGORY_OF_PDBTYPE category, const char* address)
{
    return {PDB::AddressId(), category, address};
}

JLIB::JResult resolve(T_RECALLSAFE_PARAM& p)
{
    p.id = getLpcPDB().getAddressId(PDB::UniqId(p.category), p.address);
    return pdb_addressCheck(p.id);
}

bool isOn(const PDB::AddressId& id, uint32_t x, JLIB::JResult& result)
{
    JVariant value;
    result = getLpcPDB().getVariant(value, id, x, 0, nullptr);
    if (JLIB::isFailure(result)) return false;
    result = JLIB::kOk;  // a read's success status says nothing about the list
    return toBoolFromVariant(value);
}

}  // namespace

const char* const kRecallSafeOnAddress = "/OBA/Object/RecallSafe/On";

T_RECALLSAFE_INFO gl_recallSafeInfos[kRecallSafeGroupNum] = {
    {param(kSwitch, "/OBA/Object/RecallSafe/Position"),
     {param(kHeld, "/OBA/Object/PhysicalPosition@xyz@x"), param(kHeld, "/OBA/Object/PhysicalPosition@xyz@y"),
      param(kHeld, "/OBA/Object/PhysicalPosition@xyz@z"), param(kHeld, "/OBA/Object/LogicalPosition@xyz@x"),
      param(kHeld, "/OBA/Object/LogicalPosition@xyz@y"), param(kHeld, "/OBA/Object/LogicalPosition@xyz@z")}},
    {param(kSwitch, "/OBA/Object/RecallSafe/Size"),
     {param(kHeld, "/OBA/Object/SizeH"), param(kHeld, "/OBA/Object/SizeV")}},
    {param(kSwitch, "/OBA/Object/RecallSafe/AuxSend"),
     {param(kHeld, "/OBA/Object/AuxSend/On"), param(kHeld, "/OBA/Object/AuxSend/Level")}},
    {param(kSwitch, "/OBA/Object/RecallSafe/RevSend"),
     {param(kHeld, "/OBA/Object/RevSend/On"), param(kHeld, "/OBA/Object/RevSend/Level")}},
};

PDB::AddressId gl_recallSafeOn;

JLIB::JResult RecallSafe::initialize()
{
    gl_recallSafeOn = getLpcPDB().getAddressId(PDB::UniqId(kSwitch), kRecallSafeOnAddress);
    JLIB::JResult result = JLIB::kOk;
    for (T_RECALLSAFE_INFO& info : gl_recallSafeInfos) {
        result = resolve(info.recallSafe);
        if (JLIB::isFailure(result)) return result;
        for (T_RECALLSAFE_PARAM& p : info.params) {
            result = resolve(p);
            if (JLIB::isFailure(result)) return result;
        }
    }
    return result;
}

JLIB::JResult RecallSafe::getRecallSafeList(PDB::SnapshotContentsList& list) const
{
    const uint32_t objects = getLpcPDB().paramInfo(gl_recallSafeOn).numX;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < objects; ++i) {
        if (!isOn(gl_recallSafeOn, i, result)) continue;
        for (const T_RECALLSAFE_INFO& info : gl_recallSafeInfos) {
            if (!isOn(info.recallSafe.id, i, result)) continue;
            for (const T_RECALLSAFE_PARAM& p : info.params) {
                result = list.addParameter(p.id, i, 0);
                if (JLIB::isFailure(result)) return result;
            }
        }
    }
    return result;
}

JLIB::JResult setRecallSafe(uint32_t value)
{
    const char* const switches[] = {kRecallSafeOnAddress, gl_recallSafeInfos[0].recallSafe.address,
                                    gl_recallSafeInfos[1].recallSafe.address, gl_recallSafeInfos[2].recallSafe.address,
                                    gl_recallSafeInfos[3].recallSafe.address};
    for (uint32_t i = 0; i < kSetRecallSafeObjectNum; ++i) {
        for (const char* address : switches) {
            (void)pdb_setParamT<unsigned int>(kSwitch, address, i, 0, value);  // a missing element is skipped
        }
    }
    return JLIB::kOk;
}

}  // namespace LPC
