#pragma once
// Stand-ins for two system calls of the socket layer, so that tests can give the answers the
// system gives seldom or never on a loopback connection. Linked into each socket test program
// (SystemStandIn.cpp); every call passes through unchanged unless a test asks otherwise, and the
// settings are process-wide.

namespace vsocktest {

// A connection its client reset before it was taken: Linux hands it over as a dead socket, BSD
// systems drop it and fail accept with ECONNABORTED. With an error set, accept gives the BSD
// answer with that error (0 restores Linux). Each new connection is watched for at most 2 s for
// its first data or its reset, so the order of a test's client and the socket task does not matter.
void failAcceptOfResetConnections(int error);
// Connections dropped that way so far.
int droppedConnections();

// The next recv on descriptor fd answers EAGAIN and reads nothing: a wake-up that finds nothing.
void wouldBlockOnce(int fd);
// Whether that recv has happened.
bool wouldBlockTaken();

// Back to the system's own answers; at scope end.
class StandInReset {
public:
    StandInReset() = default;
    ~StandInReset();
    StandInReset(const StandInReset&) = delete;
    StandInReset& operator=(const StandInReset&) = delete;
};

}  // namespace vsocktest
