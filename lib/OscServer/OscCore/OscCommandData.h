#pragma once
// The parts of an OSC address as the server reads a request and builds replies and notifications
// from them: "/josc:" type "/" command "/" address "/" x "/" y. Plain value.
#include <string>

namespace JOSC {

struct OscCommandData {
    std::string type;     // "req" on requests; "ok", "okm", "error" on replies; "notify"
    std::string command;  // the command word
    std::string address;  // parameter or meter address
    std::string x;        // index texts, origin 0 inside the server; empty when absent
    std::string y;
};

}  // namespace JOSC
