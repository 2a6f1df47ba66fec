#pragma once
// The whole OS wrapper interface.
#include "oswrap/oswrap_eventflag.h"
#include "oswrap/oswrap_interlocked.h"
#include "oswrap/oswrap_mailbox.h"
#include "oswrap/oswrap_module.h"
#include "oswrap/oswrap_semaphore.h"
#include "oswrap/oswrap_task.h"
#include "oswrap/oswrap_time.h"
#include "oswrap/oswrap_types.h"
