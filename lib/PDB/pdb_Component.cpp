#include "pdb_Component.h"

#include "pdb_IParameterDB.h"
#include "pdb_ParameterStrategy.h"

namespace PDB {

namespace {

constexpr uint32_t kAllElements = 0xFFFFFFFFu;
constexpr JLIB::JResult kBadSlot = 0x80000000u;

// All flags clear; an array without elements gets no flags.
JLIB::JResult sizeFlags(FlagArray& flags, uint32_t count)
{
    if (count == 0) {
        (void)flags.finalize();
        return JLIB::kOk;
    }
    return flags.initialize(count);
}

JLIB::JResult makeDirtySet(std::unique_ptr<Component::DirtyFlagSet>& out, uint32_t count)
{
    out = std::make_unique<Component::DirtyFlagSet>();
    JLIB_RETURN_IF_FAILED(sizeFlags(out->banks[0], count));
    return sizeFlags(out->banks[1], count);
}

uint32_t elementCount(const IParameterArray& array) { return array.isValid() ? array.paramInfo().totalNum() : 0; }

}  // namespace

Component::DirtyFlagSet& Component::DirtyFlagSet::getNULLObject()
{
    static DirtyFlagSet s_instance;
    return s_instance;
}

Component::ParameterRecord& Component::ParameterRecord::getNULLObject()
{
    static ParameterRecord s_instance;
    return s_instance;
}

IParameterArray& Component::ParameterRecord::array()
{
    if (owned) return *owned;
    return ParameterArrayNULL::getNullObject();
}

const IParameterArray& Component::ParameterRecord::array() const
{
    if (owned) return *owned;
    return ParameterArrayNULL::getNullObject();
}

Component::~Component() { (void)clear(); }

JLIB::JResult Component::initialize(IParameterDB* db, uint32_t ci, const ComponentInfo& info,
                                    IComponentCallback* callback, JLIB::HeapId heap)
{
    if (!info.isValid()) return JLIB::kInvalidArgument;
    const ComponentInfo copy = info;  // info may be our own definition, which clear empties
    (void)clear();
    m_info = copy;
    JLIB_RETURN_IF_FAILED(makeRecords(db, ci, heap));
    m_pCallback = callback;
    return JLIB::kOk;
}

JLIB::JResult Component::makeRecords(IParameterDB* db, uint32_t ci, JLIB::HeapId heap)
{
    m_records.clear();
    for (uint32_t ai = 0; ai < m_info.addressNum(); ++ai) {
        m_records.push_back(std::make_unique<ParameterRecord>());
        JLIB_RETURN_IF_FAILED(initializeRecord(*m_records.back(), db, ci, ai, heap));
    }
    return JLIB::kOk;
}

JLIB::JResult Component::initializeRecord(ParameterRecord& record, IParameterDB* db, uint32_t ci, uint32_t ai,
                                          JLIB::HeapId heap)
{
    auto array = std::make_unique<ParameterArray>();
    JLIB_RETURN_IF_FAILED(
        array->initialize(db, ci, ai, m_info.paramInfo(ai), this, m_info.parameterStrategy(), heap));
    record.owned = std::move(array);
    ++record.generation;
    record.dirty.clear();
    return sizeFlags(record.recallSafe, elementCount(*record.owned));
}

uint32_t Component::setSubscribeAttr(int32_t slot, const SubscribeAttr& attr)
{
    if (hasSlot(slot)) m_subscribeAttrs[size_t(slot)] = attr;
    return 0;
}

JLIB::JResult Component::clear()
{
    (void)m_info.clear();
    m_records.clear();
    m_bankSelect.clear();
    m_subscribeAttrs.clear();
    m_pCallback = nullptr;
    return JLIB::kOk;
}

JLIB::JResult Component::recreate(IParameterDB& db, uint32_t ci, const ComponentInfo& info, JLIB::HeapId heap)
{
    m_info = info;
    for (uint8_t& select : m_bankSelect) select = 0;
    return makeRecords(&db, ci, heap);
}

JLIB::JResult Component::resizeComponent(uint32_t sizeX, uint32_t sizeY, bool keepValues, uint8_t f)
{
    // Sizes the definition refuses would give arrays outside the type's limits: stop here.
    JLIB_RETURN_IF_FAILED(m_info.resize(sizeX, sizeY, int16_t(m_info.generation() + 1)));
    JLIB::JResult total = JLIB::kOk;
    for (auto& record : m_records) {
        const ParameterInfo before = record->array().paramInfo();
        const FlagArray oldFlags = record->recallSafe;
        const JLIB::JResult resized = record->array().resize(sizeX, sizeY, keepValues, f);
        total |= resized;
        if (JLIB::isFailure(resized)) continue;

        const ParameterInfo& after = record->array().paramInfo();
        total |= sizeFlags(record->recallSafe, elementCount(record->array()));
        if (keepValues) {
            const uint32_t nx = before.numX < after.numX ? before.numX : after.numX;
            const uint32_t ny = before.numY < after.numY ? before.numY : after.numY;
            for (uint32_t x = 0; x < nx; ++x) {
                for (uint32_t y = 0; y < ny; ++y) {
                    if (oldFlags.getFlag(x * before.numY + y)) (void)record->recallSafe.setFlag(x * after.numY + y);
                }
            }
        }
        for (auto& set : record->dirty) total |= makeDirtySet(set, elementCount(record->array()));
    }
    return total;
}

JLIB::JResult Component::resizeDirtyFlag(uint32_t subscriberCount)
{
    m_bankSelect.resize(subscriberCount, 0);
    m_subscribeAttrs.resize(subscriberCount, SubscribeAttr(0));
    for (auto& record : m_records) {
        const size_t had = record->dirty.size();
        record->dirty.resize(subscriberCount);
        for (size_t slot = had; slot < subscriberCount; ++slot) {
            JLIB_RETURN_IF_FAILED(makeDirtySet(record->dirty[slot], elementCount(record->array())));
        }
    }
    return JLIB::kOk;
}

uint32_t Component::onNeedToSetDirty(uint32_t ai, uint32_t pos, bool recalling)
{
    if (ai >= m_records.size()) return JLIB::kInvalidArgument;
    ParameterRecord& record = *m_records[ai];
    for (size_t slot = 0; slot < m_bankSelect.size() && slot < record.dirty.size(); ++slot) {
        if (recalling && !m_subscribeAttrs[slot].dirtyWhenRecall()) continue;
        FlagArray& bank = record.dirty[slot]->banks[m_bankSelect[slot]];
        if (pos == kAllElements) {
            (void)bank.setAllFlags();  // an array without elements has nothing to mark
        } else {
            (void)bank.setFlag(pos);  // a position beyond the bank marks nothing
        }
    }
    return JLIB::kOk;
}

const FlagArray* Component::readBank(const ParameterRecord& record, int32_t slot) const
{
    if (!hasSlot(slot) || size_t(slot) >= record.dirty.size()) return nullptr;
    return &record.dirty[size_t(slot)]->banks[1 - m_bankSelect[size_t(slot)]];
}

FlagArray* Component::readBank(ParameterRecord& record, int32_t slot)
{
    return const_cast<FlagArray*>(static_cast<const Component*>(this)->readBank(record, slot));
}

JLIB::JResult Component::captureDirtyFlag(int32_t slot)
{
    if (!hasSlot(slot)) return kBadSlot;
    m_bankSelect[size_t(slot)] ^= 1;
    return JLIB::kOk;
}

bool Component::getDirty(int32_t slot, uint32_t ai, uint32_t x, uint32_t y) const
{
    if (ai >= m_records.size()) return false;
    const ParameterRecord& record = *m_records[ai];
    const FlagArray* bank = readBank(record, slot);
    if (!bank || !record.array().checkPosRange(x, y)) return false;
    return bank->getFlag(record.array().XYToPos(x, y));
}

JLIB::JResult Component::clearAllDirty(int32_t slot)
{
    if (!hasSlot(slot)) return JLIB::kInvalidArgument;
    for (auto& record : m_records) {
        if (FlagArray* bank = readBank(*record, slot)) (void)bank->clearAllFlags();  // empty: nothing to clear
    }
    return JLIB::kOk;
}

JLIB::JResult Component::checkNextDirty(int32_t slot, uint32_t& ai, uint32_t& x, uint32_t& y)
{
    if (!hasSlot(slot)) return JLIB::kInvalidArgument;
    for (uint32_t a = ai; a < m_records.size(); ++a) {
        ParameterRecord& record = *m_records[a];
        FlagArray* bank = readBank(record, slot);
        const uint32_t numY = record.array().paramInfo().numY;
        const uint64_t start = a == ai ? uint64_t(x) * numY + y : 0;
        if (!bank || numY == 0 || start >= bank->totalNum()) continue;
        unsigned int pos = unsigned(start);
        if (bank->findNextFlag(pos) != JLIB::kOk) continue;
        (void)bank->clearFlag(pos);
        ai = a;
        x = pos / numY;
        y = pos % numY;
        return JLIB::kOk;
    }
    ai = uint32_t(m_records.size());
    return kNoMoreDirty;
}

JLIB::JResult Component::setDirty(uint32_t ai, uint32_t x, uint32_t y, uint8_t f)
{
    const JLIB::JResult result = params(ai).setDirty(x, y, f);
    (void)callbackOnSetParam();
    return result;
}

JLIB::JResult Component::setImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y, bool on)
{
    if (ai >= m_records.size()) return JLIB::kInvalidArgument;
    ParameterRecord& record = *m_records[ai];
    if (!record.array().checkPosRange(x, y)) return JLIB::kOk;
    const uint32_t pos = record.array().XYToPos(x, y);
    (void)(on ? record.recallSafe.setFlag(pos) : record.recallSafe.clearFlag(pos));  // in range: checked above
    return JLIB::kOk;
}

JLIB::JResult Component::setAllImportSafeFlag(bool on)
{
    for (auto& record : m_records) {
        (void)(on ? record->recallSafe.setAllFlags() : record->recallSafe.clearAllFlags());  // empty: nothing to set
    }
    return JLIB::kOk;
}

bool Component::getImportSafeFlag(uint32_t ai, uint32_t x, uint32_t y) const
{
    if (ai >= m_records.size()) return false;
    const ParameterRecord& record = *m_records[ai];
    if (!record.array().checkPosRange(x, y)) return false;
    return record.recallSafe.getFlag(record.array().XYToPos(x, y));
}

IParameterArray& Component::params(uint32_t ai)
{
    if (ai >= m_records.size()) return ParameterArrayNULL::getNullObject();
    return m_records[ai]->array();
}

const IParameterArray& Component::params(uint32_t ai) const
{
    if (ai >= m_records.size()) return ParameterArrayNULL::getNullObject();
    return m_records[ai]->array();
}

const IFlagArray& Component::recallSafeFlags(uint32_t ai) const
{
    if (ai >= m_records.size()) return DummyFlagArray::getInstance();
    return m_records[ai]->recallSafe;
}

uint32_t Component::callbackOnSetParam() { return m_pCallback ? m_pCallback->rawCallbackSetPDBParameter() : 0; }

}  // namespace PDB
