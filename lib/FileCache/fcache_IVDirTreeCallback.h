#pragma once
// Hears of changes of a watched folder listing, on the listing's own task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace FILECACHE {

class IVDirTreeCallback {
public:
    enum ChangeReason : int32_t {
        REASON_UNKNOWN = 0,   // a watcher action the listing does not handle
        REASON_ADDED = 1,
        REASON_DELETED = 2,
        REASON_MODIFIED = 3,
        REASON_CHDIR = 4,     // the listing entered its target folder; the name is null
        REASON_RELIST = 5,
    };

    // The listing ignores the answer. The callback may call back into the listing.
    virtual JLIB::JResult onDirStatusChanged(ChangeReason reason, const char* name) = 0;
    virtual ~IVDirTreeCallback() = default;
};

}  // namespace FILECACHE
