#pragma once
// What ties the diagnostics console to the product: the shared run mode while a diagnostic
// session is open, and the publication of the current command and of every verdict into the
// "Diagnostics" root of the console family's field 16. The publication goes through the family's
// field table (DiagFieldWriter) unless another writer is installed.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace DiagFramework {

class DiagCommand;

constexpr uint32_t kDiagFieldIndex = 16;
constexpr const char* kDiagRootName = "Diagnostics";
constexpr const char* kCurrentCategoryAddress = "Control/CurrentCategory";
constexpr const char* kCurrentCommandAddress = "Control/CurrentCommand";
constexpr const char* kCommandResultAddress = "Command/Result";
constexpr int32_t kNoChannel = -1;

// Published values of "Command/Result".
constexpr int32_t kPublishedRunning = 0;
constexpr int32_t kPublishedOk = 1;
constexpr int32_t kPublishedNg = 2;

// Writes one value into a field of the console family; the channel is the array index of the
// address's last level, or kNoChannel for a single value.
class IDiagFieldWriter {
public:
    virtual ~IDiagFieldWriter() = default;
    virtual JLIB::JResult writeDiagValue(uint32_t fieldIndex, const char* rootName, const char* address,
                                         int32_t channel, int32_t value) = 0;
};

// Any task. The writer is borrowed: the installer keeps it alive until it installs null, which
// goes back to the field table's writer.
void setDiagFieldWriter(IDiagFieldWriter* writer);
// Never null: the installed writer, or the field table's.
IDiagFieldWriter* getDiagFieldWriter();

// Calling thread: sets the shared system parameter "RunMode" to 2 (session open) or 0 and
// flushes the system parameters. 0x80000000 when the parameter cannot be written or flushed.
JLIB::JResult onDiagStarted();
JLIB::JResult onDiagFinished();

// Publishes the command's category and id as the current ones and 0 as its result.
// 0x80000000 when the id or the category is negative, or a write fails.
JLIB::JResult onCurrentDiagCommandChanged(const DiagCommand& command);
// Publishes the command's result: 1 when the verdict is OK, 2 otherwise.
JLIB::JResult onDiagCommandFinished(const DiagCommand& command);

}  // namespace DiagFramework
