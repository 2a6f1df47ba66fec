// Arbitrary bytes read by a small field of two roots: as one root's export image, as a dump image,
// as a filter dump beside a good dump, and as both at once, through the in-place and the copying
// forms. The field must stay whole: its own dump still writes afterwards.
// Input: byte 0 chooses the use; the rest is the image (split in two halves for "both").
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "MMS/Common/mms_Base.h"
#include "MMS/Common/mms_Parameter.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

using Bytes = std::vector<unsigned char>;

// Roots A and B of { Lvl (u8), Ch[3] { Gain (i16 x 2), Eq[2] { F (float) } }, Name (string 8) },
// one task subscribed with two dirty areas.
struct FixedField {
    FixedField()
    {
        static JLIB::GlobalHeapManagerBase heap;
        static const bool registered = JLIB::SubscribeHeapId(1, heap) == 0;
        (void)registered;
        field = std::make_unique<MMS::Base>(nullptr, nullptr, nullptr, nullptr);
        check(field->startBuild() == 0);
        for (const char* root : {"A", "B"}) addTree(root);
        check(field->finishBuild(0) == 0);
        check(field->subscribe(0, 1, 2, false) == 0);
        good = dump(0);
        goodBig = dump(2);
        check(!good.empty() && !goodBig.empty());
    }

    void addTree(const char* root)
    {
        check(field->createRoot(root, "Mix", 0, 0, 64) == 0);
        uint32_t index = 0;
        prm(root, nullptr, 0, "Lvl", 1, MMS::kMmsTypeUInt8);
        check(field->addCollectionFast(&index, root, nullptr, 0, "Ch", 3) == 0);
        JVariant maximum(8u);
        check(field->addPrmFast(&index, root, nullptr, 0, "Name", 1, MMS::kMmsTypeString, nullptr, &maximum, nullptr,
                                nullptr, nullptr, nullptr, 0, 0, 0, nullptr, 0) == 0);
        const uint32_t ch[1] = {2};
        prm(root, ch, 1, "Gain", 2, MMS::kMmsTypeInt16);
        check(field->addCollectionFast(&index, root, ch, 1, "Eq", 2) == 0);
        const uint32_t eq[2] = {2, 1};
        prm(root, eq, 2, "F", 1, MMS::kMmsTypeFloat);
    }
    void prm(const char* root, const uint32_t* nodes, uint32_t depth, const char* name, uint32_t size, uint32_t type)
    {
        uint32_t index = 0;
        check(field->addPrmFast(&index, root, nodes, depth, name, size, type, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, 0, 0, 0, nullptr, 0) == 0);
    }
    Bytes dump(uint8_t byteOrder)
    {
        uint32_t size = 0;
        if (field->getDumpSizeFast(&size) != 0 || size == 0) return {};
        Bytes image(size);
        uint32_t written = 0;
        if (field->getDumpFast(image.data(), &written, size, 0, byteOrder, 1) != 0) return {};
        check(written == size);
        return image;
    }

    std::unique_ptr<MMS::Base> field;
    Bytes good;
    Bytes goodBig;
};

FixedField& fixedField()
{
    static FixedField f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1u << 16)) return 0;
    FixedField& f = fixedField();
    const uint8_t use = data[0] % 6;
    Bytes input(data + 1, data + size);  // exactly as long as the input: reading past it is caught
    const auto length = static_cast<uint32_t>(input.size());
    const unsigned char* bytes = input.empty() ? nullptr : input.data();
    switch (use) {
    case 0:
        (void)f.field->importDataFast(input.data(), length, nullptr, 0, "A", nullptr, nullptr, 0, 2, 1, 0x10, 3,
                                      nullptr, 0, nullptr);
        break;
    case 1:
        (void)f.field->importDataUsingMuchMemoryFast(bytes, length, nullptr, 0, "B", nullptr, nullptr, 0, 2, 1, 0, 3,
                                                     nullptr, 0, nullptr);
        break;
    case 2:
        (void)f.field->setDumpFast(input.data(), length, nullptr, 0, 2, 1, 0, 3, nullptr, 0, nullptr);
        break;
    case 3:
        (void)f.field->setDumpUsingMuchMemoryFast(bytes, length, nullptr, 0, 2, 1, 0x02, 3, nullptr, 0, nullptr);
        break;
    case 4: {
        Bytes image = (length % 2) != 0 ? f.goodBig : f.good;
        (void)f.field->setDumpFast(image.data(), static_cast<uint32_t>(image.size()), bytes, length, 2, 1, 0, 3,
                                   nullptr, 0, nullptr);
        break;
    }
    default: {
        const uint32_t half = length / 2;
        Bytes image(input.begin(), input.begin() + half);
        Bytes filter(input.begin() + half, input.end());
        (void)f.field->setDumpFast(image.empty() ? nullptr : image.data(), half,
                                   filter.empty() ? nullptr : filter.data(), static_cast<uint32_t>(filter.size()), 2,
                                   1, 0, 3, nullptr, 0, nullptr);
        break;
    }
    }
    check(!f.dump(1).empty());
    return 0;
}
