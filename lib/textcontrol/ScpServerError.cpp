#include "textcontrol/ScpServerError.h"

#include <cstring>

#include "textcontrol/internal/scp_output.h"

namespace SCP {

using internal::scp_writeBytes;
using internal::scp_writeText;

const char* const ScpServerError::m_ErrorNames[kNameCount] = {
    "InternalError", "UnknownCommand", "UnsupportedCommand", "WrongFormat", "InvalidArgument",
    "UnknownAddress", "UnknownEventID", "TooLongCommand", "AccessDenied", "ReadOnly",
    "NoPermission", "Overload", "Overflow", "Clipped"};

const char* ScpServerError::nameOf(JLIB::JResult errorId)
{
    const uint32_t index = errorId & 0x7FFFFFFFu;
    return m_ErrorNames[index < kNameCount ? index : 0];
}

JLIB::JResult ScpServerError::makeError(ScpFormat format, ScpEncoding, JLIB::JDataStream<unsigned char>& stream,
                                        JLIB::JResult errorId, const char* commandName)
{
    if (!JLIB::isFailure(errorId)) return JLIB::kFailed;
    const char* command = commandName ? commandName : "unknown";
    const char* name = nameOf(errorId);
    const auto cut = [](const char* text) {
        const size_t n = std::strlen(text);
        return static_cast<uint32_t>(n < kMaxNameBytes ? n : kMaxNameBytes);
    };
    (void)stream.clear();
    const bool json = format == kScpFormatJson;
    JLIB::JResult r = scp_writeText(stream, json ? "{\"report\":\"ERROR\",\"command\":\"" : "ERROR ");
    if (JLIB::isSuccess(r)) r = scp_writeBytes(stream, command, cut(command));
    if (JLIB::isSuccess(r)) r = scp_writeText(stream, json ? "\",\"errorid\":\"" : " ");
    if (JLIB::isSuccess(r)) r = scp_writeBytes(stream, name, cut(name));
    if (JLIB::isSuccess(r)) r = scp_writeText(stream, json ? "\"}\n" : "\n");
    return JLIB::isFailure(r) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace SCP
