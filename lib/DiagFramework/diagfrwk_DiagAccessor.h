#pragma once
// What the product's worker threads use of the diagnostics console: command names and ids,
// starting a command, answering a step, printing a line and reading the log. Any task.
#include <cstdint>

#include "DiagFramework/diagfrwk_DiagMessage.h"
#include "jlib/jlib_result.h"

namespace DiagFramework {

class DiagAccessor {
public:
    static constexpr int32_t kUnknownId = -1;
    static constexpr int32_t kPresetCategory = -2;
    static constexpr int32_t kUnknownCategory = -1;

    // Presets first, then the table in row order, ignoring case; -1 for an unknown or null name.
    static int32_t getCommandId(const char* name);
    // Null for a negative or unknown id.
    static const char* getCommandName(int32_t id);
    // The row's category; -2 for a preset; -1 for a negative or unknown id.
    static int32_t getCommandCategory(int32_t id);

    // Asks the console to run the command; the verdict comes back to the calling thread.
    static JLIB::JResult sendDiagRequest(const char* name);
    static JLIB::JResult sendDiagRequest(int32_t id);
    // Answers the step the worker was asked for.
    static JLIB::JResult replyDiagResult(const char* name, uint32_t step, DiagResult result, const char* message);
    static JLIB::JResult replyDiagResult(int32_t id, uint32_t step, DiagResult result, const char* message);
    // Answers the command's current step, in place of its worker.
    static JLIB::JResult replyDiagResultByOtherThread(const char* name, DiagResult result, const char* message);
    static JLIB::JResult replyDiagResultByOtherThread(int32_t id, DiagResult result, const char* message);
    // Prints the text and a line feed on the console.
    static JLIB::JResult outputMessage(const char* text);
    // The newest part of the diagnostics log (DiagLogger::getAll).
    static uint32_t getDiagLog(char* buffer, uint32_t size);
};

}  // namespace DiagFramework
