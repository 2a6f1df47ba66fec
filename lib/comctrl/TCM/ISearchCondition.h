#pragma once
// A test on one repository slot, for finding the first slot that passes it.
#include "comctrl/TCM/TcmTypes.h"

namespace TCM {

class ISearchCondition {
public:
    virtual ~ISearchCondition() = default;
    [[nodiscard]] virtual bool match(const T_REPOSITORY_ITEM& slot) const = 0;
};

// Matches free slots.
class EmptyCondition : public ISearchCondition {
public:
    [[nodiscard]] bool match(const T_REPOSITORY_ITEM& slot) const override
    {
        return slot.info.category == TCM_ACTION_NONE && slot.progress.state == kStateFree;
    }
};

}  // namespace TCM
