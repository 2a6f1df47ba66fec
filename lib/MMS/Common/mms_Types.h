#pragma once
// Small records shared by the nodes, roots and images of the parameter tree library.
#include <cstdint>

namespace MMS {

// Where a node lies in one of a root's spaces: the position of element i is offset + i x unit.
struct T_ADDR_INFO {
    uint32_t offset = 0;
    uint32_t unit = 0;
};

// A node or element of a tree: the node index per level, the element index per level below the
// top (may be null where no element is meant) and the depth (0 names the top collection). The
// vectors are borrowed from the caller for the duration of one call.
struct T_FAST_ADDRESS {
    const uint32_t* nodes = nullptr;
    const uint32_t* indexes = nullptr;
    uint32_t depth = 0;
};

// A tree has at most five levels below its top, so five-entry vectors always suffice.
constexpr uint32_t kMmsMaxDepth = 5;

// How the flags of a filter image lie: like the root's own value block, or like the value area of
// the image being imported.
enum E_FILTER_STRUCTURE : uint32_t {
    E_FILTER_STRUCTURE_VALUES = 0,
    E_FILTER_STRUCTURE_IMAGE = 1,
};

}  // namespace MMS
