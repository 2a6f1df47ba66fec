// A fixed root's export image followed by arbitrary bytes, imported whole into a linked field: the
// bytes take the place of the link image. Byte 0 chooses the field: one of the image's own
// definition, or one whose definition gained a parameter in front (member addresses are then
// found by name). Whatever the bytes, the field must stay whole: its links can be walked, a set
// propagates and the root exports again.
// Input: byte 0 chooses the field; the rest follows the export image.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_Parameter.h"
#include "MMS/mms_LinkField.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

using Bytes = std::vector<unsigned char>;

// R { [New (int32 x2)] I (int32 x4), C[2] { K (int32 x2) }, Bit (bit x2) }, all with a step.
void build(MMS::LinkField& field, bool withFront)
{
    check(field.startBuild() == 0);
    check(field.createRoot("R", "Top", 0, 0, 256) == 0);
    uint32_t index = 0;
    JVariant min(-100);
    JVariant max(100);
    JVariant step(1);
    JVariant def(10);
    JVariant zero(0u);
    JVariant one(1u);
    auto prm = [&](const uint32_t* parent, uint32_t depth, const char* name, uint32_t size, uint32_t type) {
        const bool bit = type == MMS::kMmsTypeBit;
        check(field.addPrmFast(&index, "R", parent, depth, name, size, type, bit ? &zero : &min, bit ? &one : &max,
                               bit ? &zero : &def, bit ? &one : &step, nullptr, nullptr, 0, 1, 0, nullptr, 0) == 0);
    };
    if (withFront) prm(nullptr, 0, "New", 2, MMS::kMmsTypeInt32);
    prm(nullptr, 0, "I", 4, MMS::kMmsTypeInt32);
    prm(nullptr, 0, "Bit", 2, MMS::kMmsTypeBit);
    check(field.addCollectionFast(&index, "R", nullptr, 0, "C", 2) == 0);
    const uint32_t c[1] = {withFront ? 3u : 2u};
    prm(c, 1, "K", 2, MMS::kMmsTypeInt32);
    check(field.finishBuild(1) == 0);
}

Bytes exportRoot(MMS::LinkField& field)
{
    uint32_t size = 0;
    check(field.getExportDataSizeFast(&size, "R", nullptr, 0, 0) == 0);
    Bytes image(size);
    uint32_t written = 0;
    check(field.exportDataFast(image.data(), &written, size, "R", nullptr, nullptr, 0, 0, 0, 0, 0, 0, nullptr) == 0);
    image.resize(written);
    return image;
}

// The export image of the root's own definition without links, made once.
const Bytes& plainImage()
{
    static const Bytes image = [] {
        MMS::LinkField field(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        build(field, false);
        return exportRoot(field);
    }();
    return image;
}

void addLinks(MMS::LinkField& field, bool withFront)
{
    uint32_t handle = 0;
    check(field.linkHndlOpen(&handle) == 0);
    uint32_t id = 0;
    check(field.createLink(&id, "R", handle, 1, 0) == 0);
    const uint32_t i[1] = {withFront ? 1u : 0u};
    for (uint32_t e = 0; e < 3; ++e) {
        const uint32_t at[1] = {e};
        check(field.addLinkPrm("R", id, i, at, 1, handle, 1, 0) == 0);
    }
    check(field.linkHndlClose(handle) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static JLIB::GlobalHeapManagerBase heap;
    (void)JLIB::SubscribeHeapId(1, heap);
    (void)plainImage();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const bool withFront = (data[0] & 1) != 0;
    MMS::LinkField field(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    build(field, withFront);
    addLinks(field, withFront);
    check(field.linkSubscribe(7, 0, false) == 0);

    Bytes image = plainImage();
    image.insert(image.end(), data + 1, data + size);  // exactly as long as it is, for the sanitizers
    const uint32_t r = field.importDataFast(image.data(), static_cast<uint32_t>(image.size()), nullptr, 0, "R",
                                            nullptr, nullptr, 0, 0, 1, 0, 3, nullptr, 0, nullptr);
    check(!MMS::mmsIsFailure(r));  // the values are good whatever follows them

    // Every link and member can be walked, and each member reads.
    uint32_t links = 0;
    check(field.getNumOfLink(&links, "R") == 0);
    for (uint32_t p = 0; p < links; ++p) {
        uint32_t id = 0;
        check(field.cnvIndexToLinkID(&id, "R", p) == 0);
        uint32_t members = 0;
        check(field.getNumOfLinkPrm(&members, "R", id) == 0);
        for (uint32_t m = 0; m < members; ++m) {
            uint32_t nodes[5] = {};
            uint32_t indices[5] = {};
            uint32_t depth = 0;
            JVariant value;
            check(field.getLinkItemInfo(nodes, indices, &depth, &value, 5, "R", id, m) == 0);
            JVariant current;
            check(!MMS::mmsIsFailure(field.getPrmFast(&current, nullptr, "R", nodes, indices, depth, 0, 0)));
        }
        uint8_t changed = 0;
        const uint32_t codes[1] = {0};
        const uint32_t at[1] = {p};
        check(!MMS::mmsIsFailure(field.isLinkChangedFast(&changed, "R", codes, at, 1, 1, 7)));
    }
    const uint32_t i[1] = {withFront ? 1u : 0u};
    const uint32_t e[1] = {3};
    (void)field.setPrmFast(JVariant(42), "R", i, e, 1, 0, 0, 0, 0, 3, nullptr, 0, nullptr);  // may stop at a member
    check(!exportRoot(field).empty());
    return 0;
}
