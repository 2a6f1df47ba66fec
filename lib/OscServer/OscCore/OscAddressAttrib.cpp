#include "OscServer/OscCore/OscAddressAttrib.h"

#include "OscServer/OscCore/internal/OscWordTable.h"

namespace JOSC {

namespace {

// "float" names the floating-point parameters, in both directions.
const char* const kTypeWords[] = {"integer", "freq", "binary", "string", "float"};
const char* const kUiTypeWords[] = {"any", "fader", "latchsw", "unlatchsw", "list", "knob"};
const char* const kAccessWords[] = {"rw", "r", "w"};

}  // namespace

void OscAddressAttrib::clear()
{
    address.clear();
    xSize = 0;
    ySize = 0;
    minimum = 0;
    maximum = 0;
    (void)infoValue.invalid();  // always 0
    infoText = nullptr;
    type = kTypeInteger;
    uiType = kUiTypeAny;
    access = kAccessReadWrite;
    scaling = 0;
}

const char* OscAddressAttrib::typeToString() const { return internal::wordOf(kTypeWords, type); }

const char* OscAddressAttrib::uiTypeToString() const { return internal::wordOf(kUiTypeWords, uiType); }

const char* OscAddressAttrib::accessToString() const { return internal::wordOf(kAccessWords, access); }

JLIB::JResult OscAddressAttrib::stringToType(Type& value, const char* text)
{
    return internal::valueOf(kTypeWords, value, text);
}

JLIB::JResult OscAddressAttrib::stringToUiType(UiType& value, const char* text)
{
    return internal::valueOf(kUiTypeWords, value, text);
}

JLIB::JResult OscAddressAttrib::stringToAccess(Access& value, const char* text)
{
    return internal::valueOf(kAccessWords, value, text);
}

}  // namespace JOSC
