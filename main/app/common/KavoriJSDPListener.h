#pragma once
// The process-wide listener (role 2): announces like the responder and lists the services the
// discovery library has heard. Owner task only.
#include <cstdint>
#include <string>
#include <vector>

#include "common/KavoriJSDPAbstract.h"

namespace KAVORI {

class KavoriJSDPListener : public KavoriJSDPAbstract {
public:
    struct ServiceRecord {
        std::string name;
        std::string address;  // the host's address as text, at most 40 characters
        uint8_t mac[6] = {};
        std::string first;
        std::string text;
        std::string host;
        uint8_t status = 0;  // as the library reports it for the host
    };

    static KavoriJSDPListener& getInstance();
    uint8_t role() const override { return 2; }

    // Empties the list, then appends each heard host whose name the filter begins with (every
    // host for a null filter) and whose extra information holds three texts; 0.
    JLIB::JResult getServices(std::vector<ServiceRecord>& records, const char* filter);
};

}  // namespace KAVORI
