#pragma once
// What a meter model tells about one meter address. A plain record.
#include <cstdint>
#include <cwchar>

#include "jlib/jlib_result.h"

namespace SCP {

class ScpMeterAttrib {
public:
    enum Type : int32_t { kTypeLevel = 0, kTypeHold = 1, kTypeGr = 2, kTypeVu = 3 };

    ScpMeterAttrib() { clear(); }
    virtual ~ScpMeterAttrib();

    void clear();
    // "level", "hold", "gr", "vu"; "?" outside the table.
    const char* typeToString() const;
    // The index of the word equal to the text (exact) and 0; else 0 and 0x80000000.
    [[nodiscard]] static JLIB::JResult stringToType(Type& value, const char* text);

    const wchar_t* address = nullptr;  // a constant text of the model, not owned
    uint32_t num = 0;
    Type type = kTypeLevel;
};

}  // namespace SCP
