#include "mmsf_ModelCore.h"

#include <cstring>
#include <utility>

#include "MMS/Common/mms_IField.h"
#include "mmsf_FieldCollection.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kFailed = 0x80000000u;
constexpr unsigned int kVectorSize = 5;
// A channel number is read from at most this many digits; later digits are dropped.
constexpr size_t kMaxNumberDigits = 12;

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

// Decimal digits to a channel: empty is 0, anything beyond 32 bits the any-channel value.
unsigned int toChannel(const std::string& digits)
{
    uint64_t value = 0;
    for (const char c : digits) value = value * 10 + static_cast<uint64_t>(c - '0');
    return value > 0xFFFFFFFFull ? MMSAddress::CH_ANY : static_cast<unsigned int>(value);
}

}  // namespace

void ModelCore::TempVectors::clear()
{
    nodes.assign(kVectorSize, 0);
    channels.assign(kVectorSize, 0);
    depth = 0;
}

ModelCore::ModelCore() : m_pField(nullptr), m_pRootId(nullptr), m_clear(false) {}

ModelCore::~ModelCore() { (void)finalize(); }

uint32_t ModelCore::initialize(const char* name, FieldCollection& collection, unsigned int fieldIndex,
                               const char* rootId, bool clear)
{
    (void)finalize();
    m_name = name ? name : "";
    m_pField = collection.field(fieldIndex);
    m_pRootId = rootId;
    m_clear = clear;
    if (!m_pField) return kFailed;
    return m_tree.initialize(m_pField, m_pRootId);
}

uint32_t ModelCore::finalize() { return m_tree.clear(); }

uint32_t ModelCore::getModelAddress(MMSAddress& address, const char* text) const
{
    (void)address.clear();
    if (!text) return kFailed;
    enum class State { Start, Name, Number } state = State::Start;
    std::string path;
    std::string digits;
    std::vector<unsigned int> channels;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        switch (state) {
        case State::Start:
            if (c == '/') break;
            path += c;
            state = State::Name;
            break;
        case State::Name:
            if (c == ':') {
                state = State::Number;
                break;
            }
            path += c;
            if (c == '/') channels.push_back(MMSAddress::CH_ANY);
            break;
        case State::Number:
            if (c >= '0' && c <= '9') {
                if (digits.size() < kMaxNumberDigits) digits += c;
            } else if (c == '/') {
                channels.push_back(toChannel(digits));
                digits.clear();
                path += c;
                state = State::Name;
            }
            break;
        }
    }
    if (state == State::Name) channels.push_back(MMSAddress::CH_ANY);
    if (state == State::Number) channels.push_back(toChannel(digits));

    uint32_t result = address.setAddress(m_pField, m_pRootId, path.c_str());
    result |= address.setChVector(channels.data(), static_cast<unsigned int>(channels.size()));
    return failed(result) ? kFailed : kOk;
}

bool ModelCore::accepts(const MMSAddress& address) const
{
    return address.field() == m_pField && address.rootId() == m_pRootId;
}

uint32_t ModelCore::registerObserver(IModelObserver* observer, const MMSAddress& address)
{
    if (!accepts(address)) return kFailed;
    return m_tree.registerObserver(observer, address);
}

uint32_t ModelCore::unregisterObserver(IModelObserver* observer, const MMSAddress& address)
{
    if (!accepts(address)) return kFailed;
    return m_tree.unregisterObserver(observer, address);
}

uint32_t ModelCore::notify(unsigned int taskId)
{
    if (!m_pField) return kFailed;
    uint8_t changed = 0;
    // A task without a subscription makes the query fail: nothing changed for it.
    (void)m_pField->isChangedFast(&changed, m_pRootId, nullptr, nullptr, 0, 0, taskId);
    if (changed == 0) return kOk;

    TempVectors found;
    TempVectors start;
    for (;;) {
        // Ends with 0x80000007 once no further element changed.
        if (failed(m_pField->getChangedPrmAddrFast(found.nodes.data(), found.channels.data(), &found.depth,
                                                   kVectorSize, m_pRootId, start.nodes.data(),
                                                   start.channels.data(), start.depth, m_clear ? 1 : 0, taskId))) {
            break;
        }
        (void)m_tree.notify(found.nodes.data(), found.channels.data(), found.depth);  // unobserved nodes are no fault
        std::swap(found, start);
        found.clear();
    }
    return kOk;
}

}  // namespace MMSFUNC
