#pragma once
// Made once by the entry point before any thread and destroyed after the last: brings the OS
// wrapper and the thread registry (with its tick task) up and down. Start failures are not
// reported: lookups then give the null thread and registration fails.
namespace TMS {

class TMSystem {
public:
    TMSystem();
    ~TMSystem();
    TMSystem(const TMSystem&) = delete;
    TMSystem& operator=(const TMSystem&) = delete;
};

}  // namespace TMS
