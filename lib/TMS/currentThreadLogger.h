#pragma once
// The log ring of the framework thread that runs the caller, or null for any other caller.
namespace TMS {

class ThreadLogger;

ThreadLogger* currentThreadLogger();

}  // namespace TMS
