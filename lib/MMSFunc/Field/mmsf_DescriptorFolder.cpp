#include "mmsf_DescriptorFolder.h"

#include <atomic>

namespace MMSFUNC {

namespace {

std::atomic<DescriptorFolderFunction> s_descriptorFolder{nullptr};

}  // namespace

void setDescriptorFolderFunction(DescriptorFolderFunction function) { s_descriptorFolder.store(function); }

bool getDescriptorFolder(std::string& folder)
{
    const DescriptorFolderFunction function = s_descriptorFolder.load();
    folder = function ? function() : std::string();
    return function != nullptr;
}

}  // namespace MMSFUNC
