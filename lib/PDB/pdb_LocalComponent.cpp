#include "pdb_LocalComponent.h"

#include "jlib/jlib_cfg.h"

namespace PDB {

LocalComponent::LocalComponent(const IComponent& source) { copyFrom(source); }

LocalComponent::LocalComponent(const LocalComponent& source) : AbstractComponent() { copyFrom(source); }

LocalComponent& LocalComponent::operator=(const IComponent& source)
{
    if (&source != this) copyFrom(source);
    return *this;
}

LocalComponent& LocalComponent::operator=(const LocalComponent& source)
{
    if (&source != this) copyFrom(source);
    return *this;
}

LocalComponent::~LocalComponent() { m_arrays.clear(); }

void LocalComponent::copyFrom(const IComponent& source)
{
    if (JLIB::isFailure(initialize(source.componentInfo()))) return;  // leaves an invalid source out
    for (uint32_t ai = 0; ai < source.addressNum() && ai < m_arrays.size(); ++ai) {
        *m_arrays[ai] = source.paramArray(ai);
    }
}

JLIB::JResult LocalComponent::initialize(const ComponentInfo& info)
{
    if (!info.isValid()) return JLIB::kInvalidArgument;
    const ComponentInfo copy = info;  // info may be our own definition
    m_arrays.clear();
    for (uint32_t ai = 0; ai < copy.addressNum(); ++ai) {
        auto array = std::make_unique<LocalParameterArray>();
        JLIB_RETURN_IF_FAILED(array->initialize(copy.paramInfo(ai)));
        m_arrays.push_back(std::move(array));
    }
    m_info = copy;
    return JLIB::kOk;
}

JLIB::JResult LocalComponent::clear()
{
    m_arrays.clear();
    return JLIB::kOk;
}

JLIB::JResult LocalComponent::resizeComponent(uint32_t sizeX, uint32_t sizeY, bool keepValues, uint8_t f)
{
    JLIB::JResult result = JLIB::kOk;
    for (auto& array : m_arrays) result |= array->resize(sizeX, sizeY, keepValues, f);
    return result;
}

JLIB::JResult LocalComponent::resizeDirtyFlag(uint32_t) { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

JLIB::JResult LocalComponent::setImportSafeFlag(uint32_t, uint32_t, uint32_t, bool)
{
    jlib_cfg_dbgbrk(__FILE__, __LINE__);
}

JLIB::JResult LocalComponent::setAllImportSafeFlag(bool) { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

JLIB::JResult LocalComponent::setDirty(uint32_t, uint32_t, uint32_t, uint8_t) { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

bool LocalComponent::getImportSafeFlag(uint32_t, uint32_t, uint32_t) const { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

bool LocalComponent::getDirty(int32_t, uint32_t, uint32_t, uint32_t) const { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

JLIB::JResult LocalComponent::clearAllDirty(int32_t) { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

JLIB::JResult LocalComponent::captureDirtyFlag(int32_t) { jlib_cfg_dbgbrk(__FILE__, __LINE__); }

JLIB::JResult LocalComponent::checkNextDirty(int32_t, uint32_t&, uint32_t&, uint32_t&)
{
    jlib_cfg_dbgbrk(__FILE__, __LINE__);
}

IParameterArray& LocalComponent::params(uint32_t ai)
{
    if (ai >= m_arrays.size()) return ParameterArrayNULL::getNullObject();
    return *m_arrays[ai];
}

const IParameterArray& LocalComponent::params(uint32_t ai) const
{
    if (ai >= m_arrays.size()) return ParameterArrayNULL::getNullObject();
    return *m_arrays[ai];
}

const IFlagArray& LocalComponent::recallSafeFlags(uint32_t) const { return DummyFlagArray::getInstance(); }

JLIB::JResult LocalComponent::recreate(IParameterDB&, uint32_t, const ComponentInfo& info, JLIB::HeapId heap)
{
    if (heap.id() != 0) return JLIB::kInvalidArgument;
    return initialize(info);
}

}  // namespace PDB
