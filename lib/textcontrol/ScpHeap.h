#pragma once
// The heap every allocation of the text control protocol draws from. Recorded process-wide by
// the server's creator; read by any task.
#include "jlib/JHeap.h"
#include "jlib/JString.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

// 0 (the global heap) until a server is created.
extern JLIB::HeapId gScpHeapId;

JLIB::HeapId getScpHeapId();

// An empty text of `capacity` characters on the SCP heap, tagged "UnicodeString".
ScpString makeScpString(uint32_t capacity);

}  // namespace SCP
