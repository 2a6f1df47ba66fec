#include "TMS/MeasurementTimer.h"

#include <cstdio>

namespace TMS {

namespace {

constexpr const char* kStart = "[i] MeasurementTimer   start";
constexpr const char* kTrace = "[i] MeasurementTimer   trace";
constexpr const char* kEnd = "[i] MeasurementTimer   end  ";

}  // namespace

MeasurementTimer::MeasurementTimer() : MeasurementTimer(kStart, kTrace, kEnd) {}

MeasurementTimer::MeasurementTimer(const char* startLabel, const char* traceLabel, const char* endLabel)
    : m_pStartLabel(startLabel), m_pTraceLabel(traceLabel), m_pEndLabel(endLabel)
{
    (void)start();  // always 0
}

MeasurementTimer::MeasurementTimer(const char* startLabel, const char* endLabel)
    : MeasurementTimer(startLabel, kTrace, endLabel)
{
}

MeasurementTimer::~MeasurementTimer()
{
    if (m_timer.isRunning()) (void)stop();  // running, so it succeeds
}

void MeasurementTimer::printLabel(const char* label) const
{
    if (label) std::printf("%s\t\t", label);
}

JLIB::JResult MeasurementTimer::start()
{
    (void)m_timer.initialize(0);  // always 0
    (void)m_timer.start();        // valid after initialize
    printLabel(m_pStartLabel);
    std::printf("0ms\n");
    return JLIB::kOk;
}

JLIB::JResult MeasurementTimer::trace()
{
    if (!m_timer.isRunning()) return JLIB::kFailed;
    printLabel(m_pTraceLabel);
    std::printf("%dms\n", static_cast<int>(m_timer.getElapsedTime()));
    return JLIB::kOk;
}

JLIB::JResult MeasurementTimer::stop()
{
    if (!m_timer.isRunning()) return JLIB::kFailed;
    printLabel(m_pEndLabel);
    std::printf("%dms\n", static_cast<int>(m_timer.getElapsedTime()));
    return m_timer.stop();
}

}  // namespace TMS
