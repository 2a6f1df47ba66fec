#include "comctrl_MmsSynchronizerProtocol.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "MMS/Common/mms_ExportDataAnalyzer.h"
#include "comctrl_PdbSynchronizerProtocol.h"
#include "comctrl_cnp.h"
#include "devctrl/devctrl_IFacade.h"
#include "jlib/jlib_md5.h"

namespace ComControl {

namespace {

using P = PdbSynchronizerProtocol;
using M = MmsSynchronizerProtocol;

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One root's export (or the part an address names) as a block image.
class RootExport : public IBlockImage {
public:
    RootExport(DeviceControl::IFacade& facade, const char* root, const char* textAddress, const uint32_t* numbers,
               const uint32_t* indexes, uint32_t depth)
        : m_facade(facade), m_root(root), m_text(textAddress), m_numbers(numbers), m_indexes(indexes), m_depth(depth)
    {
    }

    JLIB::JResult imageSize(uint32_t* size) const override
    {
        if (m_text) {
            return m_facade.getExportDataSize(size, m_root, m_text, static_cast<uint32_t>(std::strlen(m_text)), 0);
        }
        return m_facade.getExportDataSizeFast(size, m_root, m_depth ? m_numbers : nullptr, m_depth, 0);
    }

    JLIB::JResult writeImage(uint8_t* out, uint32_t size) const override
    {
        uint32_t written = 0;
        const JLIB::JResult r =
            m_text ? m_facade.exportData(out, &written, size, m_root, m_text,
                                         static_cast<uint32_t>(std::strlen(m_text)), m_indexes, m_depth, 0, 1, 0, 1,
                                         nullptr)
                   : m_facade.exportDataFast(out, &written, size, m_root, m_depth ? m_numbers : nullptr,
                                             m_depth ? m_indexes : nullptr, m_depth, 0, 1, 0, 1, nullptr);
        if (JLIB::isFailure(r) || written != size) return JLIB::kFailed;
        return JLIB::kOk;
    }

private:
    DeviceControl::IFacade& m_facade;
    const char* m_root;
    const char* m_text;
    const uint32_t* m_numbers;
    const uint32_t* m_indexes;
    uint32_t m_depth;
};

}  // namespace

JLIB::JResult M::generateDigest(DeviceControl::IFacade* facade, const char* root, uint8_t* structureDigest,
                                uint8_t* valueDigest)
{
    if (!facade || !root || !structureDigest || !valueDigest) return JLIB::kFailed;
    uint32_t size = 0;
    if (JLIB::isFailure(facade->getExportDataSizeFast(&size, root, nullptr, 0, 0)) || size == 0) return JLIB::kOk;
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[size]);
    if (!image) return kCnpBadArgument;
    uint32_t written = 0;
    // A digest must not take the changes it covers: nothing is cleared.
    if (JLIB::isFailure(facade->exportDataFast(image.get(), &written, size, root, nullptr, nullptr, 0, 0, 0, 0, 0,
                                               nullptr)) ||
        written > size) {
        return JLIB::kOk;
    }
    MMS::T_EXPORT_TAG header{};
    unsigned char order = 0;
    if (JLIB::isFailure(MMS::ExportDataAnalyzer::readExportTagHeader(&header, &order, image.get(), written))) {
        return JLIB::kFailed;
    }
    static_assert(offsetof(MMS::T_EXPORT_TAG, uuid) == kDigestTextOffset, "digest text of the tag header");
    uint8_t structure[kDigestSize] = {};
    for (uint32_t i = 0; i < kDigestSize; ++i) {
        const int high = hexValue(header.uuid[2 * i]);
        const int low = hexValue(header.uuid[2 * i + 1]);
        if (high < 0 || low < 0) return JLIB::kFailed;
        structure[i] = static_cast<uint8_t>(high << 4 | low);
    }
    std::memcpy(structureDigest, structure, kDigestSize);
    T_JLIB_MD5_CTX context;
    jlib_MD5Init(&context);
    jlib_MD5Update(&context, image.get(), written);
    jlib_MD5Final(valueDigest, &context);
    return JLIB::kOk;
}

JLIB::JResult M::Encode_AssociationTellParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                 DeviceControl::IFacade* facade, const char* root)
{
    if (!buffer || !length) return kCnpBadArgument;
    uint8_t structure[kDigestSize] = {};
    uint8_t values[kDigestSize] = {};
    JLIB_RETURN_IF_FAILED(generateDigest(facade, root, structure, values));
    return P::encodeTellParameter(buffer, capacity, length, root, structure, values);
}

JLIB::JResult M::Decode_AssociationTellParameter(const uint8_t* command, uint32_t received,
                                                 DeviceControl::IFacade* facade, const char** name,
                                                 bool* structureMatched, bool* valuesMatched)
{
    if (!name || !structureMatched || !valuesMatched) return kCnpBadArgument;
    *structureMatched = false;
    *valuesMatched = false;
    bool named = false;
    uint8_t peer[2][kDigestSize] = {};
    JLIB_RETURN_IF_FAILED(P::decodeTellParameter(command, received, name, &named, peer[0], peer[1]));
    if (!named) return JLIB::kOk;
    // The facade takes a root identifier of at most 24 characters and its NUL.
    char root[25] = {};
    std::strncpy(root, *name, sizeof(root) - 1);
    uint8_t structure[kDigestSize] = {};
    uint8_t values[kDigestSize] = {};
    if (JLIB::isFailure(generateDigest(facade, root, structure, values))) return JLIB::kFailed;
    *structureMatched = std::memcmp(peer[0], structure, kDigestSize) == 0;
    *valuesMatched = std::memcmp(peer[1], values, kDigestSize) == 0;
    return JLIB::kOk;
}

JLIB::JResult M::Encode_SetParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length, const JVariant& value,
                                     uint32_t commFactor, const char* name, const char* root,
                                     const char* textAddress, const uint32_t* numbers, const uint32_t* indexes,
                                     uint32_t depth)
{
    P::T_DATA data;
    data.commandId = CNP_CMD_SET_PARAMETER;
    data.value = &value;
    data.reservedType = kCnpTypeUInt8;
    data.integerOrTextValue = true;
    return P::encodeSet(buffer, capacity, length, data, commFactor, name, root, textAddress, numbers, indexes, depth);
}

JLIB::JResult M::Encode_SetParameterBlock(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                          DeviceControl::IFacade* facade, const uint8_t* filter, uint32_t filterSize,
                                          uint32_t commFactor, const char* name, const char* root,
                                          const char* textAddress, const uint32_t* numbers, const uint32_t* indexes,
                                          uint32_t depth)
{
    if (!facade || !root) return JLIB::kFailed;
    const RootExport image(*facade, root, textAddress, numbers, indexes, depth);
    P::T_DATA data;
    data.commandId = CNP_CMD_SET_PARAMETER_BLOCK;
    data.filter = filter;
    data.filterSize = filter ? filterSize : 0;
    data.reservedType = kCnpTypeUInt8;
    data.source = &image;
    return P::encodeSet(buffer, capacity, length, data, commFactor, name, root, textAddress, numbers, indexes, depth);
}

JLIB::JResult M::Encode_AssociationSetParameter(uint8_t* buffer, uint32_t capacity, uint32_t* length,
                                                DeviceControl::IFacade* facade, const uint8_t* filter,
                                                uint32_t filterSize, uint32_t commFactor, const char* name,
                                                const char* root)
{
    return Encode_SetParameterBlock(buffer, capacity, length, facade, filter, filterSize, commFactor, name, root,
                                    nullptr, nullptr, nullptr, 0);
}

uint32_t M::getMaxBufferSize(DeviceControl::IFacade* facade)
{
    if (!facade) return 0;
    uint32_t count = 0;
    if (JLIB::isFailure(facade->getRootNum(&count))) return 0;
    uint64_t largest = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char root[25] = {};
        uint32_t size = 0;
        if (JLIB::isFailure(facade->getRootIdentifier(root, i)) ||
            JLIB::isFailure(facade->getExportDataSize(&size, root, nullptr, 0, 0))) {
            return 0;
        }
        if (size > largest) largest = size;
    }
    const uint64_t total = 2 * largest + kBufferOverhead;
    return total > UINT32_MAX ? 0 : static_cast<uint32_t>(total);
}

}  // namespace ComControl
