#include "textcontrol/ScpAddressAttrib.h"

#include "textcontrol/ScpHeap.h"
#include "textcontrol/internal/scp_words.h"

namespace SCP {

namespace {

const char* const pTypeString[] = {"integer", "freq", "binary", "string"};
const char* const pUiTypeString[] = {"any", "fader", "latchsw", "unlatchsw", "list", "knob"};
const char* const pAccessString[] = {"rw", "r", "w"};

template <typename E, uint32_t N>
JLIB::JResult lookUp(const char* const (&words)[N], const char* text, E& value)
{
    int32_t index = 0;
    const JLIB::JResult r = internal::scp_indexOf(words, N, text, index);
    value = static_cast<E>(index);
    return r;
}

}  // namespace

ScpAddressAttrib::ScpAddressAttrib() : address(makeScpString(kAddressCapacity)) { clear(); }

ScpAddressAttrib::~ScpAddressAttrib() = default;

void ScpAddressAttrib::clear()
{
    (void)address.clear();  // keeps the storage: always 0
    xnum = 0;
    ynum = 0;
    min = 0;
    max = 0;
    (void)def.invalid();  // always 0
    unit = nullptr;
    type = kTypeInteger;
    uiType = kUiAny;
    access = kAccessReadWrite;
    scaling = 0;
}

const char* ScpAddressAttrib::typeToString() const { return internal::scp_wordOf(pTypeString, 4, type); }
const char* ScpAddressAttrib::uiTypeToString() const { return internal::scp_wordOf(pUiTypeString, 6, uiType); }
const char* ScpAddressAttrib::accessToString() const { return internal::scp_wordOf(pAccessString, 3, access); }

JLIB::JResult ScpAddressAttrib::stringToType(Type& value, const char* text) { return lookUp(pTypeString, text, value); }

JLIB::JResult ScpAddressAttrib::stringToUiType(UiType& value, const char* text)
{
    return lookUp(pUiTypeString, text, value);
}

JLIB::JResult ScpAddressAttrib::stringToAccess(Access& value, const char* text)
{
    return lookUp(pAccessString, text, value);
}

}  // namespace SCP
