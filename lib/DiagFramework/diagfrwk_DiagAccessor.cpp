#include "DiagFramework/diagfrwk_DiagAccessor.h"

#include <string>

#include "DiagFramework/config/diagfrwk_Config.h"
#include "DiagFramework/diagfrwk_DiagLogger.h"
#include "dbgc/dbgc_StringElement.h"

namespace DiagFramework {

namespace {

const DIAG_PRESET_COMMAND* findPreset(int32_t id)
{
    for (const DIAG_PRESET_COMMAND& preset : gPresetCommandTable) {
        if (preset.commandId == id) return &preset;
    }
    return nullptr;
}

// The row of a table id; ids index the table directly.
const DIAG_COMMAND_INFO* findRow(int32_t id)
{
    if (id < 0 || static_cast<uint32_t>(id) >= kDiagCommandCount) return nullptr;
    return &getDiagCommandInfoTable()[id];
}

}  // namespace

int32_t DiagAccessor::getCommandId(const char* name)
{
    if (!name) return kUnknownId;
    const DBGC::StringElement text(name);
    for (const DIAG_PRESET_COMMAND& preset : gPresetCommandTable) {
        if (text.isEqual(preset.commandName, false)) return preset.commandId;
    }
    for (const DIAG_COMMAND_INFO* row = getDiagCommandInfoTable(); row->commandName; ++row) {
        if (text.isEqual(row->commandName, false)) return row->commandId;
    }
    return kUnknownId;
}

const char* DiagAccessor::getCommandName(int32_t id)
{
    if (const DIAG_PRESET_COMMAND* preset = findPreset(id)) return preset->commandName;
    const DIAG_COMMAND_INFO* row = findRow(id);
    return row ? row->commandName : nullptr;
}

int32_t DiagAccessor::getCommandCategory(int32_t id)
{
    if (findPreset(id)) return kPresetCategory;
    const DIAG_COMMAND_INFO* row = findRow(id);
    return row ? row->category : kUnknownCategory;
}

JLIB::JResult DiagAccessor::sendDiagRequest(const char* name) { return sendDiagRequestMessage(name); }

JLIB::JResult DiagAccessor::sendDiagRequest(int32_t id) { return sendDiagRequestMessage(getCommandName(id)); }

JLIB::JResult DiagAccessor::replyDiagResult(const char* name, uint32_t step, DiagResult result, const char* message)
{
    return sendDiagSeqReplyMessage(name, step, result, message);
}

JLIB::JResult DiagAccessor::replyDiagResult(int32_t id, uint32_t step, DiagResult result, const char* message)
{
    return sendDiagSeqReplyMessage(getCommandName(id), step, result, message);
}

JLIB::JResult DiagAccessor::replyDiagResultByOtherThread(const char* name, DiagResult result, const char* message)
{
    return sendDiagSeqReplyMessage(name, kCurrentSequence, result, message);
}

JLIB::JResult DiagAccessor::replyDiagResultByOtherThread(int32_t id, DiagResult result, const char* message)
{
    return sendDiagSeqReplyMessage(getCommandName(id), kCurrentSequence, result, message);
}

JLIB::JResult DiagAccessor::outputMessage(const char* text)
{
    if (!text) return JLIB::kFailed;
    const std::string line = std::string(text) + "\n";
    return sendOutputMessage(line.c_str());
}

uint32_t DiagAccessor::getDiagLog(char* buffer, uint32_t size) { return DiagLogger::getInstance().getAll(buffer, size); }

}  // namespace DiagFramework
