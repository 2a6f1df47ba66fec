#pragma once
// The description of a root's memories that another root borrows, restores or copies from. An
// in-memory record that points into the described root: valid only while that root lives, and
// only under the locks of its field.
#include <cstdint>

namespace MMS {

class Collection;
class ProcessOption;

struct sharedRootInfo {
    uint32_t recordSize = sizeof(sharedRootInfo);
    Collection* topNode = nullptr;  // start of the node pool, or the described sub-tree's collection
    uint32_t nodeMemorySize = 0;
    char* stringPool = nullptr;
    uint32_t stringPoolSize = 0;
    unsigned char* tagArea = nullptr;
    uint32_t tagAreaSize = 0;
    unsigned char* values = nullptr;  // null for a sub-tree (the size is then one instance's)
    uint32_t valueSize = 0;
    int64_t* taskListOrigin = nullptr;  // null for a sub-tree
    uint32_t dirtySize = 0;              // bytes of one dirty area
    unsigned char* factors = nullptr;    // null for a sub-tree
    uint32_t factorSize = 0;
    ProcessOption* plugins = nullptr;  // advanced to the sub-tree's first slot for a sub-tree
    char descName[24] = {};
    char version[12] = {};
    uint32_t importFlagSize = 0;  // bytes of one import flag memory
};

}  // namespace MMS
