#pragma once
// Hears start, progress, end and failure of a file transfer. Called on the link unit's owner task.
#include <cstdint>

namespace ComControl {

enum FileTransStatus : uint32_t {
    FILETRANS_IDLE = 0,
    FILETRANS_SENDING = 1,
    FILETRANS_RECEIVING = 2,  // also a requested file that has not started yet
    FILETRANS_REMOVED = 3,    // a file removed at the peer's request
    FILETRANS_REMOVING = 4,   // a removal asked of the peer
    FILETRANS_OTHER = 5,
};

class IProgressMonitor {
public:
    virtual uint32_t start(const char* fileName, FileTransStatus status, uint32_t fileSize) = 0;
    virtual uint32_t update(const char* fileName, FileTransStatus status, uint32_t count, const uint8_t* hash,
                            uint32_t hashLength, bool last) = 0;
    virtual uint32_t cancel(const char* fileName, FileTransStatus status, uint32_t reason) = 0;
    virtual ~IProgressMonitor() = default;
};

}  // namespace ComControl
