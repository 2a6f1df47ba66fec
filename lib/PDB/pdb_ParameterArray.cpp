#include "pdb_ParameterArray.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "internal/pdb_ArrayCopy.h"
#include "jlib/jlib_cfg.h"
#include "pdb_IParameterDB.h"
#include "pdb_ParameterDBCollection.h"
#include "pdb_ParameterStrategy.h"

namespace PDB {

namespace internal {

bool hasPos(const ParameterInfo& info, uint32_t x, uint32_t y) { return x < info.numX && y < info.numY; }

JLIB::JResult posToXY(const ParameterInfo& info, uint32_t& x, uint32_t& y, uint32_t pos)
{
    if (info.numY == 0 || uint64_t(pos) >= uint64_t(info.numX) * info.numY) {
        x = 0;
        y = 0;
        return JLIB::kInvalidArgument;
    }
    x = pos / info.numY;
    y = pos % info.numY;
    return JLIB::kOk;
}

JLIB::JResult exportValues(const IRawArray& values, uint8_t* buffer, uint32_t length, uint32_t& written)
{
    written = 0;
    const uint32_t s = values.totalSize();
    const uint32_t t = roundUp4(s);
    if (length < t || (t != 0 && !buffer)) return JLIB::kInvalidArgument;
    if (s != 0) std::memcpy(buffer, values.dataPtr(0), s);
    if (t != s) std::memset(buffer + s, 0, t - s);
    written = t;
    return JLIB::kOk;
}

bool filteredOut(const ParameterInfo& info, const ImportAttr& attr)
{
    if (!attr.hasFlags()) return false;
    if (!attr.isForceRecall() && !info.attr.isRecallable()) return true;
    return attr.whenRestore() && !info.attr.isNonVolatile();
}

JLIB::JResult checkStoredShape(const char* who, const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                               uint32_t& count)
{
    count = 0;
    const uint64_t elements = uint64_t(stored.numX) * stored.numY;
    const uint64_t bytes =
        elements <= 0xFFFFFFFFu ? calcTotalSizeWide(stored.type, stored.itemSize, uint32_t(elements)) : 0;
    if (!data || elements == 0 || bytes == 0 || bytes > length) {
        JLIB_LOG("[E] %s::importData - stored shape exceeds the data. [type=0x%02x, x=%u, y=%u, length=%u]\n", who,
                 unsigned(stored.type), stored.numX, stored.numY, length);
        return kMalformedImage;
    }
    count = uint32_t(elements);
    return JLIB::kOk;
}

JLIB::JResult copyOverlap(IRawArray& own, uint32_t ownY, const IRawArray& source, uint32_t sourceY, uint32_t nx,
                          uint32_t ny)
{
    if (own.type() != source.type()) return kTypeMismatch;
    JLIB::JResult total = JLIB::kOk;
    JVariant value;
    for (uint32_t x = 0; x < nx; ++x) {
        for (uint32_t y = 0; y < ny; ++y) {
            const JLIB::JResult read = source.getVariant(value, x * sourceY + y);
            if (JLIB::isFailure(read)) {
                total |= read;
                continue;
            }
            total |= own.setVariant(x * ownY + y, value);
        }
    }
    return total;
}

JLIB::JResult setVariantsFrom(IParameterArray& own, const IParameterArray& source, uint8_t factor)
{
    const uint32_t nx = std::min(own.paramInfo().numX, source.paramInfo().numX);
    const uint32_t ny = std::min(own.paramInfo().numY, source.paramInfo().numY);
    JLIB::JResult total = JLIB::kOk;
    JVariant value;
    for (uint32_t y = 0; y < ny; ++y) {
        for (uint32_t x = 0; x < nx; ++x) {
            if (JLIB::isFailure(source.getVariant(value, x, y, nullptr))) continue;
            total |= own.setVariant(x, y, value, factor);
        }
    }
    return total;
}

}  // namespace internal

namespace {

constexpr uint32_t kAllElements = 0xFFFFFFFFu;
// What a strategy's refusal is reported as to the callback.
constexpr uint32_t kRefusedWrite = 0x80000004u;

uint32_t minOf(uint32_t a, uint32_t b) { return a < b ? a : b; }

// The value lies below min (-1), above max (1) or within (0), compared as the kind's sort.
int compareToLimits(uint8_t kind, const JVariant& value, const ParameterInfo& limits)
{
    switch (kind) {
    case 1:
    case 4: {
        const uint32_t v = value.toUInt32();
        if (v < limits.min.toUInt32()) return -1;
        return v > limits.max.toUInt32() ? 1 : 0;
    }
    case 2: {
        const int32_t v = value.toInt32();
        if (v < limits.min.toInt32()) return -1;
        return v > limits.max.toInt32() ? 1 : 0;
    }
    default: {
        // Written so that a NaN is neither below nor above.
        const float v = value.toFloat();
        if (limits.min.toFloat() > v) return -1;
        return v > limits.max.toFloat() ? 1 : 0;
    }
    }
}

}  // namespace

DummyParameterArrayCallback& DummyParameterArrayCallback::getNullObject()
{
    static DummyParameterArrayCallback s_instance;
    return s_instance;
}

// ---- ParameterArray ----

ParameterArray::ParameterArray()
    : m_pDb(&ParameterDBNULL::getNullObject()),
      m_pCallback(&DummyParameterArrayCallback::getNullObject()),
      m_pStrategy(&ParameterStrategy::getNullObject())
{
}

ParameterArray::ParameterArray(const ParameterArray& source) : ParameterArray()
{
    (void)initialize(source.m_pDb, source.m_componentIndex, source.m_addressIndex, source.m_info,
                     source.m_pCallback, source.m_pStrategy, 0);  // a failure shows in isValid()
    (void)duplicate(source, kDefaultFactor, 0);
}

ParameterArray::ParameterArray(const IParameterArray& source) : ParameterArray()
{
    *this = source;
}

ParameterArray& ParameterArray::operator=(const ParameterArray& source)
{
    *this = static_cast<const IParameterArray&>(source);
    return *this;
}

ParameterArray::~ParameterArray() { (void)finalize(); }

JLIB::JResult ParameterArray::initialize(IParameterDB* db, uint32_t componentIndex, uint32_t addressIndex,
                                         const ParameterInfo& info, IParameterArrayCallback* callback,
                                         ParameterStrategy* strategy, JLIB::HeapId heap)
{
    ParameterInfo copy = info;  // info may be our own definition, which finalize clears
    (void)finalize();
    m_info = std::move(copy);
    m_pDb = db ? db : &ParameterDBNULL::getNullObject();
    m_componentIndex = componentIndex;
    m_addressIndex = addressIndex;
    m_pCallback = callback ? callback : &DummyParameterArrayCallback::getNullObject();
    m_pStrategy = strategy ? strategy : &ParameterStrategy::getNullObject();
    if (!m_info.isValid()) {
        (void)finalize();
        return JLIB::kInvalidArgument;
    }
    const JLIB::JResult created = createRawArray(m_values, m_info.type, m_info.itemSize, m_info.totalNum(), heap);
    if (JLIB::isFailure(created)) {
        (void)finalize();
        return created;
    }
    m_heap = heap;
    storeDefaults();
    if (JLIB::isFailure(makeFactors(m_info.totalNum(), kDefaultFactor))) {
        (void)finalize();
        return kNoMemory;
    }
    return JLIB::kOk;
}

uint32_t ParameterArray::finalize()
{
    (void)m_info.clear();
    m_values.reset();
    m_heap = 0;
    m_factors.reset();
    m_pDb = &ParameterDBNULL::getNullObject();
    m_componentIndex = 0;
    m_addressIndex = 0;
    m_pCallback = &DummyParameterArrayCallback::getNullObject();
    m_pStrategy = &ParameterStrategy::getNullObject();
    return 0;
}

IRawArray& ParameterArray::values() const
{
    if (m_values) return *m_values;
    return RawArrayNull::getNullObject();
}

uint32_t ParameterArray::elementCount() const { return m_values ? m_values->totalNum() : 0; }

void ParameterArray::storeDefaults()
{
    for (uint32_t y = 0; y < m_info.numY; ++y) {
        for (uint32_t x = 0; x < m_info.numX; ++x) {
            JVariant value = m_info.def;
            (void)m_pStrategy->getDefaultValueProc(*m_pDb, m_componentIndex, m_addressIndex, x, y, m_info, value);
            (void)values().setVariant(XYToPos(x, y), value);  // a cut default keeps what fits
        }
    }
}

JLIB::JResult ParameterArray::makeFactors(uint32_t count, uint8_t factor)
{
    m_factors.reset();
    if (count == 0) return JLIB::kOk;
    m_factors.reset(new (std::nothrow) uint8_t[count]);
    if (!m_factors) return kNoMemory;
    std::memset(m_factors.get(), factor, count);
    return JLIB::kOk;
}

void ParameterArray::fillFactors(uint8_t factor)
{
    if (m_factors) std::memset(m_factors.get(), factor, elementCount());
}

void ParameterArray::fillFactors(uint32_t nx, uint32_t ny, uint8_t factor)
{
    for (uint32_t x = 0; x < nx; ++x) std::memset(m_factors.get() + XYToPos(x, 0), factor, ny);
}

IParameterArray& ParameterArray::operator=(const IParameterArray& source)
{
    if (&source == this) return *this;
    (void)initialize(m_pDb, m_componentIndex, m_addressIndex, source.paramInfo(), m_pCallback, m_pStrategy, 0);
    (void)duplicate(source, kDefaultFactor, 0);  // failures leave the array as initialize made it
    return *this;
}

bool ParameterArray::isValid() const { return m_values && m_values->isValid(); }

const IRawArray& ParameterArray::params() const { return values(); }

uint32_t ParameterArray::totalSize() const { return roundUp4(values().totalSize()); }

bool ParameterArray::checkPosRange(uint32_t x, uint32_t y) const { return internal::hasPos(m_info, x, y); }

JLIB::JResult ParameterArray::posToXY(uint32_t& x, uint32_t& y, uint32_t pos) const
{
    return internal::posToXY(m_info, x, y, pos);
}

JLIB::JResult ParameterArray::setVariant(uint32_t x, uint32_t y, const JVariant& value, uint8_t factor)
{
    if (!checkPosRange(x, y) || !isValid()) return JLIB::kInvalidArgument;
    JLIB::JResult result = JLIB::kOk;
    const uint32_t pos = XYToPos(x, y);
    JVariant current;
    (void)values().getVariant(current, pos);  // a slot that cannot be read compares as invalid

    ParameterInfo scratch;
    const ParameterInfo& effective =
        m_pStrategy->getParameterInfoProxyProc(*m_pDb, m_componentIndex, m_addressIndex, x, y, m_info, scratch);

    JVariant toWrite = value;
    const uint8_t kind = m_info.type >> 4;
    switch (kind) {
    case 1:
    case 2:
    case 3:
    case 4: {
        const int side = compareToLimits(kind, value, effective);
        if (side < 0) {
            toWrite = effective.min;
            result |= kValueClamped;
        } else if (side > 0) {
            toWrite = effective.max;
            result |= kValueClamped;
        }
        break;
    }
    case 5:
    case 6:
        break;
    default:
        return kTypeMismatch;
    }

    if (toWrite == current) return result;

    const ParameterStrategy::CheckResult verdict = m_pStrategy->checkParameterProc(
        *m_pDb, m_componentIndex, m_addressIndex, x, y, effective, toWrite, current, factor, m_factors[pos]);
    if (!verdict.canSet()) {
        (void)m_pCallback->onErrorOccured(m_addressIndex, x, y, kRefusedWrite);
        return result;
    }

    (void)values().setVariant(pos, toWrite);  // a cut text is stored as cut, without a status
    m_factors[pos] = factor;

    if (!m_pDb->_IsLinkSuppressed()) {
        (void)m_pDb->_SuppressLink();
        (void)m_pStrategy->linkParameterProc(*m_pDb, m_componentIndex, m_addressIndex, x, y, effective, toWrite,
                                             current, factor);
        (void)m_pDb->_UnsuppressLink();
    }
    (void)m_pCallback->onNeedToSetDirty(m_addressIndex, pos, m_pDb->_IsRecalling());
    return result;
}

JLIB::JResult ParameterArray::getVariant(JVariant& value, uint32_t x, uint32_t y, uint8_t* factor) const
{
    if (!checkPosRange(x, y) || !isValid()) {
        if (factor) *factor = kDefaultFactor;
        return JLIB::kInvalidArgument;
    }
    const uint32_t pos = XYToPos(x, y);
    const JLIB::JResult status = values().getVariant(value, pos);
    if (JLIB::isSuccess(status)) {
        (void)m_pStrategy->getParameterProxyProc(*m_pDb, m_componentIndex, m_addressIndex, x, y, m_info, value);
        if (factor) *factor = m_factors[pos];
    }
    return status;
}

JLIB::JResult ParameterArray::setDefault(uint32_t x, uint32_t y, uint8_t factor)
{
    JVariant value = m_info.def;
    (void)m_pStrategy->getDefaultValueProc(*m_pDb, m_componentIndex, m_addressIndex, x, y, m_info, value);
    return setVariant(x, y, value, factor);
}

JLIB::JResult ParameterArray::getDefault(JVariant& value, uint32_t x, uint32_t y) const
{
    value = m_info.def;
    (void)m_pStrategy->getDefaultValueProc(*m_pDb, m_componentIndex, m_addressIndex, x, y, m_info, value);
    return JLIB::kOk;
}

JLIB::JResult ParameterArray::setDirty(uint32_t x, uint32_t y, uint8_t factor)
{
    if (!checkPosRange(x, y) || !isValid()) return JLIB::kInvalidArgument;
    const uint32_t pos = XYToPos(x, y);
    m_factors[pos] = factor;
    return m_pCallback->onNeedToSetDirty(m_addressIndex, pos, m_pDb->_IsRecalling());
}

uint8_t ParameterArray::getFactor(uint32_t x, uint32_t y) const
{
    if (!checkPosRange(x, y) || !isValid()) return kDefaultFactor;
    return m_factors[XYToPos(x, y)];
}

JLIB::JResult ParameterArray::setVariants(const IParameterArray& source, uint8_t factor)
{
    return internal::setVariantsFrom(*this, source, factor);
}

JLIB::JResult ParameterArray::getVariants(IParameterArray& destination) const
{
    return destination.duplicate(*this, kDefaultFactor, 0);
}

JLIB::JResult ParameterArray::duplicate(const IParameterArray& source, uint8_t factor, JLIB::HeapId heap)
{
    if (&source == this) {
        fillFactors(factor);
    } else {
        if (!isValid()) {
            (void)initialize(m_pDb, m_componentIndex, m_addressIndex, source.paramInfo(), m_pCallback, m_pStrategy,
                             0);  // an invalid source definition leaves the values empty
        }
        JLIB_RETURN_IF_FAILED(values().duplicate(source.params(), heap));
        m_info = source.paramInfo();
        JLIB_RETURN_IF_FAILED(makeFactors(elementCount(), factor));
    }
    (void)m_pCallback->onNeedToSetDirty(m_addressIndex, kAllElements, m_pDb->_IsRecalling());
    return JLIB::kOk;
}

JLIB::JResult ParameterArray::resize(uint32_t componentX, uint32_t componentY, bool keepValues, uint8_t factor)
{
    const ParameterArray copy(*this);
    const JLIB::HeapId heap = m_heap;
    auto restoreWith = [&](JLIB::JResult failure) {
        (void)duplicate(copy, factor, heap);  // only an exhausted heap fails here, leaving it empty
        m_heap = heap;
        return failure;
    };

    const JLIB::JResult refreshed = m_info.refreshXY(componentX, componentY);
    if (JLIB::isFailure(refreshed)) return restoreWith(refreshed);

    m_values.reset();
    const JLIB::JResult created = createRawArray(m_values, m_info.type, m_info.itemSize, m_info.totalNum(), m_heap);
    if (JLIB::isFailure(created)) return restoreWith(created);
    storeDefaults();
    if (JLIB::isFailure(makeFactors(m_info.totalNum(), factor))) return restoreWith(kNoMemory);

    if (keepValues) {
        const JLIB::JResult kept = recall(copy, DummyFlagArray::getInstance(), ImportAttr(0), factor);
        if (JLIB::isFailure(kept)) return restoreWith(kept);
    }
    return JLIB::kOk;
}

void ParameterArray::writeOverlap(const IRawArray& source, uint32_t sourceX, uint32_t sourceY,
                                  const IFlagArray& recallSafe, bool withLink, uint8_t factor)
{
    const uint32_t nx = minOf(m_info.numX, sourceX);
    const uint32_t ny = minOf(m_info.numY, sourceY);
    if (!withLink) (void)m_pDb->_SuppressLink();
    JVariant value;
    for (uint32_t x = 0; x < nx; ++x) {
        for (uint32_t y = 0; y < ny; ++y) {
            if (recallSafe.getFlag(XYToPos(x, y))) continue;
            if (JLIB::isFailure(source.getVariant(value, x * sourceY + y))) continue;
            (void)setVariant(x, y, value, factor);  // each element reports for itself
        }
    }
    if (!withLink) (void)m_pDb->_UnsuppressLink();
}

JLIB::JResult ParameterArray::storeOverlap(const IRawArray& source, uint32_t sourceX, uint32_t sourceY,
                                           const IFlagArray& recallSafe, uint8_t factor)
{
    const uint32_t nx = minOf(m_info.numX, sourceX);
    const uint32_t ny = minOf(m_info.numY, sourceY);
    JVariant value;
    for (uint32_t x = 0; x < nx; ++x) {
        for (uint32_t y = 0; y < ny; ++y) {
            const uint32_t pos = XYToPos(x, y);
            if (recallSafe.getFlag(pos)) continue;
            if (JLIB::isFailure(source.getVariant(value, x * sourceY + y))) continue;
            (void)values().setVariant(pos, value);  // a cut text keeps what fits
            m_factors[pos] = factor;
        }
    }
    return JLIB::kOk;
}

JLIB::JResult ParameterArray::recall(const IParameterArray& source, const IFlagArray& recallSafe,
                                     const ImportAttr& attr, uint8_t factor)
{
    if (internal::filteredOut(m_info, attr)) return JLIB::kOk;
    if (!isValid()) return JLIB::kInvalidArgument;
    const ParameterInfo& from = source.paramInfo();
    if (&source == this) return JLIB::kOk;
    if (attr.withDirty()) {
        writeOverlap(source.params(), from.numX, from.numY, recallSafe, attr.withLink(), factor);
        return JLIB::kOk;
    }
    if (recallSafe.hasFlag()) return storeOverlap(source.params(), from.numX, from.numY, recallSafe, factor);
    if (from.numX == m_info.numX && from.numY == m_info.numY) {
        const JLIB::JResult copied = values().recall(source.params());
        if (JLIB::isSuccess(copied)) fillFactors(factor);
        return copied;
    }
    const uint32_t nx = minOf(m_info.numX, from.numX);
    const uint32_t ny = minOf(m_info.numY, from.numY);
    const JLIB::JResult copied = internal::copyOverlap(values(), m_info.numY, source.params(), from.numY, nx, ny);
    if (JLIB::isSuccess(copied)) fillFactors(nx, ny, factor);
    return copied;
}

JLIB::JResult ParameterArray::exportData(uint8_t* buffer, uint32_t length, uint32_t& written) const
{
    return internal::exportValues(values(), buffer, length, written);
}

JLIB::JResult ParameterArray::importData(const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                                         const IFlagArray& recallSafe, const ImportAttr& attr, uint8_t factor)
{
    if (stored.type != m_info.type) return kTypeMismatch;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(internal::checkStoredShape("ParameterArray", stored, data, length, count));
    if (internal::filteredOut(m_info, attr)) return JLIB::kOk;
    if (!isValid()) return JLIB::kInvalidArgument;

    const bool sameShape = stored.numX == m_info.numX && stored.numY == m_info.numY;
    if (!attr.withDirty() && !recallSafe.hasFlag() && sameShape) {
        const JLIB::JResult copied = values().recall(data, length, stored.type, stored.itemSize);
        if (JLIB::isSuccess(copied)) fillFactors(factor);
        return copied;
    }

    std::unique_ptr<IRawArray> temporary;
    const JLIB::JResult created = createRawArray(temporary, stored.type, stored.itemSize, count, data, length, 0);
    if (attr.withDirty()) {
        if (JLIB::isSuccess(created)) {
            writeOverlap(*temporary, stored.numX, stored.numY, recallSafe, attr.withLink(), factor);
        }
        return JLIB::kOk;
    }
    if (JLIB::isFailure(created)) return created;
    if (recallSafe.hasFlag()) return storeOverlap(*temporary, stored.numX, stored.numY, recallSafe, factor);

    const uint32_t nx = minOf(m_info.numX, stored.numX);
    const uint32_t ny = minOf(m_info.numY, stored.numY);
    const JLIB::JResult copied = internal::copyOverlap(values(), m_info.numY, *temporary, stored.numY, nx, ny);
    if (JLIB::isSuccess(copied)) fillFactors(nx, ny, factor);
    return copied;
}

// ---- ParameterArrayNULL ----

ParameterArrayNULL& ParameterArrayNULL::getNullObject()
{
    static ParameterArrayNULL s_instance;
    return s_instance;
}

const ParameterInfo& ParameterArrayNULL::paramInfo() const
{
    static const ParameterInfo s_empty;
    return s_empty;
}

const IRawArray& ParameterArrayNULL::params() const { return RawArrayNull::getNullObject(); }

ParameterStrategy& ParameterArrayNULL::paramStrategy() const { return ParameterStrategy::getNullObject(); }

JLIB::JResult ParameterArrayNULL::getVariant(JVariant& value, uint32_t, uint32_t, uint8_t* factor) const
{
    (void)value.invalid();
    if (factor) *factor = kDefaultFactor;
    return JLIB::kOk;
}

JLIB::JResult ParameterArrayNULL::getDefault(JVariant& value, uint32_t, uint32_t) const
{
    (void)value.invalid();
    return JLIB::kOk;
}

JLIB::JResult ParameterArrayNULL::exportData(uint8_t*, uint32_t, uint32_t& written) const
{
    written = 0;
    return kNullArray;
}

JLIB::JResult ParameterArrayNULL::posToXY(uint32_t& x, uint32_t& y, uint32_t) const
{
    x = 0;
    y = 0;
    return kNullArray;
}

}  // namespace PDB
