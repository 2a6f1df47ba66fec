#pragma once
// Commands of the parameter-tree synchronisers: the database twin's command set with the tree's
// data. Digests and block images are those of one root's export image; a set's first parameter
// is one byte, and its value an Int32, UInt32 or String. Stateless; any task, the facade is the
// caller's for the call.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace DeviceControl {
class IFacade;
}

namespace ComControl {

class MmsSynchronizerProtocol {
public:
    static constexpr uint32_t kDigestSize = 16;
    static constexpr uint32_t kDigestTextOffset = 44;  // of the export's tag header
    static constexpr uint32_t kBufferOverhead = 255;

    // Structure digest from the export's tag header, value digest = MD5 of the whole export.
    // Both stay as given (zero) when the export cannot be had; 0x80000000 for a missing facade or
    // output, a header that cannot be read or a digest text that is not hexadecimal; 0x80000001
    // when no memory.
    [[nodiscard]] static JLIB::JResult generateDigest(DeviceControl::IFacade* facade, const char* root,
                                                      uint8_t* structureDigest, uint8_t* valueDigest);
    // A tell-parameter naming the root, with its digests.
    [[nodiscard]] static JLIB::JResult Encode_AssociationTellParameter(uint8_t* buffer, uint32_t capacity,
                                                                       uint32_t* length,
                                                                       DeviceControl::IFacade* facade,
                                                                       const char* root);
    // Compares the peer's digests with those of the root the command names; a nameless peer
    // differs in both. 0x80000004 malformed, 0x80000000 when the local digest fails.
    [[nodiscard]] static JLIB::JResult Decode_AssociationTellParameter(const uint8_t* command, uint32_t received,
                                                                       DeviceControl::IFacade* facade,
                                                                       const char** name, bool* structureMatched,
                                                                       bool* valuesMatched);
    // Other value types are refused with 0x80000000.
    [[nodiscard]] static JLIB::JResult Encode_SetParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                           const JVariant& value, uint32_t commFactor,
                                                           const char* name, const char* root,
                                                           const char* textAddress, const uint32_t* numbers,
                                                           const uint32_t* indexes, uint32_t depth);
    // The export of the root (whole without an address) written in place; an export of another
    // size than announced gives 0x80000000. Exporting clears the facade's change and import
    // flags of what it wrote: the peer has it now.
    [[nodiscard]] static JLIB::JResult Encode_SetParameterBlock(uint8_t* buffer, uint32_t capacity,
                                                                uint32_t* length, DeviceControl::IFacade* facade,
                                                                const uint8_t* filter, uint32_t filterSize,
                                                                uint32_t commFactor, const char* name,
                                                                const char* root, const char* textAddress,
                                                                const uint32_t* numbers, const uint32_t* indexes,
                                                                uint32_t depth);
    [[nodiscard]] static JLIB::JResult Encode_AssociationSetParameter(uint8_t* buffer, uint32_t capacity,
                                                                      uint32_t* length,
                                                                      DeviceControl::IFacade* facade,
                                                                      const uint8_t* filter, uint32_t filterSize,
                                                                      uint32_t commFactor, const char* name,
                                                                      const char* root);
    // 2 x the largest whole-root export + 255; 0 without a facade or when it fails.
    static uint32_t getMaxBufferSize(DeviceControl::IFacade* facade);
};

}  // namespace ComControl
