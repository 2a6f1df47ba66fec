#include "mmsf_FieldCache.h"

#include <cstring>

#include "MMS/Common/mms_DataAccessor.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_IField.h"
#include "MMS/Common/mms_Platform.h"
#include "mmsf_AbstractFilter.h"
#include "mmsf_FieldFactory.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = 0x80000000u;
constexpr char kTemporaryRoot[] = "Temporary";

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

// The channel ranges an address covers, level by level.
struct Ranges {
    unsigned int levels = 0;
    unsigned int first[MMSAddress::kMaxDepth] = {};
    unsigned int last[MMSAddress::kMaxDepth] = {};
    bool anyChannel = false;
    bool wideInside = false;  // an any channel above the last level
    bool anyAtLast = false;
};

Ranges rangesOf(const MMSAddress& address)
{
    Ranges r;
    r.levels = address.vectorLen() < MMSAddress::kMaxDepth ? address.vectorLen() : MMSAddress::kMaxDepth;
    for (unsigned int i = 0; i < r.levels; ++i) {
        if (address.isAnyCh(i)) {
            r.first[i] = 0;
            r.last[i] = address.getChMax(i);
            r.anyChannel = true;
            if (i + 1 < r.levels) r.wideInside = true;
            else r.anyAtLast = true;
        } else {
            r.first[i] = r.last[i] = address.getCh(i);
        }
    }
    return r;
}

bool isWideInside(const MMSAddress& address)
{
    for (unsigned int i = 0; i + 1 < address.vectorLen(); ++i) {
        if (address.isAnyCh(i)) return true;
    }
    return false;
}

// Calls leaf for every element at and below at: each child on every channel of its level. A child
// that cannot be addressed is passed over and reported; the leaves' results are ORed.
template <typename Leaf>
uint32_t forEachElementBelow(const MMSAddress& at, Leaf& leaf)
{
    const unsigned int children = at.getChildNodeNum();
    if (children == 0) return leaf(at);
    uint32_t result = kOk;
    for (unsigned int i = 0; i < children; ++i) {
        MMSAddress child = at.getChildAddress(i);
        if (!child.isValid()) {
            result |= kFailed;
            continue;
        }
        const unsigned int level = child.vectorLen() - 1;
        for (unsigned int c = 0; c < child.getChNum(level); ++c) {
            (void)child.setCh(level, c);  // below the level's count: always taken
            result |= forEachElementBelow(child, leaf);
        }
    }
    return result;
}

// The defaults of every element at and below at (every channel of the levels below it) written
// into root of target. Elements without a readable default are passed over.
uint32_t writeDefaultsAt(const MMSAddress& at, MMS::IField* target, const char* root)
{
    const auto write = [&](const MMSAddress& element) {
        JVariant value;
        if (failed(element.getDefault(value))) return kOk;
        MMSAddress there(target, root, element.addrVector(), element.vectorLen());
        const uint32_t placed = there.setChVector(element.chVector(), element.vectorLen());
        return placed | there.setValue(value, 0, 1, 0, 0, 0);
    };
    return forEachElementBelow(at, write);
}

// The defaults over the ranges from level on, into root of target.
uint32_t writeDefaultsOverRanges(const MMSAddress& at, unsigned int level, const Ranges& ranges, MMS::IField* target,
                                 const char* root)
{
    if (level > ranges.levels) return kFailed;
    if (level == ranges.levels) return writeDefaultsAt(at, target, root);
    uint32_t result = kOk;
    MMSAddress one(at);
    for (unsigned int c = ranges.first[level]; c <= ranges.last[level]; ++c) {
        result |= one.setCh(level, c);
        result |= writeDefaultsOverRanges(one, level + 1, ranges, target, root);
        if (c == ranges.last[level]) break;  // the last channel may be the highest number there is
    }
    return result;
}

// Destroys the temporary field through the factory that made it.
struct TemporaryField {
    explicit TemporaryField(MMS::IField* source) : factory(source) {}
    ~TemporaryField()
    {
        MMS::IField* instance = field;
        if (instance) (void)factory.destroyInstance(instance);
    }
    FieldFactory factory;
    MMS::Field* field = nullptr;
};

}  // namespace

void FieldCache::ImageFree::operator()(unsigned char* image) const { (void)MMS::mmsFree(image); }

FieldCache::FieldCache() : m_size(0) {}

FieldCache::FieldCache(const FieldCache& other) : FieldCache() { *this = other; }

FieldCache& FieldCache::operator=(const FieldCache& other)
{
    if (&other == this) return *this;
    m_rootName = other.m_rootName;
    m_address = other.m_address;
    if (failed(resize(other.m_size))) return *this;  // name and address kept, no image
    if (m_size != 0) std::memcpy(m_image.get(), other.m_image.get(), m_size);
    return *this;
}

FieldCache::~FieldCache() = default;

uint32_t FieldCache::uncache()
{
    m_rootName.clear();
    (void)m_address.clear();
    m_image.reset();
    m_size = 0;
    return kOk;
}

uint32_t FieldCache::resize(unsigned int size)
{
    if (size == m_size && (m_image || size == 0)) return kOk;
    m_image.reset();
    m_size = 0;
    if (size == 0) return kOk;
    m_image.reset(static_cast<unsigned char*>(MMS::mmsMalloc(size)));
    if (!m_image) return kFailed;
    m_size = size;
    return kOk;
}

uint32_t FieldCache::storeFromField(MMS::IField* field, const char* rootName)
{
    return store(field, rootName, MMSAddress(), true, false);
}

uint32_t FieldCache::storeFromField(MMS::IField* field, const char* rootName, const MMSAddress& address,
                                    bool allChannels)
{
    if (!address.isValid()) return kFailed;
    return store(field, rootName, address, allChannels, false);
}

uint32_t FieldCache::makeDefaultField(MMS::IField* field, const char* rootName, const MMSAddress& address,
                                      bool allChannels)
{
    if (!address.isValid()) return kFailed;
    return store(field, rootName, address, allChannels, true);
}

uint32_t FieldCache::store(MMS::IField* field, const char* rootName, const MMSAddress& address, bool allChannels,
                           bool defaults)
{
    if (!field) return kFailed;
    const Ranges ranges = rangesOf(address);
    if (ranges.anyAtLast) allChannels = true;
    const uint8_t wholeLast = allChannels ? 1 : 0;

    uint32_t size = 0;
    uint32_t sized = kFailed;
    if (ranges.wideInside) {
        sized = field->getExportArraySizeFast(&size, rootName, address.addrVector(), ranges.first, ranges.last,
                                              ranges.levels, 1);
    } else if (address.isValid()) {
        sized = field->getExportDataSizeFast(&size, rootName, address.addrVector(), address.vectorLen(), wholeLast);
    } else {
        sized = field->getExportDataSize(&size, rootName, nullptr, 0, wholeLast);
    }
    if (failed(sized) || size == 0) return kFailed;
    if (size != m_size) {
        (void)uncache();
        if (failed(resize(size))) return kFailed;
    }

    MMS::IField* source = field;
    const char* sourceRoot = rootName;
    TemporaryField temporary(field);
    if (defaults && ranges.anyChannel) {
        // The field itself must not change: the defaults are laid out in a copy of its first root.
        temporary.field = temporary.factory.createInstance(kTemporaryRoot, nullptr, false);
        if (!temporary.field ||
            failed(writeDefaultsOverRanges(address, 0, ranges, temporary.field, kTemporaryRoot))) {
            // Exporting the field's own values instead would hand out values as defaults.
            (void)uncache();
            return kFailed;
        }
        source = temporary.field;
        sourceRoot = kTemporaryRoot;
    }

    uint32_t written = 0;
    uint32_t exported = kFailed;
    if (ranges.wideInside) {
        exported = source->exportArrayFast(m_image.get(), &written, m_size, sourceRoot, address.addrVector(),
                                           ranges.first, ranges.last, ranges.levels, 1, 1, 0, 0, 1, nullptr, 0);
    } else if (address.isValid()) {
        exported = source->exportDataFast(m_image.get(), &written, m_size, sourceRoot, address.addrVector(),
                                          ranges.first, ranges.levels, wholeLast, 1, 0, 0, 1, nullptr);
    } else {
        exported = source->exportData(m_image.get(), &written, m_size, sourceRoot, nullptr, 0, nullptr, 0, wholeLast, 1,
                                      0, 0, 1, nullptr);
    }
    if (failed(exported)) {
        (void)uncache();
        return kFailed;
    }
    if (defaults && !ranges.anyChannel) writeDefaultsIntoImage(address, address);

    m_rootName = rootName ? rootName : "";
    m_address = address;
    return kOk;
}

void FieldCache::writeDefaultsIntoImage(const MMSAddress& at, const MMSAddress& cached)
{
    const auto write = [&](const MMSAddress& element) {
        JVariant value;
        unsigned int nodes[MMSAddress::kMaxDepth] = {};
        unsigned int channels[MMSAddress::kMaxDepth] = {};
        unsigned int depth = 0;
        if (failed(element.getDefault(value)) || !relative(element, cached, nodes, channels, depth)) return kOk;
        // An element the image cannot take keeps its exported value.
        (void)MMS::DataAccessor::setPrmFast(value, m_image.get(), m_size, nullptr, nodes, channels, depth, 0);
        return kOk;
    };
    (void)forEachElementBelow(at, write);
}

bool FieldCache::relative(const MMSAddress& address, const MMSAddress& cached, unsigned int* nodes,
                          unsigned int* channels, unsigned int& depth) const
{
    const unsigned int dropped = cached.isValid() ? cached.vectorLen() : 0;
    if (address.vectorLen() <= dropped) return false;
    depth = address.vectorLen() - dropped;
    for (unsigned int i = 0; i < depth; ++i) {
        nodes[i] = address.addrVector()[dropped + i];
        channels[i] = address.chVector()[dropped + i];
    }
    return true;
}

uint32_t FieldCache::take(const char* rootName, const MMSAddress* address, const void* image, unsigned int size)
{
    if (size != m_size) (void)uncache();
    if (failed(resize(size))) return kFailed;
    std::memcpy(m_image.get(), image, size);
    m_rootName = rootName ? rootName : "";
    if (address) m_address = *address;
    else (void)m_address.clear();
    return kOk;
}

uint32_t FieldCache::importData(MMS::IField* field, const char* rootName, const void* image, unsigned int size)
{
    if (!image || size == 0) return kOk;
    if (!field) return kFailed;
    return take(rootName, nullptr, image, size);
}

uint32_t FieldCache::importData(MMS::IField* field, const char* rootName, const MMSAddress& address,
                                const void* image, unsigned int size)
{
    if (!address.isValid()) return kFailed;
    if (!image || size == 0) return kOk;
    if (!field) return kFailed;
    return take(rootName, &address, image, size);
}

uint32_t FieldCache::recallToField(MMS::IField* field, const char* rootName, const AbstractFilter* filter,
                                   unsigned char factor, bool optionA, bool optionB, bool optionC)
{
    if (!field || !isCached()) return kFailed;
    const void* filterImage = filter ? filter->filter() : nullptr;
    const uint32_t filterSize = filterImage ? filter->filterSize() : 0;
    const uint8_t mode = (optionA ? 0x10 : 0) | (optionB ? 0 : 0x02) | (optionC ? 0x01 : 0);
    const uint32_t result = field->importData(m_image.get(), m_size, filterImage, filterSize, rootName, nullptr, 0,
                                              nullptr, 0, factor, 1, mode, 0, nullptr, 0, nullptr);
    return failed(result) ? kFailed : kOk;
}

uint32_t FieldCache::recallToField(MMS::IField* field, const char* rootName, const MMSAddress& address,
                                   const AbstractFilter* filter, unsigned char factor, bool optionA, bool optionB,
                                   bool optionC)
{
    if (!address.isValid()) return kFailed;
    if (!field || !isCached()) return kFailed;
    const void* filterImage = filter ? filter->filter() : nullptr;
    const uint32_t filterSize = filterImage ? filter->filterSize() : 0;
    const uint8_t mode = (optionA ? 0x10 : 0) | (optionB ? 0 : 0x02) | (optionC ? 0x01 : 0);
    uint32_t result = kFailed;
    if (isWideInside(address)) {
        // Such an image carries the path from the top: it is imported there.
        result = field->importDataFast(m_image.get(), m_size, filterImage, filterSize, rootName, nullptr, nullptr, 0,
                                       factor, 1, mode, 0, nullptr, 0, nullptr);
    } else {
        unsigned int channels[MMSAddress::kMaxDepth] = {};
        for (unsigned int i = 0; i < address.vectorLen(); ++i) {
            channels[i] = address.isAnyCh(i) ? 0 : address.getCh(i);
        }
        result = field->importDataFast(m_image.get(), m_size, filterImage, filterSize, rootName, address.addrVector(),
                                       channels, address.vectorLen(), factor, 1, mode, 0, nullptr, 0, nullptr);
    }
    return failed(result) ? kFailed : kOk;
}

uint32_t FieldCache::setValue(const MMSAddress& address, const JVariant& value)
{
    unsigned int nodes[MMSAddress::kMaxDepth] = {};
    unsigned int channels[MMSAddress::kMaxDepth] = {};
    unsigned int depth = 0;
    if (!isCached() || !relative(address, m_address, nodes, channels, depth)) return kFailed;
    const uint32_t result =
        MMS::DataAccessor::setPrmFast(value, m_image.get(), m_size, m_rootName.c_str(), nodes, channels, depth, 0);
    return failed(result) ? kFailed : kOk;
}

JVariant FieldCache::getValue(const MMSAddress& address, unsigned int* result) const
{
    unsigned int nodes[MMSAddress::kMaxDepth] = {};
    unsigned int channels[MMSAddress::kMaxDepth] = {};
    unsigned int depth = 0;
    JVariant value;
    uint32_t code = kFailed;
    if (isCached() && relative(address, m_address, nodes, channels, depth)) {
        code = MMS::DataAccessor::getPrmFast(&value, m_image.get(), m_size, m_rootName.c_str(), nodes, channels,
                                             depth);
    }
    if (failed(code)) {
        code = kFailed;
        value = JVariant();
    } else {
        code = kOk;
    }
    if (result) *result = code;
    return value;
}

uint32_t FieldCache::changeNodeName(const char* newName, const char* address, unsigned int length)
{
    if (!isCached()) return kFailed;
    const uint32_t result =
        MMS::DataAccessor::changeNodeName(newName, m_image.get(), m_size, nullptr, address, length);
    return failed(result) ? kFailed : kOk;
}

}  // namespace MMSFUNC
