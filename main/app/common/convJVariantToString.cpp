#include "common/convJVariantToString.h"

#include <cstdio>

#include "jlib/JVariant.h"

namespace KAVORI {

JLIB::JResult convJVariantToString(const JVariant& value, std::string& text)
{
    char buffer[64];
    switch (value.getType()) {
    case JVariant::kTypeInt32: text += std::to_string(value.toInt32()); break;
    case JVariant::kTypeUInt32: text += std::to_string(value.toUInt32()); break;
    case JVariant::kTypeString:
        if (const char* s = value.toString()) text += s;
        break;
    case JVariant::kTypeFloat:
        (void)std::snprintf(buffer, sizeof(buffer), "%f", static_cast<double>(value.toFloat()));  // fits: 64 bytes
        text += buffer;
        break;
    case JVariant::kTypeBinary: {
        const unsigned char* bytes = value.toBinary();
        const unsigned int length = bytes ? value.getBinaryLength() : 0;
        for (unsigned int i = 0; i < length; ++i) {
            (void)std::snprintf(buffer, sizeof(buffer), "%02X ", bytes[i]);
            text += buffer;
        }
        break;
    }
    default: break;
    }
    return JLIB::kOk;
}

}  // namespace KAVORI
