#pragma once
// The shared thread that every lookup returns when it finds nothing: named "NullThread", never
// set up; its requests, sends and hooks do nothing and answer 0. Any task.
#include "TMS/AbstractThread.h"

namespace TMS {

class NullThread : public AbstractThread {
public:
    NullThread();

    JLIB::JResult initialize(const char*, int16_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t,
                             const ArgumentMap&) override;
    JLIB::JResult initialize(uint16_t, const char*, int16_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t,
                             const ArgumentMap&) override;
    JLIB::JResult release() override;
    bool isNull() const override { return true; }
    JLIB::JResult start(const ArgumentMap&) override;
    JLIB::JResult stop(const ArgumentMap&) override;
    JLIB::JResult pause(const ArgumentMap&) override;
    JLIB::JResult sendEvent(uint32_t) override;
    JLIB::JResult sendMessage(const AbstractMessage&) override;
    JLIB::JResult sendMessageWithWaiting(const AbstractMessage&) override;
    JLIB::JResult onTimer(uint32_t, uint32_t) override;
    JLIB::JResult loop() override;
    JLIB::JResult setParent(AbstractThread*) override;
    JLIB::JResult clearParent() override;
    JLIB::JResult changeStatus(uint32_t, const ArgumentMap&) override;
    JLIB::JResult waitStatus(uint32_t) override;

protected:
    JLIB::JResult onInitialize(const ArgumentMap&) override;
    JLIB::JResult onChangeStatus(uint32_t, const ArgumentMap&) override;
    JLIB::JResult onChangeChildStatus() override;
    JLIB::JResult onChangeSystemInfo() override;
    JLIB::JResult onReceiveEvent(uint32_t) override;
    JLIB::JResult onReceiveMessage(const AbstractMessage&) override;
    JLIB::JResult onWakeup() override;
    JLIB::JResult onFinalize() override;
    JLIB::JResult onReceiveSysMessage(const AbstractMessage&) override;
    JLIB::JResult onReceiveSystemInfoEvent() override;
    JLIB::JResult onDestroyChildThread(AbstractThread&) override;
};

}  // namespace TMS
