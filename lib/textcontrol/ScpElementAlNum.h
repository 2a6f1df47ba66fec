#pragma once
// A text of at most 64 characters, printed bare in raw form and in double quotes in JSON.
#include "textcontrol/ScpElementText.h"

namespace SCP {

class ScpElementAlNum : public ScpElementText {
public:
    ScpElementAlNum() = default;
    ScpElementAlNum(const char* tag, const ScpString& value) : ScpElementText(tag, value) {}
    ScpElementAlNum(const ScpElementAlNum&) = default;
    ScpElementAlNum& operator=(const ScpElementAlNum&) = default;

    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    using ScpElementText::get;
    // The value as NUL-terminated Latin-1, characters above 0xFF as blanks: 3 when it was cut,
    // 0x80000004 for a null buffer or size 0.
    JLIB::JResult get(char* buffer, uint32_t size) const;
};

}  // namespace SCP
