#pragma once
// What DataAccessor::peekData does with each tag it meets while it walks the tag areas of an image
// linearly. A peek that answers true stops the whole walk. The records handed over are copies read
// as the image stands (host order); they live only for the call.
#include "mms_CollectionTagInfo.h"

namespace MMS {

class IPeekCommand {
public:
    virtual ~IPeekCommand() = default;

    // Skippable tags are stepped over without a peek (and without a length check beyond the
    // one that lets the walk advance).
    virtual bool isCollectionSkippable() const { return true; }
    virtual bool isParameterSkippable() const { return true; }
    virtual bool peekCollection(const T_COLLECTION_TAG& tag) const
    {
        (void)tag;
        return false;
    }
    virtual bool peekParameter(const T_PARAMETER_TAG& tag) const
    {
        (void)tag;
        return false;
    }
};

}  // namespace MMS
