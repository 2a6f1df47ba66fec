#include "OscServer/OscCore/OscSnapshotAttrib.h"

#include "OscServer/OscCore/internal/OscWordTable.h"

namespace JOSC {

namespace {

const char* const kAttribWords[] = {"empty", "user", "preinst", "reserve"};

}  // namespace

void OscSnapshotAttrib::clear()
{
    name.clear();
    title.clear();
    comment.clear();
    attrib = kAttribEmpty;
}

const char* OscSnapshotAttrib::attribToString() const { return internal::wordOf(kAttribWords, attrib); }

JLIB::JResult OscSnapshotAttrib::stringToAttrib(Attrib& value, const char* text)
{
    return internal::valueOf(kAttribWords, value, text);
}

}  // namespace JOSC
