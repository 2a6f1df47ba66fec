#include "pdb_ComponentInfo.h"

#include <cstring>
#include <utility>

#include "jlib/jlib_cfg.h"
#include "jlib/jlib_string.h"
#include "pdb_ComponentInfoRepository.h"
#include "pdb_ParamRawArray.h"
#include "pdb_ParameterStrategy.h"

namespace PDB {

namespace {

// Offsets of the definition image.
constexpr uint32_t kOffMagic = 0;
constexpr uint32_t kOffUniqId = 4;
constexpr uint32_t kOffName = 8;
constexpr uint32_t kOffVersion = 32;
constexpr uint32_t kOffNumX = 36;
constexpr uint32_t kOffNumY = 38;
constexpr uint32_t kOffUserName = 40;
constexpr uint32_t kOffParamCount = 88;
constexpr uint32_t kOffAttribute = 90;
constexpr char kMagic[4] = {'#', 'C', 'I', '1'};

void putBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

void putBE16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

uint32_t getBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint32_t getBE16(const uint8_t* p) { return (uint32_t(p[0]) << 8) | uint32_t(p[1]); }

// A text field of the image ends at its first zero or at the field's end.
std::string fieldText(const uint8_t* field, uint32_t width)
{
    const char* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, width));
}

const char* orEmpty(const char* text) { return text ? text : ""; }

bool limitOk(uint32_t value) { return value >= 1 && value <= ComponentInfo::kMaxSize; }

// The fields every add operation fills the same way.
ParameterInfo makeInfo(const char* address, uint8_t type, uint32_t itemSize, uint32_t patternX,
                       uint32_t patternY, const char* commentX, const char* commentY, const ParamAttr& attr,
                       const char* unit, const char* kind, const char* defUI)
{
    ParameterInfo info;
    info.strAddress = orEmpty(address);
    info.type = type;
    info.attr = attr;
    info.itemSize = itemSize;
    info.patternX = patternX;
    info.patternY = patternY;
    info.commentX = orEmpty(commentX);
    info.commentY = orEmpty(commentY);
    info.unit = orEmpty(unit);
    info.kind = orEmpty(kind);
    info.defUI = orEmpty(defUI);
    return info;
}

// Unsigned kinds store UInt32, signed kinds Int32; a nominal equal to the minimum means none.
template <typename Stored, typename T>
void setNumbers(ParameterInfo& info, T min, T max, T def, T nominal, uint32_t step, uint32_t scaling)
{
    info.min = static_cast<Stored>(min);
    info.max = static_cast<Stored>(max);
    info.def = static_cast<Stored>(def);
    if (nominal != min) info.nominal = static_cast<Stored>(nominal);
    info.step = static_cast<unsigned int>(step);
    info.scaling = scaling;
}

}  // namespace

ComponentInfo::ComponentInfo() : m_pParameterStrategy(&ParameterStrategy::getNullObject()) {}

ComponentInfo::ComponentInfo(const ComponentInfo& other) : m_pParameterStrategy(other.m_pParameterStrategy)
{
    copyFrom(other);
}

ComponentInfo::ComponentInfo(ComponentInfo&& other) noexcept = default;

ComponentInfo& ComponentInfo::operator=(const ComponentInfo& other)
{
    if (this != &other) copyFrom(other);
    return *this;
}

ComponentInfo& ComponentInfo::operator=(ComponentInfo&& other) noexcept = default;

ComponentInfo::~ComponentInfo() = default;

void ComponentInfo::copyFrom(const ComponentInfo& other)
{
    m_uniqId = other.m_uniqId;
    m_userName = other.m_userName;
    m_attribute = other.m_attribute;
    m_pParameterStrategy = other.m_pParameterStrategy;
    m_componentName = other.m_componentName;
    m_componentVersion = other.m_componentVersion;
    m_generation = other.m_generation;
    m_numX = other.m_numX;
    m_numY = other.m_numY;
    m_minX = other.m_minX;
    m_minY = other.m_minY;
    m_maxX = other.m_maxX;
    m_maxY = other.m_maxY;
    m_commentX = other.m_commentX;
    m_commentY = other.m_commentY;
    std::vector<std::unique_ptr<ParameterInfo>> params;
    params.reserve(other.m_params.size());
    for (const auto& p : other.m_params) params.push_back(std::make_unique<ParameterInfo>(*p));
    m_params = std::move(params);
    m_addressIndex = other.m_addressIndex;
}

uint32_t ComponentInfo::clear()
{
    m_uniqId.clear();
    m_userName.clear();
    m_attribute = 0;
    m_componentName.clear();
    m_componentVersion = 0;
    m_generation = -1;
    m_numX = m_numY = 1;
    m_minX = m_minY = m_maxX = m_maxY = 1;
    m_commentX.clear();
    m_commentY.clear();
    m_params.clear();
    m_addressIndex.clear();
    return 0;
}

JLIB::JResult ComponentInfo::initialize(const char* name, uint32_t version, uint32_t minX, uint32_t minY,
                                        uint32_t maxX, uint32_t maxY, const char* commentX, const char* commentY,
                                        ParameterStrategy* strategy)
{
    (void)clear();
    if (!limitOk(minX) || !limitOk(maxX) || maxX < minX || !limitOk(minY) || !limitOk(maxY) || maxY < minY) {
        return JLIB::kInvalidArgument;
    }
    m_pParameterStrategy = strategy;
    m_componentName = orEmpty(name);
    m_componentVersion = version;
    m_generation = 0;
    m_numX = minX;
    m_numY = minY;
    m_minX = minX;
    m_minY = minY;
    m_maxX = maxX;
    m_maxY = maxY;
    m_commentX = orEmpty(commentX);
    m_commentY = orEmpty(commentY);
    return JLIB::kOk;
}

JLIB::JResult ComponentInfo::resize(uint32_t x, uint32_t y, int16_t generation)
{
    if (!isValid()) return JLIB::kInvalidArgument;
    if (x == 0) x = m_minX;
    if (y == 0) y = m_minY;
    if (x < m_minX || x > m_maxX || y < m_minY || y > m_maxY) return JLIB::kInvalidArgument;
    m_generation = generation;
    m_numX = x;
    m_numY = y;
    for (const auto& p : m_params) JLIB_RETURN_IF_FAILED(p->refreshXY(m_numX, m_numY));
    return JLIB::kOk;
}

uint32_t ComponentInfo::setUniqId(const UniqId& id)
{
    m_uniqId = id;
    return 0;
}

uint32_t ComponentInfo::setUserName(const char* name)
{
    m_userName = orEmpty(name);
    return 0;
}

uint32_t ComponentInfo::setAttribute(uint32_t attribute)
{
    m_attribute = attribute;
    return 0;
}

uint32_t ComponentInfo::setParameterStrategy(ParameterStrategy* strategy)
{
    m_pParameterStrategy = strategy;
    return 0;
}

const ParameterInfo& ComponentInfo::paramInfo(uint32_t addressIndex) const
{
    static const ParameterInfo s_empty;
    if (addressIndex >= m_params.size()) return s_empty;
    return *m_params[addressIndex];
}

uint32_t ComponentInfo::addressIndex(const char* address) const
{
    const auto it = m_addressIndex.find(orEmpty(address));
    return it == m_addressIndex.end() ? kInvalidIndex : it->second;
}

JLIB::JResult ComponentInfo::preAddAddress(const char* address, uint32_t& index)
{
    const auto it = m_addressIndex.find(orEmpty(address));
    if (it != m_addressIndex.end() && it->second < m_params.size()) {
        index = it->second;
        (void)m_params[index]->clear();  // always 0
        return JLIB::kOk;
    }
    for (uint32_t i = 0; i < m_params.size(); ++i) {
        if (!m_params[i]->strAddress.empty()) continue;
        // The slot changes its address: its old empty-address entry would now lead elsewhere.
        const auto stale = m_addressIndex.find("");
        if (stale != m_addressIndex.end() && stale->second == i) m_addressIndex.erase(stale);
        index = i;
        (void)m_params[i]->clear();  // always 0
        return JLIB::kOk;
    }
    m_params.push_back(std::make_unique<ParameterInfo>());
    index = static_cast<uint32_t>(m_params.size() - 1);
    return JLIB::kOk;
}

JLIB::JResult ComponentInfo::postAddAddress(uint32_t index)
{
    if (index >= m_params.size()) return JLIB::kInvalidArgument;
    // An address already in the index keeps its entry.
    (void)m_addressIndex.emplace(m_params[index]->strAddress, index);
    return JLIB::kOk;
}

JLIB::JResult ComponentInfo::addParameter(ParameterInfo&& info)
{
    // Checked before a slot is taken, so that a refused add changes nothing.
    JLIB_RETURN_IF_FAILED(info.refreshXY(m_numX, m_numY));
    uint32_t index = kInvalidIndex;
    JLIB_RETURN_IF_FAILED(preAddAddress(info.strAddress.c_str(), index));
    if (index >= m_params.size()) return JLIB::kInvalidArgument;
    *m_params[index] = std::move(info);
    return postAddAddress(index);
}

JLIB::JResult ComponentInfo::addAddressUINT32(const char* address, uint32_t patternX, uint32_t patternY,
                                              const char* commentX, const char* commentY, uint32_t min,
                                              uint32_t max, uint32_t def, uint32_t nominal, uint32_t step,
                                              uint32_t scaling, const ParamAttr& attr, const char* unit,
                                              const char* kind, const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeUInt32, 4, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    setNumbers<unsigned int>(info, min, max, def, nominal, step, scaling);
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressUINT16(const char* address, uint32_t patternX, uint32_t patternY,
                                              const char* commentX, const char* commentY, uint16_t min,
                                              uint16_t max, uint16_t def, uint16_t nominal, uint32_t step,
                                              uint32_t scaling, const ParamAttr& attr, const char* unit,
                                              const char* kind, const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeUInt16, 2, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    setNumbers<unsigned int>(info, min, max, def, nominal, step, scaling);
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressUINT8(const char* address, uint32_t patternX, uint32_t patternY,
                                             const char* commentX, const char* commentY, uint8_t min,
                                             uint8_t max, uint8_t def, uint8_t nominal, uint32_t step,
                                             uint32_t scaling, const ParamAttr& attr, const char* unit,
                                             const char* kind, const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeUInt8, 1, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    setNumbers<unsigned int>(info, min, max, def, nominal, step, scaling);
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressSINT32(const char* address, uint32_t patternX, uint32_t patternY,
                                              const char* commentX, const char* commentY, int32_t min,
                                              int32_t max, int32_t def, int32_t nominal, uint32_t step,
                                              uint32_t scaling, const ParamAttr& attr, const char* unit,
                                              const char* kind, const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeSInt32, 4, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    setNumbers<int>(info, min, max, def, nominal, step, scaling);
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressSINT16(const char* address, uint32_t patternX, uint32_t patternY,
                                              const char* commentX, const char* commentY, int16_t min,
                                              int16_t max, int16_t def, int16_t nominal, uint32_t step,
                                              uint32_t scaling, const ParamAttr& attr, const char* unit,
                                              const char* kind, const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeSInt16, 2, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    setNumbers<int>(info, min, max, def, nominal, step, scaling);
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressSINT8(const char* address, uint32_t patternX, uint32_t patternY,
                                             const char* commentX, const char* commentY, int8_t min, int8_t max,
                                             int8_t def, int8_t nominal, uint32_t step, uint32_t scaling,
                                             const ParamAttr& attr, const char* unit, const char* kind,
                                             const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeSInt8, 1, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    setNumbers<int>(info, min, max, def, nominal, step, scaling);
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressFLOAT(const char* address, uint32_t patternX, uint32_t patternY,
                                             const char* commentX, const char* commentY, float min, float max,
                                             float def, float nominal, float step, uint32_t scaling,
                                             const ParamAttr& attr, const char* unit, const char* kind,
                                             const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeFloat, 4, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    info.min = min;
    info.max = max;
    info.def = def;
    if (nominal != min) info.nominal = nominal;
    info.step = step;
    info.scaling = scaling;
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressBOOL(const char* address, uint32_t patternX, uint32_t patternY,
                                            const char* commentX, const char* commentY, uint32_t min, uint32_t max,
                                            uint32_t def, const ParamAttr& attr, const char* unit, const char* kind,
                                            const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeBool, 1, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    info.min = static_cast<unsigned int>(min != 0 ? 1 : 0);
    info.max = static_cast<unsigned int>(max != 0 ? 1 : 0);
    info.def = static_cast<unsigned int>(def != 0 ? 1 : 0);
    info.step = 1u;
    info.scaling = 1;
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressSTRING(const char* address, uint32_t patternX, uint32_t patternY,
                                              const char* commentX, const char* commentY, uint32_t size,
                                              const char* defaultText, const ParamAttr& attr, const char* unit,
                                              const char* kind, const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeString, size, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    const char* text = orEmpty(defaultText);
    info.min = 0u;
    info.max = 0u;
    // A text beyond what a value can hold is kept as the value's error text; the add stands.
    (void)info.def.setString(text, static_cast<unsigned int>(std::strlen(text)));
    info.step = 0u;
    info.scaling = 0;
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::addAddressBINARY(const char* address, uint32_t patternX, uint32_t patternY,
                                              const char* commentX, const char* commentY, uint32_t size,
                                              const ParamAttr& attr, const char* unit, const char* kind,
                                              const char* defUI)
{
    ParameterInfo info =
        makeInfo(address, kTypeBinary, size, patternX, patternY, commentX, commentY, attr, unit, kind, defUI);
    info.min = 0u;
    info.max = 0u;
    info.def = 0u;
    info.step = 0u;
    info.scaling = 0;
    return addParameter(std::move(info));
}

JLIB::JResult ComponentInfo::exportBinary(uint8_t* buffer, uint32_t length) const
{
    if (!buffer || length < kExportSize) return JLIB::kInvalidArgument;
    std::memset(buffer, 0, kExportSize);
    std::memcpy(buffer + kOffMagic, kMagic, sizeof(kMagic));
    putBE32(buffer + kOffUniqId, m_uniqId.id());
    (void)stringToBinary(buffer + kOffName, kNameFieldSize, m_componentName.c_str());  // field is valid
    putBE32(buffer + kOffVersion, m_componentVersion);
    putBE16(buffer + kOffNumX, m_numX);
    putBE16(buffer + kOffNumY, m_numY);
    (void)stringToBinary(buffer + kOffUserName, kUserNameFieldSize, m_userName.c_str());  // field is valid
    putBE16(buffer + kOffParamCount, addressNum());
    putBE16(buffer + kOffAttribute, m_attribute & 0xFFFFu);
    return JLIB::kOk;
}

JLIB::JResult ComponentInfo::importBinary(const uint8_t* data, uint32_t length, uint32_t& recordCount)
{
    recordCount = 0;
    if (!data || length < kExportSize) {
        JLIB_LOG("[E] ComponentInfo::importBinary - Definition image too short. [length=%u]\n", data ? length : 0u);
        return JLIB::kInvalidArgument;
    }
    (void)clear();
    if (std::memcmp(data + kOffMagic, kMagic, sizeof(kMagic)) != 0) {
        JLIB_LOG("[E] ComponentInfo::importBinary - Unknown ComponentInfo format.\n");
        return kBadMagic;
    }
    const std::string name = fieldText(data + kOffName, kNameFieldSize);
    const uint32_t version = getBE32(data + kOffVersion);
    const ComponentInfo& registered = getComponentInfoRepository().getComponentInfo(name.c_str(), version);
    if (!registered.isValid()) {
        JLIB_LOG("[E] ComponentInfo::importBinary - Unknown ComponentInfo found. [name=%s, ver=%d]\n", name.c_str(),
                 static_cast<int>(version));
        return kUnknownComponent;
    }
    *this = registered;
    m_uniqId = UniqId(getBE32(data + kOffUniqId));
    m_userName = fieldText(data + kOffUserName, kUserNameFieldSize);
    m_attribute = getBE16(data + kOffAttribute);
    const uint32_t x = getBE16(data + kOffNumX);
    const uint32_t y = getBE16(data + kOffNumY);
    const JLIB::JResult result = resize(x, y, 0);
    if (JLIB::isFailure(result)) {
        JLIB_LOG("[E] ComponentInfo::importBinary - Size refused. [name=%s, x=%u, y=%u]\n", name.c_str(), x, y);
        (void)clear();
        return result;
    }
    recordCount = getBE16(data + kOffParamCount);
    return JLIB::kOk;
}

JLIB::JResult stringToBinary(uint8_t* field, uint32_t width, const char* text)
{
    if (!field || width == 0) return JLIB::kInvalidArgument;
    std::memset(field, 0, width);
    // A longer text is cut on purpose: the image has fixed fields.
    (void)jlib_strcpy(reinterpret_cast<char*>(field), width, text ? text : "");
    return JLIB::kOk;
}

}  // namespace PDB
