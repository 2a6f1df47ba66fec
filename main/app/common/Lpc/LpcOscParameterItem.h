#pragma once
// The OSC side of the 145 protocol parameters: the "uz:" address of each, the expression that
// shows its value as text and whether its changes reach every OSC client. A program constant
// built before the process entry runs; any task reads it and its lookups without a lock.
#include <cstdint>
#include <string>

#include "common/Lpc/LpcMemoryIndex.h"
#include "jlib/jlib_result.h"

namespace LPC {

class IExpression;

struct OscParameterItem {
    std::string address;
    MemoryIndex memoryIndex;
    // One of the three expression singletons of LpcExpression.h, or null.
    const IExpression* expression;
    // When false, changes are announced only with the setting "EmitAllJOSCNotify".
    bool isExposed;
};

// Row i has memory index i.
extern const OscParameterItem sParameterItemTable[MEMORY_INDEX_NUM];

// The row, or null above row 144.
const OscParameterItem* getParameterItem(uint32_t row);
// A copy of the row's address; "" for an index without a row.
std::string getParameterName(MemoryIndex index);
// The first row whose address equals the text exactly (case counts): 0 with its index stored.
// 0x80000000 with index untouched when no row matches or the text is null.
[[nodiscard]] JLIB::JResult getMemoryIndexFromOscAddress(MemoryIndex& index, const char* address);

}  // namespace LPC
