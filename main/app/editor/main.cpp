// The engine program: started by the editor with "key=value" options, or by ./run.sh from its
// own folder with the settings shipped beside it. Headless: it never reads standard input.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "editor/KavoriExceptionFilter.h"
#include "editor/KavoriMain.h"

int main(int argc, char** argv)
{
    // Log lines reach a pipe or a file as they are written, not when a buffer fills.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc >= 2 && std::strcmp(argv[1], "delayedStart") == 0) std::this_thread::sleep_for(std::chrono::seconds(1));
    (void)SetUnhandledExceptionFilter(&TopLevelExceptionFilter);  // always 0
    return KAVORI::mainInternal(argc, argv);
}
