#pragma once
// Stopwatch for tracing: prints its labels and the elapsed milliseconds to standard output.
// Used by one task at a time.
#include "TMS/ObjectTimer.h"
#include "jlib/jlib_result.h"

namespace TMS {

class MeasurementTimer {
public:
    // Each constructor starts the watch; labels are borrowed and may be null (printing nothing).
    MeasurementTimer();
    MeasurementTimer(const char* startLabel, const char* traceLabel, const char* endLabel);
    MeasurementTimer(const char* startLabel, const char* endLabel);
    virtual ~MeasurementTimer();
    MeasurementTimer(const MeasurementTimer&) = delete;
    MeasurementTimer& operator=(const MeasurementTimer&) = delete;

    JLIB::JResult start();
    // 0x80000000 when not running.
    JLIB::JResult trace();
    JLIB::JResult stop();

private:
    void printLabel(const char* label) const;

    const char* m_pStartLabel;
    const char* m_pTraceLabel;
    const char* m_pEndLabel;
    ObjectTimer m_timer;
};

}  // namespace TMS
