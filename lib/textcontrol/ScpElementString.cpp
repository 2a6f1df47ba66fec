#include "textcontrol/ScpElementString.h"

#include "textcontrol/internal/scp_output.h"

namespace SCP {

JLIB::JResult ScpElementString::encode(ScpFormat, ScpEncoding encoding, JLIB::JDataStream<unsigned char>& stream)
{
    return internal::scp_writeQuoted(stream, m_value, encoding);
}

JLIB::JResult ScpElementString::get(ScpString& out) const
{
    out = m_value;
    return JLIB::kOk;
}

}  // namespace SCP
