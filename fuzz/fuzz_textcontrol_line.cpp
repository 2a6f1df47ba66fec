// Client bytes of the text control protocol through both line decoders, cut into chunks the way
// TCP may deliver them, and every token of each completed command through every element type.
// The first byte picks the chunk length, so splits inside UTF-8 sequences and quotes are reached.
#include <cstddef>
#include <cstdint>

#include "jlib/JDataStream.h"
#include "textcontrol/ScpDecoderJSON.h"
#include "textcontrol/ScpDecoderRAW.h"
#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementArray.h"
#include "textcontrol/ScpElementDecimal.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementMeter.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpElementSubAddress.h"

namespace {

void printAll(SCP::ScpElement& element)
{
    static JLIB::JDataStream<unsigned char> stream;
    static const bool ready = stream.initialize(0, 1000) == 0;
    if (!ready) return;
    for (auto format : {SCP::kScpFormatRaw, SCP::kScpFormatJson}) {
        for (auto encoding : {SCP::kScpEncodingAscii, SCP::kScpEncodingUtf8}) {
            (void)stream.clear();
            (void)element.encode(format, encoding, stream);  // a refusal is a valid outcome here
        }
    }
}

void feedToken(const SCP::ScpString& token)
{
    SCP::ScpElementInteger integer;
    SCP::ScpElementMeter meter;
    SCP::ScpElementSubAddress sub;
    SCP::ScpElementDecimal decimal;
    SCP::ScpElementString text;
    SCP::ScpElementAlNum alnum;
    SCP::ScpElementParameter parameter;
    SCP::ScpElementArray<SCP::ScpElementParameter> values(2);
    SCP::ScpElement* all[] = {&integer, &meter, &sub, &decimal, &text, &alnum, &parameter, &values};
    for (SCP::ScpElement* element : all) {
        element->initialize("tag");
        (void)element->decode(token);  // refusals are expected for most tokens
        (void)element->decode(token);
        printAll(*element);
    }
}

void feedCommand(SCP::ScpAbstractDecoder& decoder)
{
    SCP::ScpUnicodeStringTable& keys = decoder.getKeyTable();
    SCP::ScpUnicodeStringTable& data = decoder.getDataTable();
    for (uint32_t i = 0; i < data.size(); ++i) feedToken(*data.at(i));
    for (uint32_t i = 0; i < keys.size(); ++i) feedToken(*keys.at(i));
    (void)keys.findPos("command");
    (void)data.findPos("all");
    (void)decoder.clearAll();
}

void run(SCP::ScpAbstractDecoder& decoder, const uint8_t* data, size_t size, size_t chunk)
{
    size_t offset = 0;
    while (offset < size) {
        const size_t length = size - offset < chunk ? size - offset : chunk;
        const uint8_t* bytes = data + offset;
        uint32_t left = static_cast<uint32_t>(length);
        // As a server does: feed the rest after each command; after a stop at bad UTF-8 skip a byte.
        while (left > 0) {
            uint32_t consumed = 0;
            const JLIB::JResult r = decoder.decode(bytes, left, consumed);
            if (consumed > left) __builtin_trap();
            if (r == 3) feedCommand(decoder);
            if (r == 4 && consumed == left) break;  // the rest waits for the next chunk
            if (r == 4 || consumed == 0) consumed = consumed + 1 <= left ? consumed + 1 : left;
            bytes += consumed;
            left -= consumed;
        }
        offset += length;
    }
    feedCommand(decoder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const size_t chunk = 1 + data[0] % 16;
    SCP::ScpDecoderRAW raw;
    SCP::ScpDecoderJSON json;
    run(raw, data + 1, size - 1, chunk);
    run(json, data + 1, size - 1, chunk);
    return 0;
}
