#pragma once
// The protocol-memory side of the 145 protocol parameters: per parameter the component of the
// device database, the member count and letters, protection and pair flag, the catalogue entries
// that carry each member to the rack and the converter to the rack's normalised values. A program
// constant built before the process entry runs; only addressIds changes afterwards, written by
// LpcUzProtoMemory::initialize and finalize on the protocol's device-control task while no other
// task uses the memory. Every other task only reads.
#include <cstdint>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "common/Lpc/LpcMemoryIndex.h"
#include "common/Lpc/LpcPDB.h"

namespace LPC {

class IValueConverter;
class ModuleParamBase;

// The catalogue entries of one member, in sending order; borrowed program constants.
using ModuleParamList = std::vector<const ModuleParamBase*>;
// Delivers a normalised plug-in value in place of the rack library; its result is not used.
using SendFunction = uint32_t (*)(const char* guid, int paramNo, double value);

struct MemoryItem {
    MemoryIndex index;
    CATEGORY_OF_PDBTYPE category;
    // Empty, or one non-empty list per member.
    std::vector<ModuleParamList> pluginParams;
    // 1, or the number of post-fix letters.
    uint32_t argNum;
    // Every write carries the object-pair flag as one extra value.
    bool isPair;
    // Member letters ("xyz", "xy", "LMH") or ""; never null.
    const char* postFix;
    // Writes from outside need the setting "JOSCWritable".
    bool isProtected;
    // Null in every row.
    SendFunction sendFunction;
    // A program-wide converter singleton, or null.
    const IValueConverter* converter;
    // One resolved member per argument, in member order; empty until initialised.
    std::vector<PDB::AddressId> addressIds;
};

// Row i has index i.
extern MemoryItem sMemoryItemTable[MEMORY_INDEX_NUM];

}  // namespace LPC
