#include "pdb_ComponentInfoRepository.h"

#include <utility>

namespace PDB {

ComponentInfoRepository& ComponentInfoRepository::singleton()
{
    static ComponentInfoRepository s_repository;
    return s_repository;
}

ComponentInfoRepository::~ComponentInfoRepository() { (void)clear(); }

JLIB::JResult ComponentInfoRepository::addComponentInfo(const ComponentInfo& info)
{
    if (!info.isValid()) return JLIB::kInvalidArgument;
    std::string tag = makeTag(info.componentName().c_str(), info.componentVersion());
    if (m_infos.find(tag) != m_infos.end()) return kAlreadyRegistered;
    m_infos.emplace(std::move(tag), std::make_unique<ComponentInfo>(info));
    return JLIB::kOk;
}

const ComponentInfo& ComponentInfoRepository::getComponentInfo(const char* name, uint32_t version) const
{
    static const ComponentInfo s_empty;
    const auto it = m_infos.find(makeTag(name, version));
    return it == m_infos.end() ? s_empty : *it->second;
}

std::string ComponentInfoRepository::makeTag(const char* name, uint32_t version)
{
    std::string tag = name ? name : "";
    tag += '_';
    tag += std::to_string(version);
    return tag;
}

uint32_t ComponentInfoRepository::clear()
{
    m_infos.clear();
    return 0;
}

}  // namespace PDB
