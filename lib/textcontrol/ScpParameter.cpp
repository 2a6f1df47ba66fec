#include "textcontrol/ScpParameter.h"

namespace SCP {

ScpParameter::~ScpParameter() = default;

uint32_t ScpParameter::initialize(IScpParameterCallback* callback)
{
    m_pCallback = callback;
    return 0;
}

uint32_t ScpParameter::getIndexFromAddress(uint32_t& index, const ScpString&)
{
    index = 0;
    return 0;
}

uint32_t ScpParameter::getAddress(ScpString& address, uint32_t)
{
    (void)address.clear();  // keeps the storage: always 0
    return 0;
}

uint32_t ScpParameter::getAddressNum() { return 0; }
uint32_t ScpParameter::setAddressNum(int32_t) { return 0; }
uint32_t ScpParameter::setValue(uint8_t, uint32_t, uint32_t, uint32_t, const JVariant&) { return 0; }
uint32_t ScpParameter::setRatio(uint8_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
uint32_t ScpParameter::incDec(uint8_t, uint32_t, uint32_t, uint32_t, int32_t, uint32_t, uint32_t) { return 0; }
uint32_t ScpParameter::setText(uint8_t, uint32_t, uint32_t, uint32_t, const ScpString&) { return 0; }

uint32_t ScpParameter::setAttrib(ScpAddressAttrib& attrib, uint32_t)
{
    attrib.clear();
    return 0;
}

uint32_t ScpParameter::getValue(JVariant& value, uint8_t, uint32_t, uint32_t, uint32_t)
{
    (void)value.setInt32(0);  // always 0x10000
    return 0;
}

uint32_t ScpParameter::getRatio(uint32_t& ratio, uint32_t, uint8_t, uint32_t, uint32_t, uint32_t)
{
    ratio = 0;
    return 0;
}

uint32_t ScpParameter::getText(ScpString& text, uint8_t, uint32_t, uint32_t, uint32_t)
{
    (void)text.clear();  // keeps the storage: always 0
    return 0;
}

uint32_t ScpParameter::getAttrib(ScpAddressAttrib& attrib, uint32_t)
{
    attrib.clear();
    return 0;
}

uint32_t ScpParameter::checkDirty(uint32_t& index)
{
    index = 0;
    return 0;
}

uint32_t ScpParameter::getSnapshotNum(const ScpString&) { return 0; }
uint32_t ScpParameter::setSnapshotNum(const ScpString&, uint32_t) { return 0; }

uint32_t ScpParameter::getSnapshotAttrib(ScpSnapshotAttrib& attrib, const ScpString&, uint32_t)
{
    attrib.clear();
    return 0;
}

uint32_t ScpParameter::setSnapshotAttrib(ScpSnapshotAttrib&, const ScpString&, uint32_t) { return 0; }

uint32_t ScpParameter::getCurrentSnapshot(uint32_t& snapshotIndex, bool& modified, const ScpString&)
{
    snapshotIndex = 0;
    modified = false;
    return 0;
}

uint32_t ScpParameter::setCurrentSnapshot(uint32_t& snapshotIndex, bool, uint8_t, const ScpString&)
{
    snapshotIndex = 0;
    return 0;
}

uint32_t ScpParameter::recallSnapshot(uint8_t, const ScpString&, uint32_t) { return 0; }
uint32_t ScpParameter::updateSnapshot(uint8_t, const ScpString&, uint32_t) { return 0; }

}  // namespace SCP
