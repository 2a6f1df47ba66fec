#pragma once
// Reads the header of an export image and turns a whole image to or from host byte order in
// place, without a field. No state: any task; the caller owns the image for the call.
#include <cstdint>

#include "mms_CollectionTagInfo.h"

namespace MMS {

class ExportDataAnalyzer {
public:
    ExportDataAnalyzer() = delete;

    // Fills header in host order (cleared first) and reports in *order the image's byte order as a
    // byte-order option when it is not the host's (1 little-endian, 2 big-endian), else 0.
    // 0x80000002 for a null argument, size 3 or less, no "MMS" or an order mark other than
    // "BIG" / "LIT".
    [[nodiscard]] static uint32_t readExportTagHeader(T_EXPORT_TAG* header, unsigned char* order,
                                                      const unsigned char* image, unsigned size);

    // Converts the image in place: an image in the other byte order becomes host order and one in
    // host order the other order; twice restores it byte for byte (the MD5 text is left as it is).
    // The whole image is checked first: a header of at least 88 bytes, header + tag area + data
    // area within size, every tag within the tag area and every element within the data area.
    // A refused image gives 0x80000002 (or the header reader's failure) and is left unchanged.
    [[nodiscard]] static uint32_t convertEndian(unsigned char* image, unsigned size);
};

}  // namespace MMS
