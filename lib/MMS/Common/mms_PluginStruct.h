#pragma once
// The context a collection hands to its plug-in: where the enclosing element of the collection's
// parent lies in the root's memories, and what the set that reached the plug-in carries. The
// plug-in passes it back unchanged to every operation of its collection wrapper, which moves the
// bases to the instance asked for and ORs the results of its sets into resultFlags. Lives for one
// call on the caller's stack.
#include <cstdint>

namespace MMS {

class IDirtyFlagHolder;
class ISetChecker;
class ProcessOption;
class SetOrderNotifyWrapper;

struct MMS_PLUGIN_STRUCT {
    uint32_t resultFlags = 0;
    uint32_t level = 0;  // level of the collection that made the context
    uint8_t factor = 0;
    const ISetChecker* checker = nullptr;
    unsigned char* valueMemory = nullptr;  // start of the parent's enclosing element
    IDirtyFlagHolder* holder = nullptr;
    uint32_t dirtyBase = 0;                // bit number of the parent's enclosing element
    unsigned char* factorMemory = nullptr;  // the root's factor origin: bytes sit at their dirty bit numbers
    ProcessOption* pluginList = nullptr;   // the collection's own slot
    SetOrderNotifyWrapper* notifySetter = nullptr;
    uint32_t serialBase = 0;
};

}  // namespace MMS
