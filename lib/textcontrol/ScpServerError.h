#pragma once
// The "ERROR" line: the command name and one of 14 error names. Any task.
#include <cstdint>

#include "jlib/JDataStream.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpServerError {
public:
    static constexpr uint32_t kNameCount = 14;
    static constexpr uint32_t kMaxNameBytes = 100;
    static const char* const m_ErrorNames[kNameCount];

    // 0, or 0x80000000 (nothing meaningful written) for an id that is not a failure or a full stream.
    [[nodiscard]] static JLIB::JResult makeError(ScpFormat format, ScpEncoding encoding,
                                                 JLIB::JDataStream<unsigned char>& stream, JLIB::JResult errorId,
                                                 const char* commandName);
    static const char* nameOf(JLIB::JResult errorId);
};

}  // namespace SCP
