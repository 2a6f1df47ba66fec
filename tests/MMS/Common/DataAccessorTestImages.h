#pragma once
// Images for the tests of the image accessors, exported by real roots. The standard tree (node
// numbers in brackets; parameters before collections):
//   Dev
//     S8 [0] Int8 x2, U8 [1] UInt8 x2, Flags [2] bit x3, More [3] bit x6, Pair [4] bit x2,
//     W16 [5] UInt16 x2, Word [6] Int32, Big [7] UInt32, F [8] Float, Txt [9] String 4
//     Ch [10] x4
//       Lvl [0] Int16 x3
//       Eq  [1] x2
//         Q [0] UInt8 x2
// Dumps are laid out here from those exports ("MDF" head, "MDR" head per root, host order).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ExportImageBytes.h"
#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"

namespace MmsTest {

struct PrmSpec {
    std::vector<uint32_t> parent;  // node vector of the parent collection
    const char* name;
    uint32_t count;
    uint32_t type;
    uint32_t textSize = 0;
};

struct ColSpec {
    std::vector<uint32_t> parent;
    const char* name;
    uint32_t count;
};

struct TreeSpec {
    const char* top;
    std::vector<PrmSpec> topParameters;
    std::vector<ColSpec> collections;   // added after the top's parameters, in order
    std::vector<PrmSpec> parameters;    // added last, in order
};

inline TreeSpec standardTree(const char* top = "Dev")
{
    return TreeSpec{top,
                    {{{}, "S8", 2, 0x001},
                     {{}, "U8", 2, 0x101},
                     {{}, "Flags", 3, 0x100},
                     {{}, "More", 6, 0x100},
                     {{}, "Pair", 2, 0x100},
                     {{}, "W16", 2, 0x102},
                     {{}, "Word", 1, 0x004},
                     {{}, "Big", 1, 0x104},
                     {{}, "F", 1, 0x304},
                     {{}, "Txt", 1, 0x201, 4}},
                    {{{}, "Ch", 4}, {{10}, "Eq", 2}},
                    {{{10}, "Lvl", 3, 0x002}, {{10, 1}, "Q", 2, 0x101}}};
}

class ImageRoot {
public:
    explicit ImageRoot(const TreeSpec& spec = standardTree())
    {
        (void)heap1();
        uint32_t result = 1;
        root = std::make_unique<MMS::Root>(&result, &m_definition, &m_values, &m_tasks, spec.top, 0, 0, 64);
        EXPECT_EQ(0u, result);
        for (const PrmSpec& p : spec.topParameters) add(p);
        for (const ColSpec& c : spec.collections) {
            uint32_t index = 0;
            EXPECT_EQ(0u, root->addCollectionFast(&index, c.parent.empty() ? nullptr : c.parent.data(),
                                                  static_cast<uint32_t>(c.parent.size()), c.name, c.count))
                << c.name;
        }
        for (const PrmSpec& p : spec.parameters) add(p);
        EXPECT_EQ(0u, root->finishBuild(0));
    }
    ~ImageRoot() { root.reset(); }
    ImageRoot(const ImageRoot&) = delete;
    ImageRoot& operator=(const ImageRoot&) = delete;

    // The whole root's export image.
    Bytes image(uint8_t order = 0) const
    {
        uint32_t size = 0;
        EXPECT_EQ(0u, root->getExportDataSizeFast(&size, nullptr, 0, 0));
        Bytes out(size, 0xCD);
        uint32_t written = 0;
        EXPECT_EQ(0u, root->exportDataFast(out.data(), &written, nullptr, size, nullptr, nullptr, 0, 0, 0, 0, order, 0));
        EXPECT_EQ(size, written);
        return out;
    }

    uint32_t set(const JVariant& value, std::vector<uint32_t> nodes, std::vector<uint32_t> indexes)
    {
        // 0 for any success: the information bits (changed) do not matter here.
        const uint32_t r = root->setPrmFast(value, nodes.data(), indexes.data(), static_cast<uint32_t>(nodes.size()),
                                            0, 0, 0, 0, 0, nullptr, 0, nullptr);
        return (r & 0x80000000u) != 0 ? r : 0;
    }
    JVariant get(std::vector<uint32_t> nodes, std::vector<uint32_t> indexes) const
    {
        JVariant out;
        EXPECT_FALSE(root->getPrmFast(&out, nullptr, nodes.data(), indexes.data(),
                                      static_cast<uint32_t>(nodes.size()), 0, 0) &
                     0x80000000u);
        return out;
    }
    // Imports a whole-root image into the root.
    uint32_t load(Bytes image)
    {
        const uint32_t r = root->importDataFast(image.data(), static_cast<uint32_t>(image.size()), nullptr, 0,
                                                nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, 0, nullptr);
        return (r & 0x80000000u) != 0 ? r : 0;
    }

    std::unique_ptr<MMS::Root> root;

private:
    void add(const PrmSpec& p)
    {
        uint32_t index = 0;
        JVariant textSize(p.textSize);
        EXPECT_EQ(0u, root->addPrmFast(&index, p.parent.empty() ? nullptr : p.parent.data(),
                                       static_cast<uint32_t>(p.parent.size()), p.name, p.count, p.type, nullptr,
                                       p.type == 0x201 ? &textSize : nullptr, nullptr, nullptr, nullptr, nullptr, 0,
                                       0, 0, nullptr, 0))
            << p.name;
    }

    MMS::SharedMemWrapper m_definition;
    MMS::SharedMemWrapper m_values;
    MMS::SharedMemWrapper m_tasks;
};

// A dump in host order of the named root images.
inline Bytes makeDump(const std::vector<std::pair<std::string, Bytes>>& roots)
{
    uint32_t one = 1;
    unsigned char firstByte = 0;
    std::memcpy(&firstByte, &one, 1);
    const bool hostBig = firstByte == 0;
    ByteWriter out(hostBig);
    out.text("MDF", 3);
    out.u8(48);
    out.text(hostBig ? "BIG" : "LIT", 4);
    out.text("", 24);
    out.text("", 12);
    out.u32(static_cast<uint32_t>(roots.size()));
    for (const auto& [name, image] : roots) {
        out.text("MDR", 3);
        out.u8(32);
        out.text(name, 24);
        out.u32(static_cast<uint32_t>(image.size()));
        out.raw(image);
    }
    return out.bytes();
}

// Offsets of an image's parts.
inline uint32_t tagSizeOf(const Bytes& image)
{
    uint32_t v = 0;
    std::memcpy(&v, image.data() + 80, 4);
    return v;
}
inline uint32_t dataStartOf(const Bytes& image) { return 88 + tagSizeOf(image); }

inline uint32_t u32At(const Bytes& bytes, size_t at)
{
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

}  // namespace MmsTest
