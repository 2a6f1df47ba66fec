#pragma once
// The request handling every text control command shares: the request's tokens into the
// command's elements, the completeness checks and the "OK" reply.
// A command object lives for one request on the server's thread.
#include <cstdint>

#include "jlib/JDataStream.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementList.h"
#include "textcontrol/ScpInfoAccessor.h"
#include "textcontrol/ScpUnicodeStringTable.h"

namespace SCP {

class ScpServerCommand {
public:
    static constexpr JLIB::JResult kInternalError = 0x80000000u;
    static constexpr JLIB::JResult kWrongFormat = 0x80000003u;
    static constexpr JLIB::JResult kInvalidArgument = 0x80000004u;
    static constexpr JLIB::JResult kUnknownAddress = 0x80000005u;
    static constexpr JLIB::JResult kClipped = 0x8000000Du;
    static constexpr uint8_t kArgument = ScpElementList::kArgument;
    static constexpr uint8_t kReply = ScpElementList::kReply;

    enum AdditionalInfo : uint32_t { kInfoNone = 0, kInfoModified = 1, kInfoModified2 = 2 };
    static const char* const m_AdditionalInfoTag[3];

    explicit ScpServerCommand(const char* name);
    ScpServerCommand(const ScpServerCommand&) = delete;
    ScpServerCommand& operator=(const ScpServerCommand&) = delete;
    virtual ~ScpServerCommand();

    // Clears every element, then fills the arguments: 0, or 0x80000003 when one is missing or
    // refuses its token (the others are still read).
    [[nodiscard]] virtual JLIB::JResult decode(const ScpUnicodeStringTable& keys, const ScpUnicodeStringTable& data);
    // Every command overrides it.
    [[nodiscard]] virtual JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor);
    // Whether every element with a role in the mask is set.
    virtual bool isOK(uint8_t mask) const;

    // decode, the argument check ("WrongFormat"), then run.
    [[nodiscard]] JLIB::JResult receive(uint8_t session, const ScpUnicodeStringTable& keys,
                                        const ScpUnicodeStringTable& data, ScpInfoAccessor& accessor);
    // "OK"/"OKm" and the reply fields: 0, 0x80000003 a field unset or a bad info, 0x8000000D full.
    [[nodiscard]] JLIB::JResult makeReply(ScpFormat format, ScpEncoding encoding,
                                          JLIB::JDataStream<unsigned char>& stream, uint32_t info);
    // Raw form: the token at the position. JSON form: the value whose key is the tag in double
    // quotes, else the first key containing the tag.
    static const ScpString* getText(const ScpUnicodeStringTable& keys, const ScpUnicodeStringTable& data,
                                    const char* tag, uint32_t position);
    // The stronger of two results: a failure beats a success, of two failures the lower name
    // index, of two successes the larger; a wins ties.
    static JLIB::JResult overrideError(JLIB::JResult a, JLIB::JResult b);

    const char* getCommandName() const { return m_pName; }

protected:
    void add(ScpElement& element, uint8_t roles) { (void)m_list.append(element, roles); }  // far below 64

    ScpElementList m_list;
    ScpElementAlNum m_command;

private:
    const char* m_pName;
};

}  // namespace SCP
