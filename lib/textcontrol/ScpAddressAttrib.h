#pragma once
// What a parameter model tells about one parameter address, with the words its enumerations
// travel as. A plain record; its address text is drawn from the SCP heap.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpAddressAttrib {
public:
    static constexpr uint32_t kAddressCapacity = 201;

    enum Type : int32_t { kTypeInteger = 0, kTypeFreq = 1, kTypeBinary = 2, kTypeString = 3 };
    enum UiType : int32_t { kUiAny = 0, kUiFader = 1, kUiLatchSw = 2, kUiUnlatchSw = 3, kUiList = 4, kUiKnob = 5 };
    enum Access : int32_t { kAccessReadWrite = 0, kAccessRead = 1, kAccessWrite = 2 };

    ScpAddressAttrib();
    virtual ~ScpAddressAttrib();

    // Empty address, every number and enumeration 0, no unit, default invalid.
    void clear();

    // The word of the field's value; "?" outside its table.
    const char* typeToString() const;
    const char* uiTypeToString() const;
    const char* accessToString() const;
    // The index of the word equal to the text (exact, case-sensitive) and 0; else 0 and 0x80000000.
    [[nodiscard]] static JLIB::JResult stringToType(Type& value, const char* text);
    [[nodiscard]] static JLIB::JResult stringToUiType(UiType& value, const char* text);
    [[nodiscard]] static JLIB::JResult stringToAccess(Access& value, const char* text);

    ScpString address;
    uint32_t xnum = 0;
    uint32_t ynum = 0;
    int32_t min = 0;
    int32_t max = 0;
    JVariant def;
    const char* unit = nullptr;  // a constant text of the model, not owned
    Type type = kTypeInteger;
    UiType uiType = kUiAny;
    Access access = kAccessReadWrite;
    int32_t scaling = 0;
};

}  // namespace SCP
