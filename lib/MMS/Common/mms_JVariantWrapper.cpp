#include "mms_JVariantWrapper.h"

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"
#include "mms_Result.h"

namespace MMS {

JVariantWrapper& JVariantWrapper::operator=(const JVariant& value)
{
    if (m_pValue != nullptr) {
        *m_pValue = value;
    } else if (m_pArray != nullptr) {
        (void)m_pArray->setValue(m_index, value);  // a misfit keeps the element as it was
    }
    return *this;
}

JVariantWrapper& JVariantWrapper::operator=(int value) { return *this = JVariant(value); }
JVariantWrapper& JVariantWrapper::operator=(unsigned int value) { return *this = JVariant(value); }
JVariantWrapper& JVariantWrapper::operator=(signed char value) { return *this = JVariant(static_cast<int>(value)); }
JVariantWrapper& JVariantWrapper::operator=(short value) { return *this = JVariant(static_cast<int>(value)); }
JVariantWrapper& JVariantWrapper::operator=(unsigned char value)
{
    return *this = JVariant(static_cast<unsigned int>(value));
}
JVariantWrapper& JVariantWrapper::operator=(unsigned short value)
{
    return *this = JVariant(static_cast<unsigned int>(value));
}
JVariantWrapper& JVariantWrapper::operator=(float value) { return *this = JVariant(value); }

uint32_t JVariantWrapper::setString(const char* text, uint32_t maxLength)
{
    if (m_pValue != nullptr) {
        return JLIB::isSuccess(m_pValue->setString(text, maxLength)) ? kMmsOk : kMmsBadArgument;
    }
    if (m_pArray != nullptr) {
        // The slot bounds the copy; a longer text is cut to the slot like a stored string slot.
        const uint32_t length = maxLength < m_pArray->getSize() ? maxLength : m_pArray->getSize();
        return m_pArray->setString(m_index, text, length) == 0 ? kMmsOk : kMmsBadArgument;
    }
    return kMmsBadArgument;
}

int JVariantWrapper::toInt32(bool* ok) const
{
    if (m_pValue != nullptr) return m_pValue->toInt32(ok);
    if (m_pArray != nullptr) return m_pArray->toInt32(m_index, ok);
    if (ok != nullptr) *ok = false;
    return 0;
}

unsigned int JVariantWrapper::toUInt32(bool* ok) const
{
    if (m_pValue != nullptr) return m_pValue->toUInt32(ok);
    if (m_pArray != nullptr) return m_pArray->toUInt32(m_index, ok);
    if (ok != nullptr) *ok = false;
    return 0;
}

float JVariantWrapper::toFloat(bool* ok) const
{
    if (m_pValue != nullptr) return m_pValue->toFloat(ok);
    if (m_pArray != nullptr) return m_pArray->toFloat(m_index, ok);
    if (ok != nullptr) *ok = false;
    return 0.0f;
}

int JVariantWrapper::getType() const
{
    if (m_pValue != nullptr) return m_pValue->getType();
    if (m_pArray != nullptr) return m_pArray->getType();
    return JVariant::kTypeInvalid;
}

}  // namespace MMS
