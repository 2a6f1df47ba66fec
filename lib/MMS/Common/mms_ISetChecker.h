#pragma once
// A write filter handed into set and import operations by the application; the library holds no
// implementation. Called on the writing task under the field's locks.
#include <cstdint>

namespace MMS {

class ISetChecker {
public:
    virtual ~ISetChecker() = default;
    // True when an element whose stored set factor is storedFactor must not be written by a
    // writer of newFactor.
    virtual bool isBlocked(uint8_t storedFactor, uint8_t newFactor) const = 0;
    // True when an image whose top collection is imageTopName must not be imported into the root
    // whose top collection is rootTopName.
    virtual bool isImportBlocked(const char* imageTopName, const char* rootTopName) const = 0;
};

}  // namespace MMS
