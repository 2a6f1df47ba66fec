// Arbitrary bytes as a speaker position file: the reader must refuse or take them without reading
// out of bounds, and every row it keeps must be one the importer can write (a speaker number
// from the line count, positions whose centimetres fit).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/Lpc/LpcSpeakerData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    LPC::SpeakerDataList rows;
    const JLIB::JResult result = LPC::LpcSpeakerData::fromText(text, rows);
    if (JLIB::isFailure(result) && !rows.empty()) std::abort();
    for (size_t i = 0; i < rows.size(); ++i) {
        const LPC::SpeakerData& row = rows[i];
        if (i > 0 && row.number <= rows[i - 1].number) std::abort();  // one speaker per line, in line order
        for (float value : {row.x, row.y, row.z}) {
            if (!std::isfinite(value) || std::fabs(static_cast<double>(value) * 100.0) > 2147483648.0) std::abort();
        }
    }
    return 0;
}
