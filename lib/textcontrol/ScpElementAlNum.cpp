#include "textcontrol/ScpElementAlNum.h"

#include "textcontrol/internal/scp_output.h"

namespace SCP {

JLIB::JResult ScpElementAlNum::encode(ScpFormat format, ScpEncoding encoding, JLIB::JDataStream<unsigned char>& stream)
{
    if (format == kScpFormatJson) return internal::scp_writeQuoted(stream, m_value, encoding);
    return internal::scp_writeBare(stream, m_value, encoding);
}

JLIB::JResult ScpElementAlNum::get(char* buffer, uint32_t size) const
{
    if (!buffer || size == 0) return 0x80000004u;
    buffer[0] = '\0';
    uint32_t written = 0;
    return m_value.toLatin1(buffer, size, &written, ' ') == JLIB::kUnicodeNoRoom ? 3 : JLIB::kOk;
}

}  // namespace SCP
