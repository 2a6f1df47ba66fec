#pragma once
// A text of at most 64 characters, printed in double quotes in both forms.
#include "textcontrol/ScpElementText.h"

namespace SCP {

class ScpElementString : public ScpElementText {
public:
    ScpElementString() = default;
    ScpElementString(const char* tag, const ScpString& value) : ScpElementText(tag, value) {}
    ScpElementString(const ScpElementString&) = default;
    ScpElementString& operator=(const ScpElementString&) = default;

    [[nodiscard]] JLIB::JResult encode(ScpFormat format, ScpEncoding encoding,
                                       JLIB::JDataStream<unsigned char>& stream) override;

    using ScpElementText::get;
    JLIB::JResult get(ScpString& out) const;
};

}  // namespace SCP
