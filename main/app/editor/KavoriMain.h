#pragma once
// The process on its main thread, in a fixed order: the start-up options, heap output, the thread
// framework, the product information with its folders, the socket layer, the root thread
// "System" until the whole tree has ended (SIGINT and SIGTERM ask it to close), then everything
// down again in reverse and, on end status 1, the restart command. Main thread only; once per
// process.
#include <cstdint>

#include "TMS/TMSystem.h"
#include "editor/KavoriClientSystemThread.h"
#include "editor/KavoriProcessSignals.h"
#include "jlib/jlib_result.h"

namespace KAVORI {

// 0 once the root has run and ended; 1 when it could not be initialised, started or declare the
// shared parameters (it is released again at once).
int mainInternal(int argc, char** argv);

// The steps of mainInternal, in their order; runProcess joins them around a root of the given
// class (the engine's own root, or one holding stand-in children).
namespace entry {

// The options and the heap output.
void prepareProcess(int argc, char** argv);
// The product information, the folders the options give, the socket layer. Needs the framework.
void prepareServices();
// Initialises and starts the root, then waits until it has ended, answering SIGINT and SIGTERM
// with a "Close" request; endStatus is the root's. 0x80000000 when the root failed to come up.
[[nodiscard]] JLIB::JResult runRoot(KavoriClientSystemThread& root, KavoriProcessSignals& signals,
                                    uint32_t& endStatus);
// The socket layer and the product information (the user folder goes on end status 1).
void endServices(uint32_t endStatus);
// The restart command on end status 1; the process's exit code.
int endProcess(int argc, char** argv, uint32_t endStatus, JLIB::JResult ran, KavoriProcessSignals& signals);

}  // namespace entry

template <class Root>
int runProcess(int argc, char** argv)
{
    KavoriProcessSignals signals;  // before the first task, which inherits the block
    entry::prepareProcess(argc, argv);
    uint32_t endStatus = 0;
    JLIB::JResult ran = JLIB::kOk;
    {
        TMS::TMSystem system;
        entry::prepareServices();
        {
            Root root;
            ran = entry::runRoot(root, signals, endStatus);
        }
        entry::endServices(endStatus);
    }
    return entry::endProcess(argc, argv, endStatus, ran, signals);
}

}  // namespace KAVORI
