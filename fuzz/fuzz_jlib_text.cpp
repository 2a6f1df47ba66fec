// Base64, the number parsers and UTF-8/UTF-16 decoding on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jlib/JUnicode.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_base64.h"
#include "jlib/jlib_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const uint32_t length = static_cast<uint32_t>(size);

    std::vector<unsigned char> decoded(size + 4);
    uint32_t count = 0;
    (void)jlib_decodeBase64(decoded.data(), &count, static_cast<uint32_t>(decoded.size()), text, length);
    (void)jlib_decodeBase64(decoded.data(), &count, 3, text, length);

    for (int base : {0, 8, 10, 16}) {
        int32_t signedValue = 0;
        uint32_t unsignedValue = 0;
        const char* end = nullptr;
        (void)jlib_strntol(&signedValue, text, &end, base, length);
        (void)jlib_strntoul(&unsignedValue, text, &end, base, length);
    }
    uint32_t raw = 0;
    CATEGORY_JLIB_TYPE category{};
    (void)jlib_str2value(&raw, &category, text, size);
    JVariant value;
    (void)jlib_str2JVariant(&value, &category, text, size);

    for (int form = 0; form < 3; ++form) {
        uint32_t position = 0;
        while (position < length) {
            JLIB::JUnicode ch;
            uint32_t used = 0;
            const uint8_t* at = data + position;
            const uint32_t left = length - position;
            if (form == 0) (void)ch.fromUTF8(at, left, &used);
            else if (form == 1) (void)ch.fromUTF16BE(at, left, &used);
            else (void)ch.fromUTF16LE(at, left, &used);
            unsigned char out[8];
            (void)ch.toUTF8(out, sizeof(out));
            (void)ch.toUTF16BE(out, sizeof(out));
            position += used ? used : 1;
        }
    }
    return 0;
}
