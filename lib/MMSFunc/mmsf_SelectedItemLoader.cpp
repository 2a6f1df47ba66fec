#include "mmsf_SelectedItemLoader.h"

namespace MMSFUNC {

namespace {

constexpr uint32_t kFail = 0x80000000u;
constexpr uint32_t kBadArgument = 0x80000001u;

}  // namespace

SelectedItemLoader* SelectedItemLoader::sm_pModelDependentInstance = nullptr;
SelectedItemLoader::ItemMap SelectedItemLoader::m_UnpackPatternMap;

SelectedItemLoader::~SelectedItemLoader() = default;

uint32_t SelectedItemLoader::registerModelDependentInstance(SelectedItemLoader* loader)
{
    if (!loader || sm_pModelDependentInstance) return kBadArgument;
    sm_pModelDependentInstance = loader;
    return 0;
}

SelectedItemLoader* SelectedItemLoader::getInstance() { return sm_pModelDependentInstance; }

uint32_t SelectedItemLoader::setUnpackPattern(const ItemMap& items)
{
    m_UnpackPatternMap = items;
    return 0;
}

uint32_t SelectedItemLoader::loadProject(const char*, FILECACHE::FileAccessor&, FILECACHE::MBDF&, volatile bool*,
                                         FILECACHE::IMBDFObserver*, const LoadItemSelector*, uint32_t)
{
    return 0;
}

uint32_t SelectedItemLoader::getTemporaryDirectory(std::string&) { return kFail; }

uint32_t SelectedItemLoader::countLibraries(uint32_t&, uint32_t&, const char*, const FILECACHE::MBDF&) const
{
    return 0;
}

bool SelectedItemLoader::checkForExecutable(FILECACHE::MBDF&, FILECACHE::IMBDFObserver*, const LoadItemSelector*,
                                            volatile bool*)
{
    return true;
}

}  // namespace MMSFUNC
