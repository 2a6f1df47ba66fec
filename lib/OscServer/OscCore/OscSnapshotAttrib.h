#pragma once
// The attributes of one snapshot as a parameter provider reports them. Plain value.
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace JOSC {

class OscSnapshotAttrib {
public:
    // Words: "empty", "user", "preinst", "reserve".
    enum Attrib : int32_t {
        kAttribEmpty = 0,
        kAttribUser = 1,
        kAttribPreinst = 2,
        kAttribReserve = 3,
    };

    OscSnapshotAttrib() { clear(); }

    // Three empty texts and attribute 0.
    void clear();
    // The attribute's word, "?" outside 0 to 3.
    const char* attribToString() const;
    // As OscAddressAttrib::stringToType.
    [[nodiscard]] static JLIB::JResult stringToAttrib(Attrib& value, const char* text);

    std::string name;  // by which the by-text commands and callbacks name the snapshot
    std::string title;
    std::string comment;
    Attrib attrib = kAttribEmpty;
};

}  // namespace JOSC
