#include "pdb_LocalParameterArray.h"

#include "internal/pdb_ArrayCopy.h"
#include "pdb_ParameterStrategy.h"

namespace PDB {

namespace {

uint32_t minOf(uint32_t a, uint32_t b) { return a < b ? a : b; }

}  // namespace

LocalParameterArray::LocalParameterArray(const LocalParameterArray& source) : IParameterArray(), m_info(source.m_info)
{
    if (!source.m_values) return;
    // An exhausted heap leaves this copy empty, which isValid() shows.
    (void)createRawArray(m_values, m_info.type, m_info.itemSize, source.m_values->totalNum(), 0);
    if (m_values) (void)m_values->recall(*source.m_values);
}

LocalParameterArray::LocalParameterArray(const IParameterArray& source)
{
    (void)duplicate(source, kDefaultFactor, 0);  // a failure leaves the array empty
}

LocalParameterArray& LocalParameterArray::operator=(const LocalParameterArray& source)
{
    *this = static_cast<const IParameterArray&>(source);
    return *this;
}

LocalParameterArray::~LocalParameterArray() { (void)finalize(); }

JLIB::JResult LocalParameterArray::initialize(const ParameterInfo& info)
{
    ParameterInfo copy = info;  // info may be our own definition
    (void)finalize();
    m_info = std::move(copy);
    if (!m_info.isValid()) {
        (void)finalize();
        return JLIB::kInvalidArgument;
    }
    const JLIB::JResult created = createRawArray(m_values, m_info.type, m_info.itemSize, m_info.totalNum(), 0);
    if (JLIB::isFailure(created)) {
        (void)finalize();
        return created;
    }
    return JLIB::kOk;
}

uint32_t LocalParameterArray::finalize()
{
    (void)m_info.clear();
    m_values.reset();
    return 0;
}

IRawArray& LocalParameterArray::values() const
{
    if (m_values) return *m_values;
    return RawArrayNull::getNullObject();
}

IParameterArray& LocalParameterArray::operator=(const IParameterArray& source)
{
    if (&source != this) (void)duplicate(source, kDefaultFactor, 0);  // failures leave it empty
    return *this;
}

bool LocalParameterArray::isValid() const { return m_values && m_values->isValid(); }

const IRawArray& LocalParameterArray::params() const { return values(); }

uint32_t LocalParameterArray::totalSize() const { return roundUp4(values().totalSize()); }

ParameterStrategy& LocalParameterArray::paramStrategy() const { return ParameterStrategy::getNullObject(); }

bool LocalParameterArray::checkPosRange(uint32_t x, uint32_t y) const { return internal::hasPos(m_info, x, y); }

JLIB::JResult LocalParameterArray::posToXY(uint32_t& x, uint32_t& y, uint32_t pos) const
{
    return internal::posToXY(m_info, x, y, pos);
}

JLIB::JResult LocalParameterArray::setDirty(uint32_t, uint32_t, uint8_t) { return kNotOffered; }

JLIB::JResult LocalParameterArray::setDefault(uint32_t, uint32_t, uint8_t) { return kNotOffered; }

JLIB::JResult LocalParameterArray::getDefault(JVariant&, uint32_t, uint32_t) const { return kNotOffered; }

JLIB::JResult LocalParameterArray::setVariant(uint32_t x, uint32_t y, const JVariant& value, uint8_t)
{
    if (!checkPosRange(x, y) || !isValid()) return JLIB::kInvalidArgument;
    return values().setVariant(XYToPos(x, y), value);
}

JLIB::JResult LocalParameterArray::getVariant(JVariant& value, uint32_t x, uint32_t y, uint8_t* factor) const
{
    if (factor) *factor = kDefaultFactor;
    if (!checkPosRange(x, y) || !isValid()) return JLIB::kInvalidArgument;
    return values().getVariant(value, XYToPos(x, y));
}

JLIB::JResult LocalParameterArray::setVariants(const IParameterArray& source, uint8_t factor)
{
    return internal::setVariantsFrom(*this, source, factor);
}

JLIB::JResult LocalParameterArray::getVariants(IParameterArray& destination) const
{
    return destination.duplicate(*this, kDefaultFactor, 0);
}

JLIB::JResult LocalParameterArray::duplicate(const IParameterArray& source, uint8_t, JLIB::HeapId heap)
{
    if (&source == this) return JLIB::kOk;
    (void)initialize(source.paramInfo());  // an invalid source definition leaves the values empty
    JLIB_RETURN_IF_FAILED(values().duplicate(source.params(), heap));
    m_info = source.paramInfo();
    return JLIB::kOk;
}

JLIB::JResult LocalParameterArray::resize(uint32_t componentX, uint32_t componentY, bool keepValues, uint8_t)
{
    const LocalParameterArray copy(*this);
    auto restoreWith = [&](JLIB::JResult failure) {
        (void)duplicate(copy, kDefaultFactor, 0);  // exhausted memory leaves it empty
        return failure;
    };
    ParameterInfo reshaped = m_info;
    const JLIB::JResult refreshed = reshaped.refreshXY(componentX, componentY);
    if (JLIB::isFailure(refreshed)) return restoreWith(refreshed);
    const JLIB::JResult initialized = initialize(reshaped);
    if (JLIB::isFailure(initialized)) return restoreWith(initialized);
    if (keepValues) {
        const JLIB::JResult kept = recall(copy, DummyFlagArray::getInstance(), ImportAttr(0), kDefaultFactor);
        if (JLIB::isFailure(kept)) return restoreWith(kept);
    }
    return JLIB::kOk;
}

void LocalParameterArray::storeOverlap(const IRawArray& source, uint32_t sourceX, uint32_t sourceY,
                                       const IFlagArray& recallSafe)
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
        }
    }
}

JLIB::JResult LocalParameterArray::recall(const IParameterArray& source, const IFlagArray& recallSafe,
                                          const ImportAttr& attr, uint8_t)
{
    if (internal::filteredOut(m_info, attr)) return JLIB::kOk;
    if (!isValid()) return JLIB::kInvalidArgument;
    if (&source == this) return JLIB::kOk;
    const ParameterInfo& from = source.paramInfo();
    if (recallSafe.hasFlag()) {
        storeOverlap(source.params(), from.numX, from.numY, recallSafe);
        return JLIB::kOk;
    }
    if (from.numX == m_info.numX && from.numY == m_info.numY) return values().recall(source.params());
    return internal::copyOverlap(values(), m_info.numY, source.params(), from.numY, minOf(m_info.numX, from.numX),
                                 minOf(m_info.numY, from.numY));
}

JLIB::JResult LocalParameterArray::exportData(uint8_t* buffer, uint32_t length, uint32_t& written) const
{
    return internal::exportValues(values(), buffer, length, written);
}

JLIB::JResult LocalParameterArray::importData(const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                                              const IFlagArray& recallSafe, const ImportAttr& attr, uint8_t)
{
    if (stored.type != m_info.type) return kTypeMismatch;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(internal::checkStoredShape("LocalParameterArray", stored, data, length, count));
    if (internal::filteredOut(m_info, attr)) return JLIB::kOk;
    if (!isValid()) return JLIB::kInvalidArgument;

    const bool sameShape = stored.numX == m_info.numX && stored.numY == m_info.numY;
    if (!recallSafe.hasFlag() && sameShape) return values().recall(data, length, stored.type, stored.itemSize);

    std::unique_ptr<IRawArray> temporary;
    JLIB_RETURN_IF_FAILED(createRawArray(temporary, stored.type, stored.itemSize, count, data, length, 0));
    if (recallSafe.hasFlag()) {
        storeOverlap(*temporary, stored.numX, stored.numY, recallSafe);
        return JLIB::kOk;
    }
    return internal::copyOverlap(values(), m_info.numY, *temporary, stored.numY, minOf(m_info.numX, stored.numX),
                                 minOf(m_info.numY, stored.numY));
}

}  // namespace PDB
