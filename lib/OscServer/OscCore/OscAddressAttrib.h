#pragma once
// The attributes of one value of a parameter address, as a parameter provider reports them, with
// the words by which they travel. Plain value.
#include <cstdint>
#include <string>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscAddressAttrib {
public:
    // Words: "integer", "freq", "binary", "string", "float".
    enum Type : int32_t {
        kTypeInteger = 0,
        kTypeFreq = 1,
        kTypeBinary = 2,
        kTypeString = 3,
        kTypeFloat = 4,
    };
    // Words: "any", "fader", "latchsw", "unlatchsw", "list", "knob".
    enum UiType : int32_t {
        kUiTypeAny = 0,
        kUiTypeFader = 1,
        kUiTypeLatchSw = 2,
        kUiTypeUnlatchSw = 3,
        kUiTypeList = 4,
        kUiTypeKnob = 5,
    };
    // Words: "rw", "r", "w".
    enum Access : int32_t {
        kAccessReadWrite = 0,
        kAccessRead = 1,
        kAccessWrite = 2,
    };

    OscAddressAttrib() { clear(); }

    // Empty address, every number 0, no info value and no info text.
    void clear();

    // The word of the field's value, "?" outside its table.
    const char* typeToString() const;
    const char* uiTypeToString() const;
    const char* accessToString() const;
    // The value whose word equals the text exactly (case counts) and 0; else value 0 and
    // 0x80000000. A null text matches nothing.
    [[nodiscard]] static JLIB::JResult stringToType(Type& value, const char* text);
    [[nodiscard]] static JLIB::JResult stringToUiType(UiType& value, const char* text);
    [[nodiscard]] static JLIB::JResult stringToAccess(Access& value, const char* text);

    std::string address;
    uint32_t xSize = 0;
    uint32_t ySize = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    JVariant infoValue;
    // A constant text of the provider, or null (reported as empty).
    const char* infoText = nullptr;
    Type type = kTypeInteger;
    UiType uiType = kUiTypeAny;
    Access access = kAccessReadWrite;
    int32_t scaling = 0;
};

}  // namespace JOSC
