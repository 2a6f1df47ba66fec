#include "mmsf_NullFilter.h"

namespace MMSFUNC {

NullFilter& NullFilter::getInstance()
{
    static NullFilter instance;
    return instance;
}

NullFilter::NullFilter(const NullFilter&) : AbstractFilter() {}

NullFilter& NullFilter::operator=(const NullFilter&) { return *this; }

uint32_t NullFilter::initialize(FieldCollection*, unsigned int, bool) { return 0; }

uint32_t NullFilter::setAll() { return 0; }

uint32_t NullFilter::clearAll() { return 0; }

uint32_t NullFilter::set(const MMSAddress&) { return 0; }

uint32_t NullFilter::clear(const MMSAddress&) { return 0; }

uint32_t NullFilter::merge(const AbstractFilter&) { return 0; }

uint32_t NullFilter::copy(const AbstractFilter&) { return 0; }

uint32_t NullFilter::import(const void*, unsigned int) { return 0; }

const unsigned char* NullFilter::filter() const { return nullptr; }

unsigned int NullFilter::filterSize() const { return 0; }

uint32_t NullFilter::refresh() { return 0; }

}  // namespace MMSFUNC
