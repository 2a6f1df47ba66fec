#pragma once
// Mailboxes: first-in first-out queues of caller-owned T_OSW_MSG records, linked through their
// first field; nothing is copied or allocated. Any task may call.
#include "oswrap/oswrap_types.h"

// Id 1..99. 0x80000005 for a null record or bad id, 0x80000008 when taken.
[[nodiscard]] JLIB::JResult oswrap_CreMbx(uint16_t id, const T_OSW_CMBX* pk);
// Picks the highest free id in 100..200; *id is 0 when the create failed and untouched on 0x80000010.
[[nodiscard]] JLIB::JResult oswrap_AcreMbx(uint16_t* id, const T_OSW_CMBX* pk);
// 0x80000008 when not created; queued messages are dropped (their records are not touched).
[[nodiscard]] JLIB::JResult oswrap_DelMbx(uint16_t id);
// Appends at the tail. 0x80000006 for an id outside 1..200, 0x80000007 when not created,
// 0x80000005 for a null message.
[[nodiscard]] JLIB::JResult oswrap_SndMsg(uint16_t id, T_OSW_MSG* msg);
// 0x80000002 once the id and the mailbox are valid.
[[nodiscard]] JLIB::JResult oswrap_SndMsgFromISR(uint16_t id, T_OSW_MSG* msg);
[[nodiscard]] JLIB::JResult oswrap_RcvMsg(T_OSW_MSG** msg, uint16_t id);
// Time-out 0 takes without waiting (empty: 0x8000000C, *msg null); -1 waits without limit.
// A received message has a null link.
[[nodiscard]] JLIB::JResult oswrap_TrcvMsg(T_OSW_MSG** msg, uint16_t id, int32_t timeoutMs);
// First created mailbox whose name matches over 9 characters; 0x8000000E when none.
[[nodiscard]] JLIB::JResult oswrap_VinqMbx(uint16_t* id, const char* name);
// 0 when the queue is empty; 0x80000008 when it holds a message or the id is outside 1..200.
[[nodiscard]] JLIB::JResult oswrap_IsMsgBoxEmpty(uint16_t id);
