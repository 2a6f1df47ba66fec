#include "common/Lpc/LpcSoloClear.h"

#include <cstdint>

#include "common/Lpc/LpcPDB.h"
#include "jlib/JVariant.h"

namespace LPC {

namespace {

// Each switch followed by its mirror, in the order they are written.
struct Cleared {
    const char* address;
    int32_t value;
};
constexpr Cleared kSoloCleared[] = {
    {"/AuxIn/Solo/On", 0},     {"/AuxIn/Solo/On_Internal", 1},
    {"/OBA/Solo/On", 0},       {"/OBA/Solo/On_Internal", 1},
    {"/ToSpeaker/Solo/On", 0}, {"/ToSpeaker/Solo/On_Internal", 1},
};

}  // namespace

JLIB::JResult soloClear()
{
    JLIB::JResult result = pdb_lock();
    for (const Cleared& row : kSoloCleared) {
        result |= setParamAll(CATEGORY_PDBTYPE_UZVOLATILE, row.address, JVariant(row.value), kDerivedWriteAttr);
    }
    result |= pdb_unlock();
    return result;
}

}  // namespace LPC
