#pragma once
// Start and end of the OS wrapper. oswrap_init must succeed before any other oswrap_ call and
// oswrap_exit comes last; both are meant for the process's start-up and shut-down thread.
#include "oswrap/oswrap_types.h"

// The arguments are not read. 0, or 0x80000008 when already started.
[[nodiscard]] JLIB::JResult oswrap_init(void* unused, uint32_t unused1, uint32_t unused2);
// Terminates and deletes every task, then clears every table. 0, or 0x80000008 when not started.
[[nodiscard]] JLIB::JResult oswrap_exit();
// Always 0x80000002.
[[nodiscard]] JLIB::JResult oswrap_os_start();
