// Numeric texts of the definition readers from arbitrary bytes: the literal reader and the
// expression reader with a small macro table. Neither may crash, and every reading must be
// consistent with its kind.
#include <cstddef>
#include <cstdint>

#include "MMS/mms_Script.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

JLIB::GlobalHeapManagerBase g_heap;
const bool g_registered = JLIB::SubscribeHeapId(1, g_heap) == 0;

const T_MMS_SCRIPT_MACRO kMacros[] = {{"CH", 8}, {"CH2", -3}, {"BIG", 0x7FFFFFFF}, {"_x1", 0}, {nullptr, 5}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)g_registered;
    const char* text = reinterpret_cast<const char*>(data);
    const uint32_t length = static_cast<uint32_t>(size);

    JVariant literal;
    unsigned literalKind = 99;
    const uint32_t lr = MMS::cnvStrToNum(text, length, &literal, &literalKind);
    if ((lr & 0x80000000u) == 0) {
        check(literalKind == 0 || literalKind == 1 || literalKind == 3);
        const int expected = literalKind == 1 ? JVariant::kTypeUInt32
                             : literalKind == 0 ? JVariant::kTypeInt32
                                                : JVariant::kTypeFloat;
        check(literal.getType() == expected);
    } else {
        check(lr == 0x80010000u || lr == 0x80010012u || lr == 0x80000000u);
    }

    JVariant value;
    unsigned kind = 99;
    const uint32_t sr = MMS::cnvScriptToNum(text, length, &value, &kind, kMacros, 5);
    check(sr == ((lr & 0x80000000u) ? 0 : lr));
    if ((lr & 0x80000000u) != 0) {
        check(value.getType() == JVariant::kTypeInt32);
        check(kind == (value.toInt32() > 0 ? 1u : 0u));
    }
    // Without a kind every text goes to the expression reader.
    JVariant expression;
    check(MMS::cnvScriptToNum(text, length, &expression, nullptr, kMacros, 5) == 0);
    check(expression.getType() == JVariant::kTypeInt32);
    if ((lr & 0x80000000u) != 0) check(expression.toInt32() == value.toInt32());
    return 0;
}
