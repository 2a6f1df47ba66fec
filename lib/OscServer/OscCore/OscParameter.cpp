#include "OscServer/OscCore/OscParameter.h"

namespace JOSC {

OscParameter::~OscParameter() = default;

JLIB::JResult OscParameter::initialize(IOscParameterCallback* callback)
{
    m_pCallback = callback;
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getIndexFromAddress(uint32_t& index, const std::string&)
{
    index = 0;
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getIndexListFromAddress(OscIndexList& indices, const std::string&)
{
    indices.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getAddress(std::string& address, uint32_t)
{
    address.clear();
    return JLIB::kOk;
}

uint32_t OscParameter::getAddressNum() { return 0; }

JLIB::JResult OscParameter::setAddressNum(int32_t) { return JLIB::kOk; }

JLIB::JResult OscParameter::setValue(uint8_t, uint32_t, uint32_t, uint32_t, const JVariantList&) { return JLIB::kOk; }

JLIB::JResult OscParameter::setRatio(uint8_t, uint32_t, uint32_t, uint32_t, const JVariantList&, uint32_t)
{
    return JLIB::kOk;
}

JLIB::JResult OscParameter::incDec(uint8_t, uint32_t, uint32_t, uint32_t, const JVariantList&, uint32_t, uint32_t)
{
    return JLIB::kOk;
}

JLIB::JResult OscParameter::setText(uint8_t, uint32_t, uint32_t, uint32_t, const JVariantList&) { return JLIB::kOk; }

JLIB::JResult OscParameter::setAttrib(std::vector<OscAddressAttrib>& attribs, uint32_t)
{
    attribs.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getValue(JVariantList& values, uint8_t, uint32_t, uint32_t, uint32_t)
{
    values.emplace_back(0);
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getRatio(JVariantList& values, uint32_t, uint8_t, uint32_t, uint32_t, uint32_t)
{
    values.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getText(JVariantList& texts, uint8_t, uint32_t, uint32_t, uint32_t)
{
    texts.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getAttrib(std::vector<OscAddressAttrib>& attribs, uint32_t)
{
    attribs.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::checkDirty(uint32_t& index)
{
    index = 0;
    return JLIB::kOk;
}

uint32_t OscParameter::getSnapshotNum(const std::string&) { return 0; }

JLIB::JResult OscParameter::setSnapshotNum(const std::string&, uint32_t) { return JLIB::kOk; }

JLIB::JResult OscParameter::getSnapshotAttrib(OscSnapshotAttrib& attrib, const std::string&, uint32_t)
{
    attrib.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::setSnapshotAttrib(const OscSnapshotAttrib&, const std::string&, uint32_t)
{
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getCurrentSnapshot(uint32_t& number, bool& modified, const std::string&)
{
    number = 0;
    modified = false;
    return JLIB::kOk;
}

JLIB::JResult OscParameter::setCurrentSnapshot(uint32_t& number, bool, uint8_t, const std::string&)
{
    number = 0;
    return JLIB::kOk;
}

JLIB::JResult OscParameter::recallSnapshot(uint8_t, const std::string&, uint32_t) { return JLIB::kOk; }

JLIB::JResult OscParameter::updateSnapshot(uint8_t, const std::string&, uint32_t) { return JLIB::kOk; }

JLIB::JResult OscParameter::getSnapshotAttrib(OscSnapshotAttrib& attrib, const std::string&, const std::string&)
{
    attrib.clear();
    return JLIB::kOk;
}

JLIB::JResult OscParameter::setSnapshotAttrib(const OscSnapshotAttrib&, const std::string&, const std::string&)
{
    return JLIB::kOk;
}

JLIB::JResult OscParameter::getCurrentSnapshot(std::string& name, bool& modified, const std::string&)
{
    name.clear();
    modified = false;
    return JLIB::kOk;
}

JLIB::JResult OscParameter::setCurrentSnapshot(std::string&, bool, uint8_t, const std::string&) { return JLIB::kOk; }

JLIB::JResult OscParameter::recallSnapshot(uint8_t, const std::string&, const std::string&) { return JLIB::kOk; }

JLIB::JResult OscParameter::updateSnapshot(uint8_t, const std::string&, const std::string&) { return JLIB::kOk; }

}  // namespace JOSC
