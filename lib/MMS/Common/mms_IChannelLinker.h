#pragma once
// What an application plugs into a root so that one write reaches linked channels too: the
// linker names the channels linked to an address, each link converts the value for its channel,
// and the factor modifier derives the set factor of such derived writes. The library holds no
// implementation; the root calls them on the writing task under the locks of the field.
#include <cstdint>

#include "jlib/JVariant.h"
#include "mms_Types.h"

namespace MMS {

// One linked channel: same node depth as the source, its own node and array indexes.
class IChannelLink {
public:
    virtual ~IChannelLink() = default;
    // Array indexes of the linked channel (the first element of a linked range).
    virtual const uint32_t* getIndices() const = 0;
    // Array indexes of the last element of a linked range.
    virtual const uint32_t* getLastIndices() const = 0;
    // True when convertValue must be asked for the value this channel gets.
    virtual bool isConverting() const = 0;
    // The value to write at this channel. Returned by value: the caller owns nothing extra.
    virtual JVariant convertValue(const JVariant& value) const = 0;
    // Node indexes of the linked channel.
    virtual const uint32_t* getNodes() const = 0;
    // The value to write at the source address itself (asked of the first link of a single write).
    virtual JVariant convertSourceValue(const JVariant& value) const = 0;
};

class IChannelLinker {
public:
    virtual ~IChannelLinker() = default;
    // True when the links of the whole range from..lastIndices can be followed as ranges; false
    // makes the root write the range element by element.
    virtual bool isRangeLinkable(const T_FAST_ADDRESS* from, const uint32_t* lastIndices) = 0;
    // The first channel linked to the address (lastIndices null for one element), or null. An
    // import passes noLink; it may be null otherwise.
    virtual IChannelLink* getFirstLink(const T_FAST_ADDRESS* address, const uint32_t* lastIndices,
                                       bool* noLink) = 0;
    // The channel after previous, or null.
    virtual IChannelLink* getNextLink(const T_FAST_ADDRESS* address, IChannelLink* previous) = 0;
    // An import found no link for the address.
    virtual void notifyUnlinked(const T_FAST_ADDRESS* address) = 0;
};

// Derives the set factor of a derived write: mode 1 for plug-in passes and linked channels of the
// set operations, the subscribe mode for imports.
class IFactorModifier {
public:
    virtual ~IFactorModifier() = default;
    virtual uint8_t modifyFactor(uint8_t factor, uint32_t mode) const = 0;
};

}  // namespace MMS
