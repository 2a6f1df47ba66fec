// Arbitrary bytes imported into a fixed root: as an export image, as a filter beside a good image,
// and as both at once. The root must stay whole: its own export still works afterwards.
// Input: byte 0 chooses the use; the rest is the image (or filter).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

using Bytes = std::vector<unsigned char>;

// Mix { Lvl (u8), Ch[3] { Gain (i16 x 2), Eq[2] { F (float) } }, Bus[2] { Level (u32) } }
struct FixedRoot {
    FixedRoot()
    {
        static JLIB::GlobalHeapManagerBase heap;
        static const bool registered = JLIB::SubscribeHeapId(1, heap) == 0;
        (void)registered;
        uint32_t result = 1;
        root = std::make_unique<MMS::Root>(&result, &definition, &values, &tasks, "Mix", 16, 16, 64);
        check(result == 0);
        uint32_t index = 0;
        prm(nullptr, 0, "Lvl", 1, MMS::kMmsTypeUInt8);
        check(root->addCollectionFast(&index, nullptr, 0, "Ch", 3) == 0);
        check(root->addCollectionFast(&index, nullptr, 0, "Bus", 2) == 0);
        const uint32_t ch[1] = {1};
        prm(ch, 1, "Gain", 2, MMS::kMmsTypeInt16);
        check(root->addCollectionFast(&index, ch, 1, "Eq", 2) == 0);
        const uint32_t eq[2] = {1, 1};
        prm(eq, 2, "F", 1, MMS::kMmsTypeFloat);
        const uint32_t bus[1] = {2};
        prm(bus, 1, "Level", 1, MMS::kMmsTypeUInt32);
        check(root->finishBuild(0) == 0);
        check(root->subscribe(0, 1, 2, 0, 0) == 0);
        good = exportImage();
        check(!good.empty());
    }
    ~FixedRoot() { root.reset(); }

    void prm(const uint32_t* nodes, uint32_t depth, const char* name, uint32_t size, uint32_t type)
    {
        uint32_t index = 0;
        check(root->addPrmFast(&index, nodes, depth, name, size, type, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, 0, 0, 0, nullptr, 0) == 0);
    }
    Bytes exportImage()
    {
        uint32_t size = 0;
        if (root->getExportDataSizeFast(&size, nullptr, 0, 0) != 0) return {};
        Bytes image(size);
        uint32_t written = 0;
        if (root->exportDataFast(image.data(), &written, nullptr, size, nullptr, nullptr, 0, 0, 1, 1, 0, 1) & 0x80000000u) {
            return {};
        }
        check(written == size);
        return image;
    }

    MMS::SharedMemWrapper definition;
    MMS::SharedMemWrapper values;
    MMS::SharedMemWrapper tasks;
    std::unique_ptr<MMS::Root> root;
    Bytes good;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    static FixedRoot fixed;
    if (size == 0 || size > 0x10000) return 0;
    const uint8_t use = input[0] % 4;
    Bytes bytes(input + 1, input + size);
    const auto length = static_cast<uint32_t>(bytes.size());
    MMS::Root& root = *fixed.root;
    const uint32_t ch[1] = {1};
    const uint32_t one[1] = {static_cast<uint32_t>(input[0] >> 2) % 4};  // index 3 lies outside Ch
    switch (use) {
    case 0:  // the whole root
        (void)root.importDataFast(bytes.empty() ? nullptr : bytes.data(), length, nullptr, 0, nullptr, nullptr, 0, 1,
                                  0, 0x10, 2, nullptr, 0, nullptr);
        break;
    case 1: {  // one Ch instance, through the copying form (the input stays as it is)
        const Bytes before = bytes;
        (void)root.importDataUsingMuchMemoryFast(bytes.empty() ? nullptr : bytes.data(), length, nullptr, 0, ch, one,
                                                 1, 1, 0, 0, 2, nullptr, 0, nullptr);
        check(before == bytes);
        break;
    }
    case 2: {  // as a filter beside a good image
        Bytes image = fixed.good;
        (void)root.importDataFast(image.data(), static_cast<uint32_t>(image.size()),
                                  bytes.empty() ? nullptr : bytes.data(), length, nullptr, nullptr, 0, 1, 0, 0, 2,
                                  nullptr, 0, nullptr);
        break;
    }
    default: {  // as image and filter at once (the filter then has the image's size)
        const Bytes filter = bytes;
        (void)root.importDataFast(bytes.empty() ? nullptr : bytes.data(), length,
                                  filter.empty() ? nullptr : filter.data(), length, nullptr, nullptr, 0, 1, 0, 0, 2,
                                  nullptr, 0, nullptr);
        break;
    }
    }
    check(fixed.exportImage().size() == fixed.good.size());
    return 0;
}
