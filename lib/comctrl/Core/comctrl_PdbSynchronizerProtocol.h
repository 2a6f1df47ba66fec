#pragma once
// Commands of the parameter-database synchronisers: association handshake with digests, single
// sets, whole-image block sets and the flip that closes a batch. Stateless encoders and decoders
// over a caller's buffer; any task. Decoded texts point into the received command.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace ComControl {

constexpr uint32_t CNP_CMD_ASSOCIATION_BEGIN_REQUEST = 0x010101;
constexpr uint32_t CNP_CMD_ASSOCIATION_TELL_COMPLETE = 0x010401;
constexpr uint32_t CNP_CMD_ASSOCIATION_TELL_COMPLETE_ANSWER = 0x010410;
constexpr uint32_t CNP_CMD_ASSOCIATION_END = 0x010501;
constexpr uint32_t CNP_CMD_ASSOCIATION_END_ANSWER = 0x010510;
constexpr uint32_t CNP_CMD_ASSOCIATION_TELL_PARAMETER = 0x011001;
constexpr uint32_t CNP_CMD_ASSOCIATION_TELL_PARAMETER_ANSWER = 0x011010;
constexpr uint32_t CNP_CMD_SET_PARAMETER = 0x011101;
constexpr uint32_t CNP_CMD_SET_PARAMETER_BLOCK = 0x011401;
constexpr uint32_t CNP_CMD_PARAMETER_FLIP = 0x011901;
constexpr uint8_t CNP_SUBCMD_TELLSTRUCTURE_ASSOCIATION = 0;

// The image of a block set written in place by another data source than a database.
class IBlockImage {
public:
    virtual ~IBlockImage() = default;
    [[nodiscard]] virtual JLIB::JResult imageSize(uint32_t* size) const = 0;
    // Writes the image of exactly size bytes; a failure or another size refuses the block.
    [[nodiscard]] virtual JLIB::JResult writeImage(uint8_t* out, uint32_t size) const = 0;
};

class PdbSynchronizerProtocol {
public:
    static constexpr uint32_t kDigestSize = 16;
    static constexpr uint32_t kMaxTextValue = 1024;  // a String value with its NUL
    static constexpr uint32_t kBlockOverhead = 190;  // packet header and every other block parameter

    // Selects set or block for the shared encoder and decoder.
    struct T_DATA {
        uint32_t commandId = CNP_CMD_SET_PARAMETER;
        const JVariant* value = nullptr;   // set: the value to send
        JVariant* valueOut = nullptr;      // set: the decoded value
        uint32_t instanceId = 0;           // block: the database exported
        const uint8_t* filter = nullptr;   // block: filter bytes
        uint32_t filterSize = 0;
        bool patch = false;                // block: write the factor again with the export status
        const uint8_t* image = nullptr;    // block decode: the image in the command
        uint32_t imageSize = 0;
        uint8_t reservedType = 0x12;       // type of the first parameter
        bool integerOrTextValue = false;   // set: only Int32, UInt32 and String values
        const IBlockImage* source = nullptr;  // block: the image's writer instead of the database
    };

    // Decoded address part of a set or block.
    struct Address {
        const char* name = nullptr;
        const char* subName = nullptr;
        const char* textAddress = nullptr;
        uint32_t* numbers = nullptr;  // caller's arrays of capacity elements
        uint32_t* indexes = nullptr;
        uint32_t depth = 0;
        uint32_t numberCount = 0;  // elements the numeric address carried
        uint32_t indexCount = 0;
    };

    [[nodiscard]] static JLIB::JResult Encode_AssociationBeginRequest(uint8_t* buffer, uint32_t capacity,
                                                                      uint32_t* length, const char* name,
                                                                      bool withTarget);
    [[nodiscard]] static JLIB::JResult Decode_AssociationBeginRequest(const uint8_t* command, uint32_t received,
                                                                      const char** name, bool* withTarget);
    [[nodiscard]] static JLIB::JResult Encode_AssociationEnd(uint8_t* buffer, uint32_t capacity, uint32_t* length);
    [[nodiscard]] static JLIB::JResult Encode_AssociationEndAnswer(uint8_t* buffer, uint32_t capacity,
                                                                   uint32_t* length);
    [[nodiscard]] static JLIB::JResult Encode_AssociationTellComplete(uint8_t* buffer, uint32_t capacity,
                                                                      uint32_t* length);
    [[nodiscard]] static JLIB::JResult Encode_AssociationTellCompleteAnswer(uint8_t* buffer, uint32_t capacity,
                                                                            uint32_t* length);
    // 0 for any command, 0x80000000 for a missing one.
    [[nodiscard]] static JLIB::JResult Decode_AssociationEnd(const uint8_t* command, uint32_t received);
    [[nodiscard]] static JLIB::JResult Decode_AssociationEndAnswer(const uint8_t* command, uint32_t received);
    [[nodiscard]] static JLIB::JResult Decode_AssociationTellComplete(const uint8_t* command, uint32_t received);
    [[nodiscard]] static JLIB::JResult Decode_AssociationTellCompleteAnswer(const uint8_t* command,
                                                                            uint32_t received);

    [[nodiscard]] static JLIB::JResult Encode_AssociationTellParameter(uint8_t* buffer, uint32_t capacity,
                                                                       uint32_t* length, uint32_t instanceId,
                                                                       const char* name);
    // Digests of other than 16 bytes are malformed (0x80000004).
    [[nodiscard]] static JLIB::JResult Decode_AssociationTellParameter(const uint8_t* command, uint32_t received,
                                                                       uint32_t instanceId, const char** name,
                                                                       bool* structureMatched, bool* valuesMatched);
    [[nodiscard]] static JLIB::JResult Encode_AssociationTellParameterAnswer(uint8_t* buffer, uint32_t capacity,
                                                                             uint32_t* length, const char* name,
                                                                             bool structureMatched,
                                                                             bool valuesMatched);
    [[nodiscard]] static JLIB::JResult Decode_AssociationTellParameterAnswer(const uint8_t* command,
                                                                             uint32_t received, uint32_t* result,
                                                                             const char** name,
                                                                             bool* structureMatched,
                                                                             bool* valuesMatched);

    [[nodiscard]] static JLIB::JResult Encode_SetParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                           const JVariant& value, uint32_t commFactor,
                                                           const char* name, const char* subName,
                                                           const char* textAddress, const uint32_t* numbers,
                                                           const uint32_t* indexes, uint32_t depth);
    [[nodiscard]] static JLIB::JResult Decode_SetParameter(const uint8_t* command, uint32_t received,
                                                           uint32_t arrayCapacity, JVariant* value,
                                                           uint32_t* commFactor, Address* address);
    [[nodiscard]] static JLIB::JResult Encode_SetParameterBlock(uint8_t* buffer, uint32_t capacity,
                                                                uint32_t* length, uint32_t instanceId,
                                                                const uint8_t* filter, uint32_t filterSize,
                                                                uint32_t commFactor, const char* name,
                                                                const char* subName, const char* textAddress,
                                                                const uint32_t* numbers, const uint32_t* indexes,
                                                                uint32_t depth, bool patch);
    [[nodiscard]] static JLIB::JResult Encode_AssociationSetParameter(uint8_t* buffer, uint32_t capacity,
                                                                      uint32_t* length, uint32_t instanceId,
                                                                      const uint8_t* filter, uint32_t filterSize,
                                                                      uint32_t commFactor, const char* name,
                                                                      const char* subName);
    [[nodiscard]] static JLIB::JResult Decode_SetParameterBlock(const uint8_t* command, uint32_t received,
                                                                uint32_t arrayCapacity, const uint8_t** image,
                                                                uint32_t* imageSize, const uint8_t** filter,
                                                                uint32_t* filterSize, uint32_t* commFactor,
                                                                Address* address);
    [[nodiscard]] static JLIB::JResult Encode_ParameterFlip(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                            const char* name, const char* subName);
    [[nodiscard]] static JLIB::JResult Decode_ParameterFlip(const uint8_t* command, uint32_t received,
                                                            const char** name, const char** subName);

    // AssociationTellParameter with the given digests; the decoder reads the peer's digests
    // (left zero for a nameless peer, *named false).
    [[nodiscard]] static JLIB::JResult encodeTellParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                           const char* name, const uint8_t* structureDigest,
                                                           const uint8_t* valueDigest);
    [[nodiscard]] static JLIB::JResult decodeTellParameter(const uint8_t* command, uint32_t received,
                                                           const char** name, bool* named,
                                                           uint8_t* structureDigest, uint8_t* valueDigest);

    // Room one received command of the port needs; 0 for an id without a database.
    static uint32_t getMaxBufferSize(uint32_t instanceId);
    // MD5 of the database image into valueDigest (left as given when the export fails).
    // 0x80000000 missing database or output, 0x80000001 no memory.
    [[nodiscard]] static JLIB::JResult generateDigest(uint32_t instanceId, const char* name,
                                                      uint8_t* structureDigest, uint8_t* valueDigest);

    // The shared set and block coders; the forms above fill T_DATA for the database.
    [[nodiscard]] static JLIB::JResult encodeSet(uint8_t* buffer, uint32_t capacity, uint32_t* length, const T_DATA& data,
                                   uint32_t commFactor, const char* name, const char* subName,
                                   const char* textAddress, const uint32_t* numbers, const uint32_t* indexes,
                                   uint32_t depth);
    [[nodiscard]] static JLIB::JResult decodeSet(const uint8_t* command, uint32_t received, uint32_t arrayCapacity, T_DATA& data,
                                   uint32_t* commFactor, Address* address);
};

}  // namespace ComControl
