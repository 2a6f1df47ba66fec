#pragma once
// Shared frame of the snapshot commands: the category they act on, the empty default one or,
// for the "_ex" keywords, the one the client names (first argument, passed on as written).
// One object per request, on the server's thread.
#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandSnapshot : public ScpServerCommand {
protected:
    ScpServerCommandSnapshot(const char* name, bool named);

    const ScpString& category() const { return m_named ? m_category.get() : m_defaultCategory; }

    bool m_named;
    ScpElementAlNum m_category;

private:
    ScpString m_defaultCategory;
};

}  // namespace SCP
