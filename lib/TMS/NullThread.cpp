#include "TMS/NullThread.h"

namespace TMS {

NullThread::NullThread() : AbstractThread(1, "NullThread") {}

JLIB::JResult NullThread::initialize(const char*, int16_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                     const ArgumentMap&)
{
    return JLIB::kOk;
}

JLIB::JResult NullThread::initialize(uint16_t, const char*, int16_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                     const ArgumentMap&)
{
    return JLIB::kOk;
}

JLIB::JResult NullThread::release() { return JLIB::kOk; }
JLIB::JResult NullThread::start(const ArgumentMap&) { return JLIB::kOk; }
JLIB::JResult NullThread::stop(const ArgumentMap&) { return JLIB::kOk; }
JLIB::JResult NullThread::pause(const ArgumentMap&) { return JLIB::kOk; }
JLIB::JResult NullThread::sendEvent(uint32_t) { return JLIB::kOk; }
JLIB::JResult NullThread::sendMessage(const AbstractMessage&) { return JLIB::kOk; }
JLIB::JResult NullThread::sendMessageWithWaiting(const AbstractMessage&) { return JLIB::kOk; }
JLIB::JResult NullThread::onTimer(uint32_t, uint32_t) { return JLIB::kOk; }
JLIB::JResult NullThread::loop() { return JLIB::kOk; }
JLIB::JResult NullThread::setParent(AbstractThread*) { return JLIB::kOk; }
JLIB::JResult NullThread::clearParent() { return JLIB::kOk; }
JLIB::JResult NullThread::changeStatus(uint32_t, const ArgumentMap&) { return JLIB::kOk; }
JLIB::JResult NullThread::waitStatus(uint32_t) { return JLIB::kOk; }
JLIB::JResult NullThread::onInitialize(const ArgumentMap&) { return JLIB::kOk; }
JLIB::JResult NullThread::onChangeStatus(uint32_t, const ArgumentMap&) { return JLIB::kOk; }
JLIB::JResult NullThread::onChangeChildStatus() { return JLIB::kOk; }
JLIB::JResult NullThread::onChangeSystemInfo() { return JLIB::kOk; }
JLIB::JResult NullThread::onReceiveEvent(uint32_t) { return JLIB::kOk; }
JLIB::JResult NullThread::onReceiveMessage(const AbstractMessage&) { return JLIB::kOk; }
JLIB::JResult NullThread::onWakeup() { return JLIB::kOk; }
JLIB::JResult NullThread::onFinalize() { return JLIB::kOk; }
JLIB::JResult NullThread::onReceiveSysMessage(const AbstractMessage&) { return JLIB::kOk; }
JLIB::JResult NullThread::onReceiveSystemInfoEvent() { return JLIB::kOk; }
JLIB::JResult NullThread::onDestroyChildThread(AbstractThread&) { return JLIB::kOk; }

}  // namespace TMS
