#pragma once
// Recall safe: per sound object, switches of the setup component name groups of current settings
// (position, size, aux send, reverb send) that a scene recall must leave as they are. The tables
// are fixed at build time and resolved against the device database by initialize. No state of its
// own; initialize and getRecallSafeList run on the device-control thread.
#include <cstdint>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/jlib_result.h"

namespace PDB {
class SnapshotContentsList;
}

namespace LPC {

struct T_RECALLSAFE_PARAM {
    PDB::AddressId id;  // resolved by RecallSafe::initialize
    CATEGORY_OF_PDBTYPE category;
    const char* address;
};

// One group: its switch (setup component) and the current settings it holds back.
struct T_RECALLSAFE_INFO {
    T_RECALLSAFE_PARAM recallSafe;
    std::vector<T_RECALLSAFE_PARAM> params;
};

constexpr uint32_t kRecallSafeGroupNum = 4;
// Position, Size, AuxSend, RevSend, in this order.
extern T_RECALLSAFE_INFO gl_recallSafeInfos[kRecallSafeGroupNum];
// The master switch "/OBA/Object/RecallSafe/On" of the setup component.
extern PDB::AddressId gl_recallSafeOn;
extern const char* const kRecallSafeOnAddress;

class RecallSafe {
public:
    RecallSafe() = default;
    virtual ~RecallSafe() = default;
    RecallSafe(const RecallSafe&) = delete;
    RecallSafe& operator=(const RecallSafe&) = delete;

    // Resolves the tables in the device database; the first address a definition file lacks ends
    // it with pdb_addressCheck's code. Resolving again gives the same ids.
    [[nodiscard]] JLIB::JResult initialize();
    // Adds, for every object whose master switch is on, the parameters of each group whose switch
    // is on (element (object, 0)). Unreadable switches are skipped; a failing add ends the walk and
    // is the answer. No lock of its own: the caller holds the database's write lock.
    [[nodiscard]] JLIB::JResult getRecallSafeList(PDB::SnapshotContentsList& list) const;
};

// Writes value to the five switches of objects 0 to 127 through the link path; any task. Always 0.
JLIB::JResult setRecallSafe(uint32_t value);

}  // namespace LPC
