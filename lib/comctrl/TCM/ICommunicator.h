#pragma once
// The client side of the transfer command repository: clients place commands and collect their
// outcome. Any task; the repository serialises the calls through its owner's mutex.
#include <cstdint>

#include "comctrl/TCM/TcmTypes.h"

namespace TCM {

class ICommunicator {
public:
    virtual ~ICommunicator() = default;

    // A pointer into the slot's command, valid until the slot is released. 0x80000002 for a null
    // output or an index out of range.
    [[nodiscard]] virtual JLIB::JResult refer(const T_COMMAND_INFO** info, uint32_t index) = 0;
    // Reserves the first free slot for clientId (state 1): its index and its contents, which the
    // client fills before drive. 0x80000007 when no slot is free.
    [[nodiscard]] virtual JLIB::JResult takeContents(uint32_t* index, T_COMMAND_CONTENTS** contents,
                                                     uint32_t clientId) = 0;
    // Requests the reserved slot as a command of category 1 to 5. 0x80000005 unless the slot is
    // reserved by clientId.
    [[nodiscard]] virtual JLIB::JResult drive(CATEGORY_TCM_ACTION category, uint32_t index, uint32_t clientId,
                                              bool indexReported) = 0;
    // Gives a reserved slot back. 0x80000005 unless the slot is reserved by clientId.
    [[nodiscard]] virtual JLIB::JResult abort(uint32_t index, uint32_t clientId) = 0;

    // Place a requested command in the lowest free slot and wake the worker; index (optional)
    // receives the slot. 0x80000002 for a null path or client id 0, 0x80000007 when no slot is
    // free, 0x8000000A when the path is longer than 255 characters.
    [[nodiscard]] virtual JLIB::JResult sendFile(uint32_t request, const char* path, uint32_t clientId,
                                                 uint16_t targetId, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult sendHash(uint32_t request, const char* path, uint32_t clientId,
                                                 uint16_t targetId, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult receiveFile(uint32_t request, const char* path, uint32_t clientId,
                                                    uint16_t targetId, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult receiveHash(uint32_t request, const char* path, uint32_t clientId,
                                                    uint16_t targetId, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult sendFile(uint32_t request, const char* path, uint32_t clientId,
                                                 const netc_addr& target, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult sendHash(uint32_t request, const char* path, uint32_t clientId,
                                                 const netc_addr& target, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult receiveFile(uint32_t request, const char* path, uint32_t clientId,
                                                    const netc_addr& target, uint32_t* index) = 0;
    [[nodiscard]] virtual JLIB::JResult receiveHash(uint32_t request, const char* path, uint32_t clientId,
                                                    const netc_addr& target, uint32_t* index) = 0;
    // As sendFile with the event's name (null for none, at most 23 characters) and text.
    [[nodiscard]] virtual JLIB::JResult sendEvent(uint32_t request, const char* name, const char* text,
                                                  uint32_t clientId, uint16_t targetId) = 0;
    [[nodiscard]] virtual JLIB::JResult sendEvent(uint32_t request, const char* name, const char* text,
                                                  uint32_t clientId, const netc_addr& target) = 0;

    // Asks the worker to cancel a requested or running command of clientId: it is signalled again
    // as category 5. 0x80000005 when the slot is not such a command.
    [[nodiscard]] virtual JLIB::JResult cancel(uint32_t index, uint32_t clientId) = 0;
    // The first completed or failed slot of clientId; 0x80000007 when there is none.
    [[nodiscard]] virtual JLIB::JResult search(uint32_t* index, uint32_t clientId) = 0;
    // A pointer into the slot's progress, as refer.
    [[nodiscard]] virtual JLIB::JResult watch(const T_COMMAND_PROGRESS** progress, uint32_t index) = 0;
    // Clears the slot when it is a completed or failed command of clientId; any other slot is left
    // as it is, still with 0.
    [[nodiscard]] virtual JLIB::JResult release(uint32_t index, uint32_t clientId) = 0;
};

}  // namespace TCM
