// Values from the rack and from the device into every value converter: arbitrary doubles,
// integers, floats and texts, with arbitrary minimum, maximum and scaling. The results must
// stay defined (the sanitizers watch every conversion) and keep their documented types. The
// rack's title goes through the object-count reader.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "common/Lpc/LpcTextTable.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "common/Lpc/LpcValueConversion.h"
#include "common/Lpc/LpcValueHelper.h"
#include "common/Lpc/MurValueConverters.h"

namespace {

const LPC::IValueConverter* const kConverters[] = {
    &LPC::sMurDefaultConverter,        &LPC::sMurDefaultFloatConverter,    &LPC::sMurVolumeConverter,
    &LPC::sMurDelayConverter,          &LPC::sMurOnOffConverter,           &LPC::sMurOnOffInvertConverter,
    &LPC::sMurLogConverter,            &LPC::sMurRoomIDConverter,          &LPC::sMurWGenIntervalConverter,
    &LPC::sMurPatchDante128Converter,  &LPC::sMurPatchUzOutput256Converter, &LPC::sMurAzimuthConverter,
};

JVariant pickValue(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: return JVariant(in.ConsumeIntegral<int32_t>());
    case 1: return JVariant(in.ConsumeIntegral<uint32_t>());
    case 2: return JVariant(in.ConsumeFloatingPoint<float>());
    case 3: {
        const std::string text = in.ConsumeRandomLengthString(80);
        return JVariant(text.c_str(), JVariant::kMaxStringLength);
    }
    default: return JVariant();
    }
}

double pickNormalised(FuzzedDataProvider& in)
{
    // Mostly near the working range, sometimes anything a double can hold.
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return in.ConsumeProbability<double>();
    case 1: return in.ConsumeFloatingPointInRange<double>(-2.0, 2.0);
    case 2: return in.ConsumeFloatingPoint<double>();
    default: {
        const double specials[] = {std::nan(""), INFINITY, -INFINITY, 1e300, -1e300, 0.0, -0.0, 1.0};
        return specials[in.ConsumeIntegralInRange<size_t>(0, std::size(specials) - 1)];
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const auto min = in.ConsumeIntegral<int32_t>();
    const auto max = in.ConsumeIntegral<int32_t>();
    const auto scaling = in.ConsumeIntegral<int32_t>();
    const JVariant value = pickValue(in);
    const double normalised = pickNormalised(in);

    for (const LPC::IValueConverter* converter : kConverters) {
        bool flag = false;
        (void)converter->normalize(value, min, max, scaling, &flag);
        (void)converter->normalize(value, min, max, scaling, nullptr);
        const JVariant back = converter->reverse(normalised, min, max, scaling);
        // Only the room converter and the table converters may give nothing.
        if (!back.isValid() && converter != &LPC::sMurRoomIDConverter && converter != &LPC::sMurVolumeConverter &&
            converter != &LPC::sMurDelayConverter) {
            __builtin_trap();
        }
    }
    // Patch values stay within 0..1, and a Dante source reads back as the same source.
    for (const LPC::MurPatchConverter* patch :
         {static_cast<const LPC::MurPatchConverter*>(&LPC::sMurPatchDante128Converter),
          static_cast<const LPC::MurPatchConverter*>(&LPC::sMurPatchUzOutput256Converter)}) {
        const double n = patch->normalize(value, min, max, scaling, nullptr);
        if (n < 0.0 || n > 1.0) __builtin_trap();
    }
    bool refused = true;
    const double dante = LPC::sMurPatchDante128Converter.normalize(value, min, max, scaling, &refused);
    if (!refused && dante > 0.0) {
        const JVariant source = LPC::sMurPatchDante128Converter.reverse(dante, min, max, scaling);
        if (source.getType() != JVariant::kTypeString ||
            LPC::sMurPatchDante128Converter.patchStringToValue(source.toString()) !=
                LPC::sMurPatchDante128Converter.patchStringToValue(value.toString())) {
            __builtin_trap();
        }
    }
    std::string head;
    std::string tail;
    (void)LPC::split(LPC::toStr(value), head, tail, in.ConsumeRandomLengthString(4));  // a refusal is an answer
    (void)LPC::toInternalValue(normalised, scaling);
    (void)LPC::toNormalizedValue(in.ConsumeIntegral<uint32_t>(), scaling);
    (void)LPC::toString(LPC::gl_RoomIDTable, 6, LPC::toRoomID(value));

    // A count needs an "i" with an "X" after it, and is never negative.
    const std::string title = in.ConsumeRandomLengthString(120);
    const uint32_t count = LPC::nameToOBANum(title);
    const size_t i = title.find('i');
    if (count != 0 && (i == std::string::npos || title.find('X', i + 1) == std::string::npos)) __builtin_trap();
    if (count > 2147483647u) __builtin_trap();
    return 0;
}
