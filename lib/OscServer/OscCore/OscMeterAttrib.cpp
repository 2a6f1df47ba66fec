#include "OscServer/OscCore/OscMeterAttrib.h"

#include "OscServer/OscCore/internal/OscWordTable.h"

namespace JOSC {

namespace {

const char* const kTypeWords[] = {"level", "hold", "gr", "vu"};

}  // namespace

void OscMeterAttrib::clear()
{
    address.clear();
    count = 0;
    type = kTypeLevel;
}

const char* OscMeterAttrib::typeToString() const { return internal::wordOf(kTypeWords, type); }

JLIB::JResult OscMeterAttrib::stringToType(Type& value, const char* text)
{
    return internal::valueOf(kTypeWords, value, text);
}

}  // namespace JOSC
