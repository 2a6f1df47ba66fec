#pragma once
// Result codes of the socket objects: 0 success, small positive values statuses, top bit failure.
#include "jlib/jlib_result.h"

namespace VCOM {

constexpr JLIB::JResult kVComOk = 0;
constexpr JLIB::JResult kVComPending = 1;           // connect in progress, accept armed, data sending
constexpr JLIB::JResult kVComMoreData = 2;          // receive: more data waits, another onReceived follows
constexpr JLIB::JResult kVComAlreadyConnected = 6;
constexpr JLIB::JResult kVComFailed = 0x80000000u;
constexpr JLIB::JResult kVComNotAllTaken = 0x80000003u;
constexpr JLIB::JResult kVComNoResource = 0x80000004u;  // UDP receive: socket layer out of resources
constexpr JLIB::JResult kVComTimeout = 0x80000005u;
constexpr JLIB::JResult kVComBadArgument = 0x80000080u;
constexpr JLIB::JResult kVComWrongState = 0x80000081u;
constexpr JLIB::JResult kVComRefused = 0x80000082u;
constexpr JLIB::JResult kVComNoRoom = 0x80000083u;
constexpr JLIB::JResult kVComOtherFailure = 0x80000084u;
constexpr JLIB::JResult kVComNotSupported = 0x80000085u;

// Reason of onConnectionFailed.
enum ConnectionError : int32_t {
    kConnectFailed = 0,
    kConnectTimedOut = 1,
    kConnectionBroken = 2,
};

// Reason of onCommunicationFailed.
enum CommError : int32_t {
    kSendFailed = 0,
    kSendTimedOut = 1,
    kReceivedDataLost = 2,
    kReceiveRestartFailed = 3,
};

}  // namespace VCOM
