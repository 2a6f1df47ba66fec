#pragma once
// The converters of the device's 32 spaces, created once with the device link table and kept for
// its life. Used only inside linked writes, under the device database lock.
#include <cstdint>
#include <memory>

namespace LPC {

class PDBLinkConverter;

class PDBLinkConverterList {
public:
    static constexpr uint32_t kSpaceNum = 32;

    // A converter that cannot be allocated stays absent.
    PDBLinkConverterList();
    virtual ~PDBLinkConverterList();
    PDBLinkConverterList(const PDBLinkConverterList&) = delete;
    PDBLinkConverterList& operator=(const PDBLinkConverterList&) = delete;

    // The converter of a 0-based space number; null for 32 and above.
    PDBLinkConverter* getConverter(uint32_t space) const;

private:
    std::unique_ptr<PDBLinkConverter> m_converters[kSpaceNum];
};

}  // namespace LPC
