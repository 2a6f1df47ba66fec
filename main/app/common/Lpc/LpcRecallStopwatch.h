#pragma once
// The recall stopwatch: times a scene recall from the command that asks for it to the moment the
// rack has taken the last value, for the debug output on standard output. Process-wide; the OSC
// server, the device-control and the rack link threads start, lap and end it without a lock, so
// every field is atomic. Any task.
#include <cstdint>

namespace LPC {

// Start time = now; the recalling flag goes on.
void dbg_startRecall();
// With print set, prints "lap time[<mark>] <ms>[ms]" with the milliseconds since the start.
void dbg_lapRecall(int32_t mark, bool print);
// The recalling flag goes off, end time = now; prints "recall time <ms>[ms]" from start to end.
void dbg_endRecall();
// Whether a timed recall runs (started and not yet ended).
bool dbg_isRecalling();

}  // namespace LPC
