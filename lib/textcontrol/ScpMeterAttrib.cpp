#include "textcontrol/ScpMeterAttrib.h"

#include "textcontrol/internal/scp_words.h"

namespace SCP {

namespace {

const char* const pTypeString[] = {"level", "hold", "gr", "vu"};

}  // namespace

ScpMeterAttrib::~ScpMeterAttrib() = default;

void ScpMeterAttrib::clear()
{
    address = nullptr;
    num = 0;
    type = kTypeLevel;
}

const char* ScpMeterAttrib::typeToString() const { return internal::scp_wordOf(pTypeString, 4, type); }

JLIB::JResult ScpMeterAttrib::stringToType(Type& value, const char* text)
{
    int32_t index = 0;
    const JLIB::JResult r = internal::scp_indexOf(pTypeString, 4, text, index);
    value = static_cast<Type>(index);
    return r;
}

}  // namespace SCP
