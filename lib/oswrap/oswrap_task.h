#pragma once
// Tasks: numbered POSIX threads named after the task (priority and stack size are recorded, not
// applied), each with a task flag word on which only the task itself waits and which any task may
// set or clear. Bit OSWRAP::kTerminateBit of the word asks the task to end.
#include "oswrap/oswrap_types.h"

// Id 1..49. 0x80000005 for a null record or bad id, 0x80000008 when taken. The task is dormant.
[[nodiscard]] JLIB::JResult oswrap_CreTsk(uint16_t id, const T_OSW_CTSK* pk);
// Picks the highest free id in 50..100; *id is 0 when the create failed and untouched on 0x80000010.
[[nodiscard]] JLIB::JResult oswrap_AcreTsk(uint16_t* id, const T_OSW_CTSK* pk);
// Deletes the task flag word and frees the entry; the thread itself is not touched. 0x80000007
// when not created.
[[nodiscard]] JLIB::JResult oswrap_DelTsk(uint16_t id);
// Starts a dormant task's thread; arg goes to its entry function. 0x80000007 not created,
// 0x80000008 not dormant, 0x80000013 when the thread cannot be made.
[[nodiscard]] JLIB::JResult oswrap_StaTsk(uint16_t id, void* arg);
// Asks a running task to end and waits up to 5000 ms for it to call oswrap_ExtTsk: 0 when it did,
// 0x8000000C when not (the request stays set), 0x80000008 for a task without a running thread.
[[nodiscard]] JLIB::JResult oswrap_TerTsk(uint16_t id);
// Ends the calling task's thread and does not return then; 0x80000007 for a thread that is not a task.
[[nodiscard]] JLIB::JResult oswrap_ExtTsk();
// 0x80000007 when not created, else 0x80000002.
[[nodiscard]] JLIB::JResult oswrap_SusTsk(uint16_t id);
[[nodiscard]] JLIB::JResult oswrap_RsmTsk(uint16_t id);
[[nodiscard]] JLIB::JResult oswrap_RsmTskFromISR(uint16_t id);
// Fills the record (the name only when rtsk->name is a buffer, not all bits set); not created:
// 0x80000007 with the whole record zeroed.
[[nodiscard]] JLIB::JResult oswrap_RefTsk(T_OSW_RTSK* rtsk, uint16_t id);
// The task id of the calling task, or 0x8000 plus a slot for any other thread; the slot is kept
// while that thread lives. Status 9 and id 0 when all 100 slots are taken.
[[nodiscard]] JLIB::JResult oswrap_GetTskId(uint16_t* id);
// First created task whose name matches over 9 characters; 0x8000000E when none.
[[nodiscard]] JLIB::JResult oswrap_VinqTsk(uint16_t* id, const char* name);
// 0 when termination of the calling task was requested, 0x80000008 when not, 0x80000007 for a
// thread that is not a task, 0x80000009 for a thread without id.
[[nodiscard]] JLIB::JResult oswrap_CheckReqTerminate();
// Write 0 and return 0x80000002.
[[nodiscard]] JLIB::JResult oswrap_GetTskLoad(uint16_t* load, uint16_t id);
[[nodiscard]] JLIB::JResult oswrap_GetProcessLoad(uint16_t* load);

// Task flag words. Set ORs the bits in, clear ANDs the word with the mask; both wake the task.
// 0x80000007 when the task is not created, 0x80000013 when it cannot be woken.
[[nodiscard]] JLIB::JResult oswrap_VsetTfl(uint16_t id, uint32_t bits);
[[nodiscard]] JLIB::JResult oswrap_VclrTfl(uint16_t id, uint32_t mask);
// Checks the id only (0 or 0x80000005); sets nothing.
[[nodiscard]] JLIB::JResult oswrap_VsetTflFromISR(uint16_t id, uint32_t bits);
// The calling task waits on its own word for any bit of waitPattern or the termination request.
// Every bit set at that moment is cleared and reported in *pattern; when the termination request
// was among them it is removed from *pattern and the result is 0x80000011. Time-out 0 checks once,
// -1 waits without limit; 0x8000000C and *pattern 0 when nothing matched; 0x80000007 for a caller
// that is not a created task.
[[nodiscard]] JLIB::JResult oswrap_VtwaiTfl(uint32_t* pattern, uint32_t waitPattern, int32_t timeoutMs);
