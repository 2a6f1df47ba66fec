#pragma once
// Turns a device value into the normalised value of a rack plug-in parameter and back. Every
// implementation is a stateless, program-wide constant shared by every task without a lock.
#include <cstdint>

#include "jlib/JVariant.h"

namespace LPC {

class IValueConverter {
public:
    virtual ~IValueConverter() = default;

    // min, max and scaling come from the device parameter's definition. *outOfRange (optional)
    // tells whether the value lies outside what the converter represents; the result is not
    // held to 0..1 unless a converter says so.
    virtual double normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                             bool* outOfRange) const = 0;
    // normalised comes from the rack: any double, NaN and infinities included.
    virtual JVariant reverse(double normalised, int32_t min, int32_t max, int32_t scaling) const = 0;

protected:
    constexpr IValueConverter() = default;
    IValueConverter(const IValueConverter&) = default;
    IValueConverter& operator=(const IValueConverter&) = default;
};

}  // namespace LPC
