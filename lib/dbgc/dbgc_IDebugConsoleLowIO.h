#pragma once
// The byte transport of one console and the events it reports to the console that uses it.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DBGC {

class IDebugConsoleLowIOCallback;

// Carries bytes between one console user and a shell; also an output of the debug print.
// send may be called by any task that holds the debug print's output lock; the other operations
// belong to the task that owns the console.
class IDebugConsoleLowIO {
public:
    virtual ~IDebugConsoleLowIO() = default;
    // Opens the transport; the callback is borrowed and must outlive the open transport.
    virtual JLIB::JResult initialize(IDebugConsoleLowIOCallback& callback) = 0;
    virtual JLIB::JResult finalize() = 0;
    virtual JLIB::JResult pollChar() = 0;
    // Copies up to size received bytes; *received tells how many (0 when none are waiting).
    virtual JLIB::JResult receive(void* buffer, uint32_t size, uint32_t* received) = 0;
    // Queues bytes for the peer; *sent tells how many it took, which may be fewer than size.
    virtual JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) = 0;
    virtual JLIB::JResult flush() = 0;
    // Delivers the recorded events to the callback on the calling task.
    virtual JLIB::JResult runCallback() = 0;
};

// Events of a transport, each naming the transport that raised it.
class IDebugConsoleLowIOCallback {
public:
    virtual ~IDebugConsoleLowIOCallback() = default;
    // Events are waiting. Called on the transport's own task: only hand the work on.
    virtual JLIB::JResult onLowIOWakeup(IDebugConsoleLowIO& lowIO) = 0;
    // A peer has connected; called from runCallback.
    virtual JLIB::JResult onLowIOPrepared(IDebugConsoleLowIO& lowIO) = 0;
    // Bytes have arrived; called from runCallback.
    virtual JLIB::JResult onLowIOReceived(IDebugConsoleLowIO& lowIO) = 0;
};

}  // namespace DBGC
