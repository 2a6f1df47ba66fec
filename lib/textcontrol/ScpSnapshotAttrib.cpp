#include "textcontrol/ScpSnapshotAttrib.h"

#include "textcontrol/ScpHeap.h"
#include "textcontrol/internal/scp_words.h"

namespace SCP {

namespace {

const char* const pSSAttribString[] = {"empty", "user", "preinst", "reserve"};

}  // namespace

ScpSnapshotAttrib::ScpSnapshotAttrib()
    : numtext(makeScpString(11)), title(makeScpString(65)), comment(makeScpString(201))
{
}

ScpSnapshotAttrib::~ScpSnapshotAttrib() = default;

void ScpSnapshotAttrib::clear()
{
    (void)numtext.clear();  // keeps the storage: always 0
    (void)title.clear();
    (void)comment.clear();
    attrib = kAttribEmpty;
}

const char* ScpSnapshotAttrib::attribToString() const { return internal::scp_wordOf(pSSAttribString, 4, attrib); }

JLIB::JResult ScpSnapshotAttrib::stringToAttrib(Attrib& value, const char* text)
{
    int32_t index = 0;
    const JLIB::JResult r = internal::scp_indexOf(pSSAttribString, 4, text, index);
    value = static_cast<Attrib>(index);
    return r;
}

}  // namespace SCP
