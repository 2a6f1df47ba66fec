// Export images from arbitrary bytes imported into a fixed parameter tree through its top
// collection, at the top or into an element of a child collection, with or without a filter.
// Input: one selector byte, then the image. Every read stays inside the image (exact-size copies),
// a change is reported exactly when flags were marked, and the tree exports afterwards.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_CommonFunction.h"
#include "MMS/Common/mms_DirtyFlagList.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MMS/Common/mms_TreeNodeFactory.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

using Bytes = std::vector<unsigned char>;

// Mix: Lvl (u8), Trim (i16 x 2), Label (string 6), Ch[3] { Gain (u8 x 2), On (bit x 3),
// Pan (bit x 2), Vol (float), Sub[2] { X (i16) } }, Bus[2] { Level (u32) }.
struct FixedTree {
    FixedTree()
    {
        static JLIB::GlobalHeapManagerBase heap;
        static const bool registered = JLIB::SubscribeHeapId(1, heap) == 0;
        (void)registered;
        bool area = false;
        check(factory.createMemoryArea(&area, &wrapper, 0, 0) == 0);
        top = factory.create("Mix", 1);
        check(top != nullptr);
        prm({}, "Lvl", 1, MMS::kMmsTypeUInt8);
        prm({}, "Trim", 2, MMS::kMmsTypeInt16);
        prm({}, "Label", 1, MMS::kMmsTypeString, 6);
        coll({}, "Ch", 3);     // node 3
        coll({}, "Bus", 2);    // node 4
        prm({3}, "Gain", 2, MMS::kMmsTypeUInt8);
        prm({3}, "On", 3, MMS::kMmsTypeBit);
        prm({3}, "Pan", 2, MMS::kMmsTypeBit);
        prm({3}, "Vol", 1, MMS::kMmsTypeFloat);
        coll({3}, "Sub", 2);  // node 4 in Ch
        prm({3, 4}, "X", 1, MMS::kMmsTypeInt16);
        prm({4}, "Level", 1, MMS::kMmsTypeUInt32);
        uint32_t serials = 0;
        uint32_t scalars = 0;
        check(top->setMemAddrInfo(&valueBytes, &dirtyBits, &importBits, &serials, &tagBytes, &scalars, 0, 0, 0, 0, 0,
                                  0) == 0);
        tags.assign(tagBytes, 0);
        check(top->setImportTags(tags.data(), 0) == 0);
        uint32_t collections = 0;
        uint32_t parameters = 0;
        check(top->getCollNodeNum(&collections, &parameters, 0, 0, 1) == 0);
        check(info.restore(&wrapper, tags.data(), tagBytes) == 0);
    }

    // The child lists hold offsets, not pointers, so the tree is given back before the leak check.
    ~FixedTree()
    {
        (void)info.destroy(&wrapper);
        if (top != nullptr) (void)top->release(&wrapper);
    }
    FixedTree(const FixedTree&) = delete;
    FixedTree& operator=(const FixedTree&) = delete;

    void prm(const std::vector<uint32_t>& path, const char* name, uint32_t arraySize, uint32_t type,
             uint32_t stringSize = 0)
    {
        JVariant maximum(stringSize);
        MMS::Parameter* parameter =
            factory.create(name, arraySize, type, nullptr, type == MMS::kMmsTypeString ? &maximum : nullptr, nullptr,
                           nullptr, nullptr, 0, 0, 1, 0, 0, 0);
        check(parameter != nullptr);
        const MMS::T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0;
        check(top->addPrm(&index, &wrapper, parameter, &address, 0) == 0);
    }
    void coll(const std::vector<uint32_t>& path, const char* name, uint32_t arraySize)
    {
        MMS::Collection* child = factory.create(name, arraySize);
        check(child != nullptr);
        const MMS::T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0;
        check(top->addCollection(&index, &wrapper, child, &address, 0) == 0);
    }

    MMS::SharedMemWrapper wrapper;
    MMS::TreeNodeCollector factory;
    MMS::CollectionTagInfo info;
    MMS::Collection* top = nullptr;
    uint32_t valueBytes = 0;
    uint32_t dirtyBits = 0;
    uint32_t importBits = 0;
    uint32_t tagBytes = 0;
    Bytes tags;
};

class Holder : public MMS::IDirtyFlagHolder {
public:
    Holder(Bytes& dirty, Bytes& flags, Bytes& searcher) : m_dirty(dirty), m_flags(flags), m_searcher(searcher) {}
    uint32_t set(uint32_t bit) override { return mark(m_dirty, bit); }
    uint32_t setImportFlag(uint32_t bit) override { return mark(m_flags, bit); }
    uint32_t setImportSearcher(uint32_t bit) override { return mark(m_searcher, bit); }

private:
    static uint32_t mark(Bytes& bitmap, uint32_t bit)
    {
        check(bit / 8 < bitmap.size());
        return MMS::CommonFunction::dirtyFlagController(bitmap.data(), bit, 1);
    }
    Bytes& m_dirty;
    Bytes& m_flags;
    Bytes& m_searcher;
};

bool allClear(const Bytes& bitmap)
{
    for (unsigned char b : bitmap) {
        if (b != 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    static FixedTree tree;
    if (size < 1 || size > 0xFFFFFu) return 0;
    const uint8_t selector = input[0];
    Bytes image(input + 1, input + size);

    unsigned char same = 0;
    unsigned char order = 0;
    unsigned char* tags = nullptr;
    unsigned char* data = nullptr;
    uint32_t tagSize = 0;
    uint32_t dataSize = 0;
    if (tree.info.readImportData(&same, &tags, &tagSize, &data, &dataSize, &order, image.data(),
                                 static_cast<uint32_t>(image.size())) != 0) {
        return 0;
    }
    if (order != 0 && MMS::CollectionTagInfo::endianCnvOfImportData(tags, tagSize, data, dataSize, order) != 0) {
        return 0;
    }
    // Exact-size copies of both areas: a read past either one is a sanitizer failure.
    const Bytes tagArea(tags, tags + tagSize);
    const Bytes dataArea(data, data + dataSize);

    Bytes values(tree.valueBytes, static_cast<unsigned char>(selector & 0x80 ? 0x5A : 0));
    Bytes dirty((tree.dirtyBits + 7) / 8, 0);
    Bytes flags((tree.importBits + 7) / 8, 0);
    Bytes searcher((tree.importBits + 7) / 8, 0);
    Bytes factors(tree.dirtyBits, 0);
    Holder holder(dirty, flags, searcher);

    // Bits 0-1: where to import (the top, element 0 or 1 of Ch, or element 1 of Bus);
    // bits 2-3: no filter, a filter over the value memory, or one over the image data.
    const uint32_t target = selector & 3;
    const uint32_t nodes[2] = {target == 3 ? 4u : 3u, 0};
    const uint32_t indexes[2] = {target == 3 ? 1u : target - 1, 0};
    const MMS::T_FAST_ADDRESS address{nodes, indexes, target == 0 ? 0u : 1u};
    const uint32_t filterKind = (selector >> 2) & 3;
    Bytes filter;
    MMS::E_FILTER_STRUCTURE layout = MMS::E_FILTER_STRUCTURE_VALUES;
    if (filterKind == 1) {
        filter.assign(tree.valueBytes, 0);
        for (size_t i = 0; i < filter.size(); i += 3) filter[i] = 1;
    } else if (filterKind >= 2) {
        layout = MMS::E_FILTER_STRUCTURE_IMAGE;
        filter.assign(dataArea.begin(), dataArea.end());
    }
    const unsigned char* filterBytes = filterKind == 0 ? nullptr : filter.data();
    const uint8_t sameDefinition = target == 0 ? same : 0;

    const uint32_t result = tree.top->importData(sameDefinition, &address, 0, 4, tagArea.data(), tagSize,
                                                 dataArea.data(), dataSize, nullptr, values.data(), filterBytes,
                                                 layout, &holder, 0, 0, factors.data(), tree.tags.data());
    if ((result & 0x80000000u) == 0) {
        const bool changed = (result & 0x100) != 0;
        check(changed == !allClear(dirty));
        check(changed == !allClear(flags));
        if (changed) check(MMS::CommonFunction::isDirty(dirty.data(), 0));
    }

    // The tree exports whole afterwards, clearing what the import marked.
    uint32_t exportSize = 0;
    check(tree.top->getExportDataSize(&exportSize, nullptr, nullptr, 0, 1, 0) == 0);
    Bytes out(exportSize);
    uint32_t outTags = 0;
    uint32_t outData = 0;
    const uint32_t exported =
        tree.top->exportData(out.data(), out.data() + tree.tagBytes, &outTags, &outData, nullptr, nullptr, 0,
                             tree.tagBytes, exportSize - tree.tagBytes, nullptr, nullptr, 0, 1, 0, 1, 1,
                             values.data(), dirty.data(), 0, searcher.data(), flags.data(), 0, factors.data(),
                             tree.tags.data());
    check(exported == 0 || exported == 0x100 || exported == 0x200 || exported == 0x300);
    check(outTags + outData == exportSize);
    check(allClear(dirty) && allClear(flags) && allClear(searcher));
    return 0;
}
