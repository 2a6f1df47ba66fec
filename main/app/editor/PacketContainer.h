#pragma once
// One editor-link packet in memory: category, sender, receiver, request id, command type and
// name, an optional result (code, progress, message), the command information and an ordered
// list of argument maps. A plain value: copied deeply, owned by one thread at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/ArgumentMap.h"
#include "jlib/jlib_result.h"

namespace VDProtocol {

// Splits the text at every occurrence of the separator, keeping empty pieces: a text without
// the separator gives one piece, an empty text one empty piece. An empty separator gives the
// text whole.
std::vector<std::string> splitString(const std::string& text, const std::string& separator);

class PacketContainer {
public:
    static constexpr JLIB::JResult kFailed = 0x80000000u;
    static constexpr JLIB::JResult kAbort = 1;
    static constexpr uint32_t kMaxProgress = 100;

    PacketContainer() = default;
    PacketContainer(const PacketContainer& other) = default;
    PacketContainer& operator=(const PacketContainer& other) = default;
    virtual ~PacketContainer() = default;

    // Clears the packet and stores category, from, to and request id (a null pointer is an empty
    // text). For "abort" answers 1 and leaves the command alone; otherwise setCommandString's
    // result.
    JLIB::JResult initialize(const char* category, const char* command, const char* from, const char* to,
                             const char* requestId);
    // Splits "type_name": the first piece is the type; the name joins the other pieces with "_",
    // empty pieces before the first non-empty one dropped. 0x80000000 for a text without "_"
    // (type and name then stay as they were).
    JLIB::JResult setCommandString(const std::string& command);
    // Empty when the name is empty, the name alone when the type is empty, else type "_" name.
    std::string getCommandString() const;
    std::string command() const { return getCommandString(); }

    JLIB::JResult setCategory(const std::string& category);
    JLIB::JResult setCommandType(const std::string& type);
    JLIB::JResult setCommandName(const std::string& name);
    JLIB::JResult setFrom(const std::string& from);
    JLIB::JResult setTo(const std::string& to);
    JLIB::JResult setResuesuID(const std::string& requestId);
    // Marks the packet as carrying a result; progress above 100 is stored as 100. 0.
    JLIB::JResult setResult(uint32_t code, uint32_t progress, const std::string& message);
    JLIB::JResult setCmndInfo(const ArgumentMap& info);
    JLIB::JResult addCmndListItem(const ArgumentMap& item);
    JLIB::JResult clearCmndList();

    const std::string& category() const { return m_category; }
    const std::string& from() const { return m_from; }
    const std::string& to() const { return m_to; }
    const std::string& requestID() const { return m_requestId; }
    const std::string& commandType() const { return m_commandType; }
    const std::string& commandName() const { return m_commandName; }
    bool isResult() const { return m_isResult; }
    uint32_t resultCode() const { return m_resultCode; }
    uint32_t progress() const { return m_progress; }
    const std::string& message() const { return m_message; }
    const ArgumentMap& cmndInfo() const { return m_cmndInfo; }
    size_t cmndInfoNum() const { return m_cmndInfo.size(); }
    size_t cmndListNum() const { return m_cmndList.size(); }
    // The item at the index; an index past the end gives a shared empty map.
    const ArgumentMap& cmndListItem(size_t index) const;

    // The result's wire text: the table's text, else "ng" for a failure code and "ok" otherwise.
    std::string resultToString() const;
    // The progress in decimal.
    std::string progressToString() const;

    void clear();

private:
    std::string m_category;
    std::string m_from;
    std::string m_to;
    std::string m_requestId;
    std::string m_commandType;
    std::string m_commandName;
    bool m_isResult = false;
    uint32_t m_resultCode = 0;
    uint32_t m_progress = 0;
    std::string m_message;
    ArgumentMap m_cmndInfo;
    std::vector<ArgumentMap> m_cmndList;
};

}  // namespace VDProtocol
