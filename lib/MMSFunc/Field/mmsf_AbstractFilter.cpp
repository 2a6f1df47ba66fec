#include "mmsf_AbstractFilter.h"

#include <cstring>

#include "MMS/Common/mms_FilterDataModifier.h"
#include "MMS/Common/mms_IField.h"
#include "MMS/Common/mms_Platform.h"
#include "mmsf_FieldCollection.h"
#include "mmsf_MMSAddress.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = 0x80000000u;

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

}  // namespace

void AbstractFilter::ImageFree::operator()(unsigned char* image) const { (void)MMS::mmsFree(image); }

AbstractFilter::AbstractFilter() : m_size(0), m_used(false) {}

AbstractFilter::AbstractFilter(const AbstractFilter& other) : AbstractFilter()
{
    (void)AbstractFilter::copy(other);  // a failed allocation leaves the new filter empty
}

AbstractFilter& AbstractFilter::operator=(const AbstractFilter& other)
{
    (void)copy(other);  // a failed allocation leaves this filter empty
    return *this;
}

AbstractFilter::~AbstractFilter() = default;

uint32_t AbstractFilter::initialize(FieldCollection* collection, unsigned int fieldIndex, bool setAll)
{
    if (!collection || m_image) return kFailed;
    MMS::IField* field = collection->field(fieldIndex);
    if (!field) return kFailed;
    uint32_t size = 0;
    if (failed(field->getExportDataSize(&size, nullptr, nullptr, 0, 1)) || size == 0) return kFailed;
    std::unique_ptr<unsigned char, ImageFree> image(static_cast<unsigned char*>(MMS::mmsMalloc(size)));
    if (!image) return kFailed;
    uint32_t written = 0;
    if (failed(field->exportData(image.get(), &written, size, nullptr, nullptr, 0, nullptr, 0, 1, 1, 0, 0, 1,
                                 nullptr)) ||
        written != size) {
        return kFailed;
    }
    // The flags start from the values just exported: turn them into a uniform start.
    const uint32_t flags =
        setAll ? MMS::FilterDataModifier::allSet(image.get(), size, nullptr)
               : MMS::FilterDataModifier::allClear(image.get(), size, nullptr);
    if (failed(flags)) return kFailed;
    m_image = std::move(image);
    m_size = size;
    return kOk;
}

uint32_t AbstractFilter::setAll()
{
    if (!m_image || failed(MMS::FilterDataModifier::allSet(m_image.get(), m_size, nullptr))) return kFailed;
    m_used = true;
    return kOk;
}

uint32_t AbstractFilter::clearAll()
{
    if (!m_image || failed(MMS::FilterDataModifier::allClear(m_image.get(), m_size, nullptr))) return kFailed;
    m_used = false;
    return kOk;
}

uint32_t AbstractFilter::set(const MMSAddress& address)
{
    if (!m_image || !address.isValid()) return kFailed;
    if (failed(setFlag(0, address, true))) return kFailed;
    m_used = true;
    return kOk;
}

uint32_t AbstractFilter::clear(const MMSAddress& address)
{
    if (!m_image || !address.isValid()) return kFailed;
    return setFlag(0, address, false);
}

uint32_t AbstractFilter::merge(const AbstractFilter& other)
{
    if (!m_image || !other.filter()) return kFailed;
    if (failed(MMS::FilterDataModifier::orFilters(m_image.get(), m_size, other.filter(), other.filterSize()))) {
        return kFailed;
    }
    m_used = m_used || other.isUsed();
    return kOk;
}

uint32_t AbstractFilter::copy(const AbstractFilter& other)
{
    if (&other == this) return kOk;
    const unsigned char* source = other.filter();
    const unsigned int size = source ? other.filterSize() : 0;
    if (size != m_size || !m_image) {
        m_image.reset();
        m_size = 0;
        if (size != 0) {
            m_image.reset(static_cast<unsigned char*>(MMS::mmsMalloc(size)));
            if (!m_image) return kFailed;
            m_size = size;
        }
    }
    if (size != 0) std::memcpy(m_image.get(), source, size);
    m_used = other.isUsed();
    return kOk;
}

uint32_t AbstractFilter::import(const void* data, unsigned int size) { return data && size != 0 ? kOk : kFailed; }

const unsigned char* AbstractFilter::filter() const { return m_image.get(); }

unsigned int AbstractFilter::filterSize() const { return m_size; }

uint32_t AbstractFilter::refresh() { return kOk; }

bool AbstractFilter::isUsed() const { return m_used; }

uint32_t AbstractFilter::setFlag(unsigned int firstLevel, const MMSAddress& address, bool set)
{
    // Each covered element once: the flag writer cannot take an any channel.
    const auto write = [&](const MMSAddress& at) {
        if (!m_image) return kFailed;
        const uint32_t written =
            set ? MMS::FilterDataModifier::setFast(m_image.get(), m_size, at.addrVector(), at.chVector(),
                                                   at.vectorLen(), nullptr)
                : MMS::FilterDataModifier::clearFast(m_image.get(), m_size, at.addrVector(), at.chVector(),
                                                     at.vectorLen(), nullptr);
        return failed(written) ? kFailed : kOk;
    };
    return address.forEachElement(write, firstLevel);
}

}  // namespace MMSFUNC
