#pragma once
// The publication as the product makes it: each value goes through the console family's field
// table (a process-wide cache that the product fills with FieldCollectionForGW::initialize) and
// a parameter address. A field that is not in the table, or an address that does not resolve,
// fails the write. Any task; no state of its own.
#include <cstdint>

#include "DiagFramework/diagfrwk_DiagHooks.h"

namespace DiagFramework {

class DiagFieldWriter : public IDiagFieldWriter {
public:
    // 0x80000000 when the field is not in the table, the address does not resolve, the channel
    // is outside the last level's array or the field refuses the value; else the write's result.
    JLIB::JResult writeDiagValue(uint32_t fieldIndex, const char* rootName, const char* address, int32_t channel,
                                 int32_t value) override;
};

}  // namespace DiagFramework
