#include "mmsf_MMSAddress.h"

#include <cstring>

#include "MMS/Common/mms_IField.h"
#include "MMS/Common/mms_MutexLock.h"
#include "MMS/Common/mms_PrmAttrib.h"
#include "mmsf_FieldCollection.h"
#include "oswrap/oswrap_task.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = MMSAddress::kFailed;
// A string value holds at most this many characters; a longer text would be stored as "ERROR:".
constexpr size_t kMaxStringLength = 1023;

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

}  // namespace

uint32_t getMMSValueDeligate(GetOpeType operation, JVariant& value, const MMSAddress& address, unsigned char* factor,
                             unsigned char clear, unsigned int taskId)
{
    MMS::IField* field = address.field();
    if (!field) return kFailed;
    const unsigned int depth = address.vectorLen();
    switch (operation) {
    case GET_OPE_VALUE:
        return field->getPrmFast(&value, factor, address.rootId(), address.addrVector(), address.chVector(), depth,
                                 clear, taskId);
    case GET_OPE_DEFAULT:
        return field->getPrmDefFast(&value, address.rootId(), address.addrVector(), address.chVector(), depth);
    case GET_OPE_MINIMUM: return field->getPrmMinFast(&value, address.rootId(), address.addrVector(), depth);
    case GET_OPE_MAXIMUM: return field->getPrmMaxFast(&value, address.rootId(), address.addrVector(), depth);
    default: return kFailed;
    }
}

uint32_t getLocalSubscribeId()
{
    uint16_t id = 0;
    (void)oswrap_GetTskId(&id);  // with no slot left the id stays 0
    return id;
}

// ---- Construction and setting ----

MMSAddress::MMSAddress()
    : m_pField(nullptr), m_pRootId(nullptr), m_depth(0), m_nodes{}, m_channels{}, m_channelCounts{}, m_type(0),
      m_scaling(0), m_kind(0)
{
}

MMSAddress::MMSAddress(MMS::IField* field, const char* rootId, const char* path) : MMSAddress()
{
    (void)setAddress(field, rootId, path);  // a failed conversion leaves the address invalid
}

MMSAddress::MMSAddress(MMS::IField* field, const char* rootId, const unsigned int* nodes, unsigned int depth)
    : MMSAddress()
{
    (void)setAddress(field, rootId, nodes, depth);  // a refused vector leaves the address empty
}

MMSAddress::MMSAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId, const char* path)
    : MMSAddress()
{
    (void)setAddress(collection, fieldIndex, rootId, path);  // as above
}

MMSAddress::MMSAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId,
                       const unsigned int* nodes, unsigned int depth)
    : MMSAddress()
{
    (void)setAddress(collection, fieldIndex, rootId, nodes, depth);  // as above
}

MMSAddress::MMSAddress(const MMSAddress& other) = default;
MMSAddress& MMSAddress::operator=(const MMSAddress& other) = default;
MMSAddress::~MMSAddress() = default;

void MMSAddress::resetVectors()
{
    std::memset(m_nodes, 0, sizeof m_nodes);
    std::memset(m_channels, 0, sizeof m_channels);
    std::memset(m_channelCounts, 0, sizeof m_channelCounts);
    m_depth = 0;
}

uint32_t MMSAddress::setAddress(MMS::IField* field, const char* rootId, const char* path)
{
    if (!field || !path) return kFailed;
    resetVectors();
    m_pField = field;
    m_pRootId = rootId;
    uint32_t depth = 0;
    const uint32_t length = static_cast<uint32_t>(std::strlen(path) + 1);
    if (failed(field->cnvStrToFastAddr(m_nodes, &depth, kMaxDepth, rootId, path, length)) || depth > kMaxDepth) {
        resetVectors();
        return kFailed;
    }
    m_depth = depth;
    (void)cacheAttribute();  // a collection has no attributes; the address stays valid
    (void)onSetAddress();
    return kOk;
}

uint32_t MMSAddress::setAddress(MMS::IField* field, const char* rootId, const unsigned int* nodes, unsigned int depth)
{
    if (!field || !nodes || depth > kMaxDepth) return kFailed;
    resetVectors();
    m_pField = field;
    m_pRootId = rootId;
    std::memcpy(m_nodes, nodes, depth * sizeof *nodes);
    m_depth = depth;
    (void)cacheAttribute();  // as above
    (void)onSetAddress();
    return kOk;
}

uint32_t MMSAddress::setAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId,
                                const char* path)
{
    if (!collection) return kFailed;
    return setAddress(collection->field(fieldIndex), rootId, path);
}

uint32_t MMSAddress::setAddress(FieldCollection* collection, unsigned int fieldIndex, const char* rootId,
                                const unsigned int* nodes, unsigned int depth)
{
    if (!collection) return kFailed;
    return setAddress(collection->field(fieldIndex), rootId, nodes, depth);
}

uint32_t MMSAddress::setAddress(const char* path)
{
    if (!m_pField) return kFailed;
    return setAddress(m_pField, m_pRootId, path);
}

uint32_t MMSAddress::setAddress(const unsigned int* nodes, unsigned int depth)
{
    if (!m_pField) return kFailed;
    return setAddress(m_pField, m_pRootId, nodes, depth);
}

uint32_t MMSAddress::clear()
{
    *this = MMSAddress();
    return kOk;
}

uint32_t MMSAddress::cacheAttribute()
{
    if (!m_pField) return kFailed;
    MMS::T_PRM_ATTRIB attributes;
    uint32_t lastLevel = kOk;
    uint32_t attributeResult = kOk;
    {
        const MMS::MutexLock lock(m_pField->getMutex(), MMS::MutexLock::kCtrl | MMS::MutexLock::kGet);
        for (unsigned int i = 0; i < m_depth; ++i) {
            uint32_t count = 0;
            lastLevel = m_pField->getNodeArraySizeFast(&count, m_pRootId, m_nodes, i + 1);
            m_channelCounts[i] = failed(lastLevel) ? 0 : count;
        }
        attributeResult = m_pField->getPrmAttribFast(&attributes, m_pRootId, m_nodes, m_depth);
    }
    if (failed(attributeResult)) attributes = MMS::T_PRM_ATTRIB();
    m_type = attributes.type;
    m_minimum = attributes.minimum;
    m_maximum = attributes.maximum;
    m_step = attributes.step;
    m_nominal = attributes.nominal;
    m_scaling = attributes.scaling;
    m_kind = attributes.kind;
    return failed(attributeResult) || failed(lastLevel) ? kFailed : kOk;
}

uint32_t MMSAddress::onSetAddress() { return kOk; }

// ---- Text and tree queries ----

uint32_t MMSAddress::getAddress(char* buffer, unsigned int size) const
{
    if (!m_pField || !buffer || size == 0) return kFailed;
    return failed(m_pField->cnvFastToStrAddr(buffer, size, m_pRootId, m_nodes, m_depth, 0)) ? kFailed : kOk;
}

unsigned int MMSAddress::getAddressBuffSize() const
{
    uint32_t size = 0;
    if (!m_pField || failed(m_pField->getStrAddrSize(&size, m_pRootId, m_nodes, m_depth, 0))) return 0;
    return size;
}

unsigned int MMSAddress::getChildNodeNum() const
{
    uint32_t count = 0;
    if (!m_pField || failed(m_pField->getNumOfChildNodesFast(&count, m_pRootId, m_nodes, m_depth))) return 0;
    return count;
}

MMSAddress MMSAddress::getChildAddress(unsigned int index) const
{
    if (index >= getChildNodeNum() || m_depth >= kMaxDepth) return MMSAddress();
    MMSAddress child(*this);
    child.m_nodes[m_depth] = index;
    child.m_channels[m_depth] = 0;
    ++child.m_depth;
    (void)child.cacheAttribute();  // a child collection has no attributes
    return child;
}

bool MMSAddress::isChanged(bool clear, unsigned int taskId) const
{
    if (!m_pField || isAnyCh()) return false;
    uint8_t changed = 0;
    (void)m_pField->isChangedFast(&changed, m_pRootId, m_nodes, m_channels, m_depth, clear ? 1 : 0, taskId);
    return changed != 0;  // a failing field leaves it 0
}

bool MMSAddress::match(const MMSAddress& other) const
{
    if (other.m_depth < m_depth) return false;
    for (unsigned int i = 0; i < m_depth; ++i) {
        if (m_nodes[i] != other.m_nodes[i]) return false;
        if (m_channels[i] != CH_ANY && m_channels[i] != other.m_channels[i]) return false;
    }
    return true;
}

// ---- Channels ----

uint32_t MMSAddress::setCh(unsigned int index, unsigned int channel)
{
    if (index >= m_depth || !isValidCh(index, channel)) return kFailed;
    m_channels[index] = channel;
    return kOk;
}

unsigned int MMSAddress::getCh(unsigned int index) const { return index < m_depth ? m_channels[index] : 0; }

unsigned int MMSAddress::getChNum(unsigned int index) const { return index < m_depth ? m_channelCounts[index] : 0; }

unsigned int MMSAddress::getChMin(unsigned int) const { return 0; }

unsigned int MMSAddress::getChMax(unsigned int index) const
{
    const unsigned int count = getChNum(index);
    return count == 0 ? 0 : count - 1;
}

bool MMSAddress::isValidCh(unsigned int index, unsigned int channel) const
{
    return channel == CH_ANY || channel < getChNum(index);
}

uint32_t MMSAddress::setChVector(const unsigned int* channels, unsigned int count)
{
    uint32_t result = kOk;
    const unsigned int given = channels ? (count < m_depth ? count : m_depth) : 0;
    for (unsigned int i = 0; i < m_depth; ++i) result |= setCh(i, i < given ? channels[i] : 0);
    return result;
}

uint32_t MMSAddress::setChVector(unsigned int ch0, unsigned int ch1, unsigned int ch2, unsigned int ch3,
                                 unsigned int ch4)
{
    const unsigned int channels[kMaxDepth] = {ch0, ch1, ch2, ch3, ch4};
    return setChVector(channels, kMaxDepth);
}

uint32_t MMSAddress::setAnyCh(unsigned int index)
{
    if (index < m_depth) m_channels[index] = CH_ANY;
    return kOk;
}

uint32_t MMSAddress::setAnyChAll()
{
    for (unsigned int i = 0; i < m_depth; ++i) m_channels[i] = CH_ANY;
    return kOk;
}

bool MMSAddress::isAnyCh(unsigned int index) const { return index < m_depth && m_channels[index] == CH_ANY; }

bool MMSAddress::isAnyCh() const
{
    for (unsigned int i = 0; i < m_depth; ++i)
        if (m_channels[i] == CH_ANY) return true;
    return false;
}

// ---- Attributes ----

uint32_t MMSAddress::getType(unsigned int& type) const
{
    const bool valid = m_pField && isValid();
    type = valid ? m_type : 0;
    return valid ? kOk : kFailed;
}

uint32_t MMSAddress::getScale(unsigned int& scale) const
{
    const bool valid = m_pField && isValid();
    scale = valid ? m_scaling : 1;
    return valid ? kOk : kFailed;
}

uint32_t MMSAddress::getKind(unsigned int& kind) const
{
    const bool valid = m_pField && isValid();
    kind = valid ? m_kind : 0;
    return valid ? m_kind : kFailed;
}

uint32_t MMSAddress::getNominal(JVariant& value) const
{
    if (!m_pField || !isValid()) return kFailed;
    value = m_nominal;
    return kOk;
}

uint32_t MMSAddress::getStep(JVariant& value) const
{
    if (!m_pField || !isValid()) return kFailed;
    value = m_step;
    return kOk;
}

uint32_t MMSAddress::getMinimum(JVariant& value) const
{
    if (!m_pField || !isValid()) return kFailed;
    return failed(getMMSValueDeligate(GET_OPE_MINIMUM, value, *this, nullptr, 0, 0)) ? kFailed : kOk;
}

uint32_t MMSAddress::getMaximum(JVariant& value) const
{
    if (!m_pField || !isValid()) return kFailed;
    return failed(getMMSValueDeligate(GET_OPE_MAXIMUM, value, *this, nullptr, 0, 0)) ? kFailed : kOk;
}

uint32_t MMSAddress::getDefault(JVariant& value) const
{
    if (!m_pField || !isValid()) return kFailed;
    return failed(getMMSValueDeligate(GET_OPE_DEFAULT, value, *this, nullptr, 0, 0)) ? kFailed : kOk;
}

namespace {

template <typename T, typename Get>
T giveWithResult(unsigned int* result, Get get)
{
    T value{};
    const uint32_t code = get(value);
    if (result) *result = code;
    return value;
}

}  // namespace

unsigned int MMSAddress::getType(unsigned int* result) const
{
    return giveWithResult<unsigned int>(result, [this](unsigned int& v) { return getType(v); });
}

unsigned int MMSAddress::getScale(unsigned int* result) const
{
    return giveWithResult<unsigned int>(result, [this](unsigned int& v) { return getScale(v); });
}

unsigned int MMSAddress::getKind(unsigned int* result) const
{
    return giveWithResult<unsigned int>(result, [this](unsigned int& v) { return getKind(v); });
}

JVariant MMSAddress::getNominal(unsigned int* result) const
{
    return giveWithResult<JVariant>(result, [this](JVariant& v) { return getNominal(v); });
}

JVariant MMSAddress::getStep(unsigned int* result) const
{
    return giveWithResult<JVariant>(result, [this](JVariant& v) { return getStep(v); });
}

JVariant MMSAddress::getMinimum(unsigned int* result) const
{
    return giveWithResult<JVariant>(result, [this](JVariant& v) { return getMinimum(v); });
}

JVariant MMSAddress::getMaximum(unsigned int* result) const
{
    return giveWithResult<JVariant>(result, [this](JVariant& v) { return getMaximum(v); });
}

JVariant MMSAddress::getDefault(unsigned int* result) const
{
    return giveWithResult<JVariant>(result, [this](JVariant& v) { return getDefault(v); });
}

// ---- Values ----

uint32_t MMSAddress::getValue(JVariant& value, unsigned char* factor, unsigned char clear, unsigned int taskId) const
{
    if (!m_pField || !isValid() || isAnyCh()) return kFailed;
    return failed(getMMSValueDeligate(GET_OPE_VALUE, value, *this, factor, clear, taskId)) ? kFailed : kOk;
}

JVariant MMSAddress::getValue(unsigned int* result, unsigned char* factor, unsigned char clear,
                              unsigned int taskId) const
{
    return giveWithResult<JVariant>(result, [&](JVariant& v) { return getValue(v, factor, clear, taskId); });
}

uint32_t MMSAddress::getValues(GetOpeType operation, std::vector<JVariant>& values, unsigned char* factor,
                               unsigned char clear, unsigned int taskId) const
{
    if (!m_pField || !isValid()) return kFailed;
    values.clear();
    const MMS::MutexLock lock(m_pField->getMutex(), MMS::MutexLock::kCtrl | MMS::MutexLock::kGet);
    return forEachElement([&](const MMSAddress& at) {
        JVariant value;
        if (failed(getMMSValueDeligate(operation, value, at, factor, clear, taskId))) return kFailed;
        values.push_back(value);
        return kOk;
    });
}

uint32_t MMSAddress::setValues(const std::vector<JVariant>& values, unsigned char factor, unsigned char markOwn,
                               unsigned short checkMode, unsigned char setOption, unsigned int taskId)
{
    if (!m_pField || !isValid()) return kFailed;
    const MMS::MutexLock lock(m_pField->getMutex(), MMS::MutexLock::kCtrl | MMS::MutexLock::kSet);
    size_t position = 0;
    return forEachElement([&](const MMSAddress& at) {
        if (position >= values.size()) return kFailed;
        const uint32_t result = m_pField->setPrmFast(values[position++], m_pRootId, at.m_nodes, at.m_channels,
                                                     at.m_depth, factor, markOwn, checkMode, setOption, taskId,
                                                     nullptr, 0, nullptr);
        return failed(result) ? kFailed : kOk;  // the field's information bits stay inside
    });
}

uint32_t MMSAddress::setValue(const JVariant& value, unsigned char factor, unsigned char markOwn,
                              unsigned short checkMode, unsigned char setOption, unsigned int taskId)
{
    const std::vector<JVariant> one(1, value);
    return setValues(one, factor, markOwn, checkMode, setOption, taskId);
}

uint32_t MMSAddress::setValueStr(const char* text, unsigned char factor, unsigned char markOwn,
                                 unsigned short checkMode, unsigned char setOption, unsigned int taskId)
{
    if (!text) return kFailed;
    const size_t length = std::strlen(text);
    // A longer text would reach the field as the string "ERROR:".
    if (length > kMaxStringLength) return kFailed;
    JVariant value;
    if (failed(value.setString(text, static_cast<unsigned int>(length + 1)))) return kFailed;
    return setValue(value, factor, markOwn, checkMode, setOption, taskId);
}

}  // namespace MMSFUNC
