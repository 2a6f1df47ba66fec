// Arbitrary bytes taken into a field cache as a ready image (of the whole root or of a collection
// instance), read and written element by element inside it, renamed, copied, and recalled into a
// field, plain and through a filter. The field must stay whole: its own export still works after
// every recall.
// Input: 4 control bytes (image form, channels, recall options and factor), then the image.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_AbstractFilter.h"
#include "MMSFunc/Field/mmsf_FieldCache.h"
#include "MMSFunc/Field/mmsf_FieldCollection.h"
#include "MMSFunc/Field/mmsf_MMSAddress.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

using MMSFUNC::MMSAddress;

// Volume (int32), Send[6] (int32), Label (string), Ch[2] { Band[3] { Gain (int16) } }
constexpr char kXml[] =
    "<function name=\"Top\" collections=\"3\" parameters=\"4\" stringsize=\"64\" version=\"01.00.00\">"
    "<collections>"
    "<parameter name=\"Volume\" type=\"int32_t\"><minimum>-100</minimum><maximum>100</maximum>"
    "<default>5</default></parameter>"
    "<parameter name=\"Send\" type=\"int32_t\" arraysize=\"6\"><minimum>-100</minimum><maximum>100</maximum>"
    "<default>0</default></parameter>"
    "<parameter name=\"Label\" type=\"string\"><maximum>40</maximum><default>x</default></parameter>"
    "<collection name=\"Ch\" arraysize=\"2\"><collection name=\"Band\" arraysize=\"3\">"
    "<parameter name=\"Gain\" type=\"int16_t\"><minimum>-1000</minimum><maximum>1000</maximum>"
    "<default>7</default></parameter>"
    "</collection></collection>"
    "</collections></function>";
constexpr char kRoot[] = "Mix";

class OneField : public MMSFUNC::FieldCollection {
public:
    explicit OneField(MMS::IField* field) : m_field(field) {}
    MMS::IField* field(unsigned index) const override { return index == 0 ? m_field : nullptr; }
    const MMSFUNC::FieldInfo* fieldInfo(unsigned) const override { return &m_NullInfo; }
    unsigned fieldNum() const override { return 1; }
    uint32_t releaseAll() override { return 0; }

private:
    MMS::IField* m_field;
};

struct Fixture {
    Fixture()
    {
        static JLIB::GlobalHeapManagerBase heap;
        static const bool registered = JLIB::SubscribeHeapId(1, heap) == 0;
        (void)registered;
        field = std::make_unique<MMS::Field>(nullptr, nullptr, nullptr, nullptr, nullptr);
        check(MMS::XmlParser::Parse(field.get(), "D", 2, kRoot, sizeof kRoot, kXml, sizeof kXml,
                                    MMS::BUILD_OPTION_FINISH, nullptr, 0) == 0);
        collection = std::make_unique<OneField>(field.get());
        check(filter.initialize(collection.get(), 0, false) == 0);
        check(filter.set(MMSAddress(field.get(), kRoot, "Volume")) == 0);
    }
    // The field's own export of its whole root must still work.
    void checkWhole() const
    {
        uint32_t size = 0;
        check(field->getExportDataSize(&size, kRoot, nullptr, 0, 1) == 0 && size != 0);
        std::vector<unsigned char> image(size);
        uint32_t written = 0;
        check((field->exportData(image.data(), &written, size, kRoot, nullptr, 0, nullptr, 0, 1, 0, 0, 0, 0,
                                 nullptr) & 0x80000000u) == 0);
        check(written == size);
    }

    std::unique_ptr<MMS::Field> field;
    std::unique_ptr<OneField> collection;
    MMSFUNC::AbstractFilter filter;
};

MMSAddress at(MMS::IField* field, const char* path, unsigned c0, unsigned c1, unsigned c2)
{
    MMSAddress address(field, kRoot, path);
    (void)address.setChVector(c0, c1, c2, 0, 0);  // a refused channel keeps 0
    return address;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    static Fixture fixture;
    if (size < 4 || size > 0x10000) return 0;
    const uint8_t form = input[0], channels = input[1], options = input[2], factor = input[3];
    const std::vector<unsigned char> image(input + 4, input + size);
    const auto length = static_cast<unsigned>(image.size());
    MMS::IField* field = fixture.field.get();

    MMSFUNC::FieldCache cache;
    const MMSAddress instance = at(field, "Ch", (form >> 1) & 1, 0, 0);
    const uint32_t taken = (form & 1) ? cache.importData(field, kRoot, instance, image.data(), length)
                                      : cache.importData(field, kRoot, image.data(), length);
    check(taken == 0 || taken == 0x80000000u);
    check(cache.isCached() == (taken == 0 && length != 0));
    if (!cache.isCached()) return 0;
    check(cache.exportDataSize() == length);

    // Reads and writes inside the image at addresses of every depth, in and out of range.
    const unsigned c = channels & 7, b = (channels >> 3) & 3;
    const MMSAddress addresses[] = {
        at(field, "Volume", 0, 0, 0), at(field, "Send", c, 0, 0), at(field, "Label", 0, 0, 0),
        at(field, "Ch/Band/Gain", c & 1, b, 0), at(field, "Ch/Band", c & 1, MMSAddress::CH_ANY, 0),
    };
    const JVariant values[] = {JVariant(-1), JVariant(2.5f), JVariant("text", 8)};
    for (const MMSAddress& address : addresses) {
        unsigned result = 0x5A5A5A5A;
        const JVariant read = cache.getValue(address, &result);
        check(result == 0 || result == 0x80000000u);
        check(result == 0 || !read.isValid());
        const uint32_t written = cache.setValue(address, values[(options >> 4) % 3]);
        check(written == 0 || written == 0x80000000u);
    }
    if (options & 0x80) (void)cache.changeNodeName("Renamed", "Ch/Band", 7);
    const MMSFUNC::FieldCache copy(cache);
    check(copy.exportDataSize() == cache.exportDataSize());

    // Back into the field: whole, at the instance, and through the filter.
    const MMSFUNC::AbstractFilter* filter = (options & 0x08) ? &fixture.filter : nullptr;
    const bool a = options & 1, optionB = options & 2, optionC = options & 4;
    uint32_t recalled = (form & 1) ? cache.recallToField(field, kRoot, instance, filter, factor, a, optionB, optionC)
                                   : cache.recallToField(field, kRoot, filter, factor, a, optionB, optionC);
    check(recalled == 0 || recalled == 0x80000000u);
    fixture.checkWhole();
    const MMSAddress wide = at(field, "Ch/Band", MMSAddress::CH_ANY, 0, 0);
    recalled = cache.recallToField(field, kRoot, wide, filter, factor, a, optionB, optionC);
    check(recalled == 0 || recalled == 0x80000000u);
    fixture.checkWhole();
    return 0;
}
