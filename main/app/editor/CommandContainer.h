#pragma once
// The registry of editor requests waiting for other threads: at most 100 items keyed by an id
// drawn from the millisecond counter, walked in ascending id order. Any task may call; each
// operation holds the recursive lock "VDProcContainer" for its duration.
#include <cstdint>
#include <map>
#include <string>

#include "TMS/TMSMutex.h"
#include "editor/CommandItem.h"
#include "editor/PacketContainer.h"
#include "jlib/jlib_result.h"

namespace VDProtocol {

class CommandContainer {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;
    static constexpr size_t kMaxItems = 100;

    CommandContainer();
    CommandContainer(const CommandContainer&) = delete;
    CommandContainer& operator=(const CommandContainer&) = delete;
    virtual ~CommandContainer() = default;

    // Registers a copy of the request (no parts yet) under a new id, written back: the millisecond
    // count, counted up past ids in use. 0x80000000 for an empty request id or command name, or
    // when 100 items are pending (nothing stored, id untouched).
    JLIB::JResult addCommand(uint32_t& id, const PacketContainer& request);
    // The lowest id whose request has the command name (and, in the second form, a part of that
    // name); 0 or 0x80000000 when none (id untouched).
    JLIB::JResult findCommand(uint32_t& id, const std::string& commandName) const;
    JLIB::JResult findCommand(uint32_t& id, const std::string& commandName, const std::string& subItemName) const;
    // Id and command name of the lowest id whose request id equals the given one; 0 or 0x80000000.
    JLIB::JResult getRequestCommand(uint32_t& id, std::string& commandName, const std::string& requestId) const;
    // A copy of the stored request, or an empty packet for an id not registered.
    PacketContainer getPacketContainer(uint32_t id) const;
    // Removes the item if present; 0 either way.
    JLIB::JResult takeCommand(uint32_t id);
    // The item operations on the item with the id; 0x80000000 when there is none.
    JLIB::JResult addSubItem(uint32_t id, const std::string& name);
    JLIB::JResult setSubItemStatus(uint32_t id, const std::string& name, int32_t status);
    // The item's isCommandExec; false for an id not registered.
    bool isCommandExec(uint32_t id) const;

    size_t size() const;

private:
    std::map<uint32_t, CommandItem> m_items;
    TMS::TMSMutex m_lock;
};

}  // namespace VDProtocol
