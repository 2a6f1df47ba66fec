#pragma once
// One pending editor request: a copy of the request packet, the id the registry holds it under,
// and the named parts still being carried out by other threads. A plain value.
#include <cstdint>
#include <map>
#include <string>

#include "editor/PacketContainer.h"
#include "jlib/jlib_result.h"

namespace VDProtocol {

class CommandItem {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;
    static constexpr int32_t kExecuting = 1;   // a part still being carried out
    static constexpr int32_t kNoSubItem = -1;  // subItemStatus of a name never added

    CommandItem() = default;
    CommandItem(const PacketContainer& request, uint32_t id);
    CommandItem(const CommandItem& other) = default;
    CommandItem& operator=(const CommandItem& other) = default;
    virtual ~CommandItem() = default;

    // Sets the part's status to 1, creating it when needed; 0.
    JLIB::JResult addSubItem(const std::string& name);
    // 0, or 0x80000000 for a name never added.
    JLIB::JResult setSubItemStatus(const std::string& name, int32_t status);
    // The status, or -1 for a name never added.
    int32_t subItemStatus(const std::string& name) const;
    bool hasSubItem(const std::string& name) const { return m_subItems.count(name) != 0; }
    // True without parts or while any part has status 1.
    bool isCommandExec() const;

    uint32_t id() const { return m_id; }
    const std::string& commandName() const { return m_request.commandName(); }
    const std::string& requestID() const { return m_request.requestID(); }
    const PacketContainer& getPacketContainer() const { return m_request; }

private:
    PacketContainer m_request;
    uint32_t m_id = 0;
    std::map<std::string, int32_t> m_subItems;
};

}  // namespace VDProtocol
