#pragma once
// How a meter data client tells its owner that datagrams have arrived.
#include "jlib/jlib_result.h"

namespace JMDP {

class JMDPClient;

class IJMDPClientCallback {
public:
    // Runs on the socket layer's task inside the client lock "JMDPClient": hand the work to the
    // owner's own thread (which then calls receive); never finalize or delete the client here.
    virtual JLIB::JResult onReceivedMeterPacket(JMDPClient& client) = 0;

protected:
    ~IJMDPClientCallback() = default;
};

}  // namespace JMDP
