#include "pdb_AbstractComponent.h"

#include <cstring>

#include "jlib/jlib_cfg.h"
#include "pdb_LocalParameterArray.h"
#include "pdb_ParameterArray.h"

namespace PDB {

namespace {

constexpr char kRecordMagic[4] = {'#', 'P', 'R', '1'};

void putBE16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

void putBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

uint32_t getBE16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

uint32_t getBE32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

}  // namespace

const ParameterInfo& AbstractComponent::paramInfo(uint32_t ai) const { return params(ai).paramInfo(); }

JLIB::JResult AbstractComponent::setUserName(const char* userName) { return m_info.setUserName(userName); }

JLIB::JResult AbstractComponent::setAttribute(uint32_t attribute) { return m_info.setAttribute(attribute); }

JLIB::JResult AbstractComponent::setVariant(uint32_t ai, uint32_t x, uint32_t y, const JVariant& value, uint8_t f)
{
    const JLIB::JResult result = params(ai).setVariant(x, y, value, f);
    (void)callbackOnSetParam();
    return result;
}

JLIB::JResult AbstractComponent::setVariants(uint32_t ai, const IParameterArray& source, uint8_t f)
{
    const JLIB::JResult result = params(ai).setVariants(source, f);
    (void)callbackOnSetParam();
    return result;
}

JLIB::JResult AbstractComponent::setUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value, uint8_t f)
{
    return setVariant(ai, x, y, JVariant(value), f);
}

JLIB::JResult AbstractComponent::setSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value, uint8_t f)
{
    return setVariant(ai, x, y, JVariant(value), f);
}

JLIB::JResult AbstractComponent::setFloat(uint32_t ai, uint32_t x, uint32_t y, float value, uint8_t f)
{
    return setVariant(ai, x, y, JVariant(value), f);
}

JLIB::JResult AbstractComponent::setBool(uint32_t ai, uint32_t x, uint32_t y, bool value, uint8_t f)
{
    return setVariant(ai, x, y, JVariant(value ? 1u : 0u), f);
}

JLIB::JResult AbstractComponent::setString(uint32_t ai, uint32_t x, uint32_t y, const char* text, uint8_t f)
{
    // The whole text: the element type cuts it to its item size.
    return setVariant(ai, x, y, JVariant(text, JVariant::kMaxStringLength), f);
}

JLIB::JResult AbstractComponent::setBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                           uint32_t length, uint8_t f)
{
    return setVariant(ai, x, y, JVariant(bytes, length), f);
}

JLIB::JResult AbstractComponent::setDefault(uint32_t ai, uint32_t x, uint32_t y, uint8_t f)
{
    const JLIB::JResult result = params(ai).setDefault(x, y, f);
    (void)callbackOnSetParam();
    return result;
}

JLIB::JResult AbstractComponent::setDefault(uint32_t ai, uint8_t f)
{
    IParameterArray& array = params(ai);
    bool failed = false;
    for (uint32_t y = 0; y < array.paramInfo().numY; ++y) {
        for (uint32_t x = 0; x < array.paramInfo().numX; ++x) {
            failed |= JLIB::isFailure(array.setDefault(x, y, f));
        }
    }
    (void)callbackOnSetParam();
    return failed ? kSomeElementFailed : JLIB::kOk;
}

JLIB::JResult AbstractComponent::setDefault(uint8_t f)
{
    bool failed = false;
    for (uint32_t ai = 0; ai < addressNum(); ++ai) {
        IParameterArray& array = params(ai);
        for (uint32_t y = 0; y < array.paramInfo().numY; ++y) {
            for (uint32_t x = 0; x < array.paramInfo().numX; ++x) {
                failed |= JLIB::isFailure(array.setDefault(x, y, f));
            }
        }
    }
    (void)callbackOnSetParam();
    return failed ? kSomeElementFailed : JLIB::kOk;
}

JLIB::JResult AbstractComponent::getVariant(JVariant& value, uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    return params(ai).getVariant(value, x, y, f);
}

JLIB::JResult AbstractComponent::getVariants(IParameterArray& destination, uint32_t ai) const
{
    return params(ai).getVariants(destination);
}

uint32_t AbstractComponent::getUInt32(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    JVariant value;
    if (JLIB::isFailure(getVariant(value, ai, x, y, f))) return 0;
    return value.toUInt32();
}

int32_t AbstractComponent::getSInt32(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    JVariant value;
    if (JLIB::isFailure(getVariant(value, ai, x, y, f))) return 0;
    return value.toInt32();
}

float AbstractComponent::getFloat(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    JVariant value;
    if (JLIB::isFailure(getVariant(value, ai, x, y, f))) return 0.0f;
    return value.toFloat();
}

bool AbstractComponent::getBool(uint32_t ai, uint32_t x, uint32_t y, uint8_t* f) const
{
    JVariant value;
    if (JLIB::isFailure(getVariant(value, ai, x, y, f))) return false;
    return value.toUInt32() != 0;
}

JLIB::JResult AbstractComponent::getDefault(JVariant& value, uint32_t ai, uint32_t x, uint32_t y) const
{
    return params(ai).getDefault(value, x, y);
}

uint8_t AbstractComponent::getFactor(uint32_t ai, uint32_t x, uint32_t y) const { return params(ai).getFactor(x, y); }

bool AbstractComponent::checkPosRange(uint32_t ai, uint32_t x, uint32_t y) const
{
    return params(ai).checkPosRange(x, y);
}

JLIB::JResult AbstractComponent::reevaluate(uint8_t f)
{
    bool failed = false;
    for (uint32_t ai = 0; ai < addressNum(); ++ai) {
        IParameterArray& array = params(ai);
        LocalParameterArray scratch;
        if (JLIB::isFailure(scratch.initialize(array.paramInfo())) || JLIB::isFailure(array.getVariants(scratch))) {
            failed = true;
            continue;
        }
        failed |= JLIB::isFailure(array.setVariants(scratch, f));
    }
    (void)callbackOnSetParam();
    return failed ? kSomeElementFailed : JLIB::kOk;
}

JLIB::JResult AbstractComponent::duplicate(uint32_t ai, const IComponent& source, uint8_t f)
{
    const JLIB::JResult result = params(ai).duplicate(source.paramArray(ai), f, 0);
    (void)callbackOnSetParam();
    return result;
}

JLIB::JResult AbstractComponent::recall(uint32_t ai, const IComponent& source, const ImportAttr& attr, uint8_t f)
{
    const JLIB::JResult result = params(ai).recall(source.paramArray(ai), recallSafeFlags(ai), attr, f);
    (void)callbackOnSetParam();
    return result;
}

JLIB::JResult AbstractComponent::reflectChange(uint32_t ai, uint32_t x, uint32_t y, const IComponent& source)
{
    JVariant value;
    uint8_t f = 0xFF;
    const JLIB::JResult read = source.getVariant(value, ai, x, y, &f);
    const JLIB::JResult written = params(ai).setVariant(x, y, value, f);
    (void)callbackOnSetParam();
    return read | written;
}

uint32_t AbstractComponent::exportSize() const
{
    uint32_t size = m_info.exportSize();
    for (uint32_t ai = 0; ai < addressNum(); ++ai) size += kRecordHeaderSize + params(ai).totalSize();
    return size;
}

JLIB::JResult AbstractComponent::exportBinary(uint8_t* buffer, uint32_t length) const
{
    if (!buffer || length < exportSize()) return JLIB::kInvalidArgument;
    JLIB_RETURN_IF_FAILED(m_info.exportBinary(buffer, length));
    uint32_t offset = m_info.exportSize();
    for (uint32_t ai = 0; ai < addressNum(); ++ai) {
        const IParameterArray& array = params(ai);
        const ParameterInfo& info = array.paramInfo();
        uint8_t* header = buffer + offset;
        std::memcpy(header, kRecordMagic, sizeof kRecordMagic);
        putBE16(header + 4, ai);
        header[6] = info.type;
        header[7] = 0;
        putBE32(header + 8, info.itemSize);
        putBE16(header + 12, info.numX);
        putBE16(header + 14, info.numY);
        uint32_t written = 0;
        JLIB_RETURN_IF_FAILED(
            array.exportData(header + kRecordHeaderSize, length - offset - kRecordHeaderSize, written));
        offset += kRecordHeaderSize + written;
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractComponent::importBinary(IParameterDB& db, uint32_t ci, const uint8_t* data, uint32_t length,
                                              const ImportAttr& attr, uint8_t f, JLIB::HeapId heap)
{
    if (!data || length < ComponentInfo::kExportSize) return JLIB::kInvalidArgument;
    ComponentInfo stored;
    uint32_t recordCount = 0;
    JLIB_RETURN_IF_FAILED(stored.importBinary(data, length, recordCount));
    if (attr.withConfig()) {
        JLIB_RETURN_IF_FAILED(recreate(db, ci, stored, heap));
    } else if (stored.componentName() != m_info.componentName()) {
        JLIB_LOG("[E] AbstractComponent::importBinary - Unknown component. [name=%s, ver=%d]\n",
                 stored.componentName().c_str(), int(stored.componentVersion()));
        return kTypeMismatch;
    }

    // 64-bit offsets: record sizes come from the image and must not wrap the bounds checks.
    uint64_t offset = ComponentInfo::kExportSize;
    for (uint32_t record = 0; record < recordCount; ++record) {
        const uint64_t left = length - offset;
        if (left < kRecordHeaderSize) break;
        const uint8_t* header = data + offset;
        if (std::memcmp(header, kRecordMagic, sizeof kRecordMagic) != 0) {
            JLIB_LOG("[E] ComponentInfo::importBinary - Unknown ParameterInfo format. [paramBlockIndex=%d]\n",
                     int(record));
            return kMalformedImage;
        }
        const uint32_t ai = getBE16(header + 4);
        IParameterArray& array = params(ai);
        ParameterInfo layout = array.paramInfo();
        layout.type = header[6];
        layout.itemSize = getBE32(header + 8);
        layout.numX = getBE16(header + 12);
        layout.numY = getBE16(header + 14);
        const uint64_t size = calcTotalSizeWide(layout.type, layout.itemSize, layout.numX * layout.numY);
        if (size == 0 && layout.numX * layout.numY != 0) {
            JLIB_LOG("[E] AbstractComponent::importBinary - Unknown type code. [paramBlockIndex=%d, type=0x%02x]\n",
                     int(record), unsigned(layout.type));
            break;
        }
        // Checked before the record is applied, so that a cut record changes nothing.
        if (size > left - kRecordHeaderSize) {
            JLIB_LOG("[E] ComponentInfo::importBinary - Insufficient data size. [paramBlockIndex=%d, "
                     "destAddressIndex=%d]\n",
                     int(record), int(ai));
            break;
        }
        if (array.isValid()) {
            const JLIB::JResult imported = array.importData(layout, header + kRecordHeaderSize,
                                                            uint32_t(left - kRecordHeaderSize), recallSafeFlags(ai),
                                                            attr, f);
            if (JLIB::isFailure(imported)) {
                JLIB_LOG("[E] ComponentInfo::importBinary - Parameter importing failed. [paramBlockIndex=%d, "
                         "destAddressIndex=%d]\n",
                         int(record), int(ai));
                break;
            }
        } else {
            JLIB_LOG("[W] ComponentInfo::importBinary - Unknown address found. [paramBlockIndex=%d, "
                     "destAddressIndex=%d]\n",
                     int(record), int(ai));
        }
        offset += kRecordHeaderSize + size;
    }
    (void)callbackOnSetParam();
    return JLIB::kOk;
}

}  // namespace PDB
