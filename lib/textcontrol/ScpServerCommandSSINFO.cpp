#include "textcontrol/ScpServerCommandSSINFO.h"

namespace SCP {

ScpServerCommandSSINFO::ScpServerCommandSSINFO(const char* name, bool named) : ScpServerCommandSnapshot(name, named)
{
    m_index.initialize("index");
    m_numtext.initialize("numtext");
    m_title.initialize("title");
    m_comment.initialize("comment");
    m_attrib.initialize("attrib");
    add(m_index, kArgument | kReply);
    add(m_numtext, kReply);
    add(m_title, kReply);
    add(m_comment, kReply);
    add(m_attrib, kReply);
}

JLIB::JResult ScpServerCommandSSINFO::run(uint8_t, ScpInfoAccessor& accessor)
{
    if (m_index.get() < 0) return kInvalidArgument;
    ScpSnapshotAttrib attrib;
    const JLIB::JResult r =
        accessor.getParameters().getSnapshotAttrib(attrib, category(), static_cast<uint32_t>(m_index.get()));
    // Texts longer than the fields are cut to them.
    (void)m_numtext.set(attrib.numtext);
    (void)m_title.set(attrib.title);
    (void)m_comment.set(attrib.comment);
    (void)m_attrib.set(attrib.attribToString());
    return r;
}

}  // namespace SCP
