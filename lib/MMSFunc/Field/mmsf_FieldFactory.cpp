#include "mmsf_FieldFactory.h"

#include <cstring>
#include <new>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_Platform.h"
#include "MMS/Common/mms_ProcessOption.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "MMS/mms_ParseHandler.h"
#include "mmsf_DescriptorFolder.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr char kTemplateRoot[] = "Template";

bool failed(uint32_t result) { return (result & 0x80000000u) != 0; }

uint32_t lengthWithNul(const char* text) { return static_cast<uint32_t>(std::strlen(text) + 1); }

}  // namespace

FieldFactory::FieldFactory(MMS::IField* templateField)
    : m_pTemplate(templateField), m_pDescName(""), m_pFileName(nullptr), m_folderCallback(nullptr),
      m_pBuffer(nullptr), m_bufferLength(0)
{
}

FieldFactory::FieldFactory(const char* descName, const char* fileName, FolderCallback folderCallback)
    : m_pTemplate(nullptr), m_pDescName(descName ? descName : ""), m_pFileName(fileName),
      m_folderCallback(folderCallback), m_pBuffer(nullptr), m_bufferLength(0)
{
}

FieldFactory::FieldFactory(const char* descName, const char* buffer, uint32_t length)
    : m_pTemplate(nullptr), m_pDescName(descName ? descName : ""), m_pFileName(nullptr), m_folderCallback(nullptr),
      m_pBuffer(buffer), m_bufferLength(buffer && length == 0 ? lengthWithNul(buffer) : length)
{
}

FieldFactory::~FieldFactory()
{
    // Instances still alive borrow the template's definition and their own plug-in list (every
    // list recorded belongs to a live instance): both stay, or their next write would use freed memory.
    const size_t alive = m_pluginLists.size() > m_counted.size() ? m_pluginLists.size() : m_counted.size();
    if (alive == 0) return;
    (void)MMS::mmsAssertOutput("[ %s ] Destroyed with %u instances alive: their template and plug-in lists are kept.\n",
                               "MMSFUNC::FieldFactory", static_cast<unsigned>(alive));
    if (!m_counted.empty()) (void)m_pOwnedTemplate.release();
    m_pluginLists.clear();
}

std::unique_ptr<MMS::Field> FieldFactory::parseTemplate() const
{
    std::unique_ptr<MMS::Field> field(new (std::nothrow) MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!field) return nullptr;
    uint8_t status = 0;
    if (failed(field->getStatus(&status)) || status != MMS::Base::kStatusReady) return nullptr;
    uint32_t result = kFailed;
    if (m_pFileName) {
        std::string folder;
        const bool found = m_folderCallback ? (folder = m_folderCallback(m_pFileName), true)
                                            : getDescriptorFolder(folder);
        // No folder is no file: an empty one would name a path from the file system's top.
        if (!found || folder.empty()) return nullptr;
        result = MMS::XmlParser::Parse(field.get(), m_pDescName, lengthWithNul(m_pDescName), kTemplateRoot,
                                       sizeof kTemplateRoot, folder.c_str(), lengthWithNul(folder.c_str()), m_pFileName,
                                       lengthWithNul(m_pFileName), MMS::BUILD_OPTION_FINISH, nullptr, 0);
    } else {
        result = MMS::XmlParser::Parse(field.get(), m_pDescName, lengthWithNul(m_pDescName), kTemplateRoot,
                                       sizeof kTemplateRoot, m_pBuffer, m_bufferLength, MMS::BUILD_OPTION_FINISH,
                                       nullptr, 0);
    }
    if (failed(result)) return nullptr;
    return field;
}

void FieldFactory::dropTemplate()
{
    m_pOwnedTemplate.reset();
    m_pTemplate = nullptr;
}

MMS::Field* FieldFactory::createInstance(const char* rootName, MMS::IEventFlagTrigger* trigger, bool withoutPluginList)
{
    if (isParsing() && !m_pTemplate) {
        m_pOwnedTemplate = parseTemplate();
        m_pTemplate = m_pOwnedTemplate.get();
    }
    if (!m_pTemplate) return nullptr;

    std::unique_ptr<MMS::Field> instance(new (std::nothrow) MMS::Field(trigger, nullptr, nullptr, nullptr, nullptr));
    if (!instance) return nullptr;
    MMS::sharedRootInfo description;
    if (failed(m_pTemplate->shareRootFast(&description, nullptr, nullptr, nullptr, 0))) return nullptr;

    // An own plug-in list keeps plug-ins attached to this instance off the template and its siblings.
    MMS::ProcessOption* plugins = nullptr;
    uint32_t collections = 0;
    uint32_t parameters = 0;
    if (!withoutPluginList && description.topNode &&
        !failed(description.topNode->getCollNodeNum(&collections, &parameters, 0, 0, 0)) && collections != 0) {
        plugins = new (std::nothrow) MMS::ProcessOption[collections];
        if (plugins) description.plugins = plugins;  // without one the template's list is kept
    }

    uint32_t result = instance->startBuild();
    if (!failed(result)) result = instance->jointRoot(rootName, description, 0);
    if (!failed(result)) result = instance->finishBuild(1);
    if (!failed(result)) result = m_pTemplate->copyPrm(nullptr, instance.get(), rootName, 0, 0, 0, 0, 0, 0);
    if (failed(result)) {
        instance.reset();  // before its plug-in list, which the root may still point to
        delete[] plugins;
        return nullptr;
    }
    if (isParsing()) m_counted.insert(instance.get());
    if (plugins) m_pluginLists[instance.get()] = plugins;
    return instance.release();
}

uint32_t FieldFactory::destroyInstance(MMS::IField*& instance)
{
    if (!instance) return kFailed;
    MMS::ProcessOption* plugins = nullptr;
    const auto entry = m_pluginLists.find(instance);
    if (entry != m_pluginLists.end()) {
        plugins = entry->second;
        m_pluginLists.erase(entry);
    }
    const bool counted = m_counted.erase(instance) != 0;
    delete instance;  // before its plug-in list and the template, which its root borrows
    instance = nullptr;
    delete[] plugins;
    if (counted && m_counted.empty()) dropTemplate();
    return 0;
}

uint32_t FieldFactory::copyDefPrm(MMS::IField* dst, const char* dstRoot, const char* templateRoot)
{
    if (!dst || !m_pTemplate) return kFailed;
    return failed(m_pTemplate->copyPrm(templateRoot, dst, dstRoot, 0, 0, 0, 0, 0, 0)) ? kFailed : 0;
}

}  // namespace MMSFUNC
