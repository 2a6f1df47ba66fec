#pragma once
// Hears that a file of a directory synchronisation was completed or failed. Called on the owner
// task of the link.
#include <cstdint>

#include "comctrl_IProgressMonitor.h"
#include "jlib/jlib_result.h"

namespace ComControl {

class IFileObserver {
public:
    virtual ~IFileObserver() = default;
    [[nodiscard]] virtual JLIB::JResult notifyFileComplete(const char* fileName, FileTransStatus status) = 0;
    [[nodiscard]] virtual JLIB::JResult notifyFileFailure(const char* fileName, FileTransStatus status,
                                                          uint32_t reason) = 0;
};

}  // namespace ComControl
