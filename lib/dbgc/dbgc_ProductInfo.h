#pragma once
// What the console banner shows of the product. The product information lives above this library,
// so the application shell installs a source here; until it does, the banner shows what an unset
// product information gives ("---" and "------").
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DBGC {

// Version kinds the banner asks for.
constexpr uint32_t kVersionProgram = 0;
constexpr uint32_t kVersionBootLoader = 1;
constexpr uint32_t kVersionKernel = 2;

class IProductInfoSource {
public:
    virtual ~IProductInfoSource() = default;
    // The product name of the current product type (mode 0); null counts as unset.
    virtual const char* productName(int32_t mode) const = 0;
    // Writes the version of that kind, NUL-terminated, into text (size bytes); the text is shown
    // whatever the result, so a source writes its own "------" or "ERROR!" on failure.
    virtual JLIB::JResult versionString(uint32_t kind, char* text, uint32_t size) const = 0;
};

// Any task. The source is borrowed: the installer keeps it alive until it installs null.
void setProductInfoSource(const IProductInfoSource* source);
const IProductInfoSource* getProductInfoSource();

}  // namespace DBGC
