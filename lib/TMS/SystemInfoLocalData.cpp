#include "TMS/SystemInfoLocalData.h"

#include "jlib/JVariantArray.h"
#include "jlib/jlib_string.h"

namespace TMS {

namespace {

bool sameName(const char* a, const char* b) { return a && b && jlib_strncmp(a, b, 0xFFFFFFFFu) == 0; }

constexpr unsigned int kMaxTextLength = 1024;

}  // namespace

JLIB::JResult SystemInfoLocalData::setParam(const char* name, uint32_t index, const JVariant& value)
{
    if (!name) return kNullArgument;
    for (SystemInfoLocalItem& item : m_items) {
        if (item.index() == index && sameName(item.name(), name)) {
            item.setValue(value);
            return JLIB::kOk;
        }
    }
    m_items.emplace_back(name, index, value);
    return JLIB::kOk;
}

JLIB::JResult SystemInfoLocalData::setParam(const char* name, uint32_t index, const char* text)
{
    return setParam(name, index, JVariant(text, kMaxTextLength));
}

JLIB::JResult SystemInfoLocalData::setParamArray(const char* name, uint32_t first, const JVariant* values,
                                                 uint32_t count)
{
    if (!values) return kNullArgument;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < count; ++i) result |= setParam(name, first + i, values[i]);
    return result;
}

JLIB::JResult SystemInfoLocalData::setParamArray(const char* name, uint32_t first, const JVariantArray& values)
{
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < values.getLength(); ++i) {
        JVariant value;
        (void)values.getValue(&value, i);  // an unreadable element is recorded invalid
        result |= setParam(name, first + i, value);
    }
    return result;
}

JLIB::JResult SystemInfoLocalData::getParam(JVariant& value, const char* name, uint32_t index) const
{
    (void)value.invalid();
    for (const SystemInfoLocalItem& item : m_items) {
        if (item.index() == index && sameName(item.name(), name)) {
            value = item.value();
            return JLIB::kOk;
        }
    }
    return kNotPending;
}

const SystemInfoLocalItem* SystemInfoLocalData::getParam(uint32_t position) const
{
    return position < m_items.size() ? &m_items[position] : nullptr;
}

JLIB::JResult SystemInfoLocalData::clear()
{
    m_items.clear();
    return JLIB::kOk;
}

}  // namespace TMS
