#pragma once
// What a parameter model tells about one snapshot. A plain record; its texts are drawn from the
// SCP heap.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpSnapshotAttrib {
public:
    enum Attrib : int32_t { kAttribEmpty = 0, kAttribUser = 1, kAttribPreinst = 2, kAttribReserve = 3 };

    ScpSnapshotAttrib();
    virtual ~ScpSnapshotAttrib();

    void clear();
    // "empty", "user", "preinst", "reserve"; "?" outside the table.
    const char* attribToString() const;
    // The index of the word equal to the text (exact) and 0; else 0 and 0x80000000.
    [[nodiscard]] static JLIB::JResult stringToAttrib(Attrib& value, const char* text);

    ScpString numtext;
    ScpString title;
    ScpString comment;
    Attrib attrib = kAttribEmpty;
};

}  // namespace SCP
