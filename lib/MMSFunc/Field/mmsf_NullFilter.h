#pragma once
// The filter that does nothing: every operation gives 0, it has no image and is never used.
// One shared instance, immutable, safe from any task.
#include "mmsf_AbstractFilter.h"

namespace MMSFUNC {

class NullFilter : public AbstractFilter {
public:
    // Built on first use, destroyed at exit.
    static NullFilter& getInstance();

    NullFilter() = default;
    // An empty null filter; assignment does nothing.
    NullFilter(const NullFilter& other);
    NullFilter& operator=(const NullFilter& other);
    ~NullFilter() override = default;

    uint32_t initialize(FieldCollection* collection, unsigned int fieldIndex, bool setAll) override;
    uint32_t setAll() override;
    uint32_t clearAll() override;
    uint32_t set(const MMSAddress& address) override;
    uint32_t clear(const MMSAddress& address) override;
    uint32_t merge(const AbstractFilter& other) override;
    uint32_t copy(const AbstractFilter& other) override;
    uint32_t import(const void* data, unsigned int size) override;
    const unsigned char* filter() const override;
    unsigned int filterSize() const override;
    uint32_t refresh() override;
};

}  // namespace MMSFUNC
