#include "dbgc/Modules/dbgc_ComponentModule.h"

#include <cstdio>
#include <cstring>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "TMS/AbstractMessage.h"
#include "TMS/MessageKey.h"
#include "dbgc/Modules/internal/dbgc_moduleSupport.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_ascii.h"
#include "jlib/jlib_number.h"

namespace DBGC {

namespace {

constexpr uint32_t kAudioCompoInstance = 10;  // "AudioCompo", the parameters of the DSP audio components
constexpr uint8_t kConsoleTag = 255;          // marks elements written from the console
constexpr uint32_t kNoLimit = 0xFFFFFFFFu;    // tokens are NUL-terminated; the parser stops there

// Kinds in the high four bits of a parameter's type code.
constexpr uint8_t kKindUnsigned = 1;
constexpr uint8_t kKindSigned = 2;
constexpr uint8_t kKindFloat = 3;
constexpr uint8_t kKindBoolean = 4;
constexpr uint8_t kKindString = 5;
constexpr uint8_t kKindBinary = 6;

const char* const kHelpHead = "help | ?                               : This help\n";
const char* const kHelpTail[] = {
    "\n",
    "addconnection    [id_from] [port_from] [id_to] [port_to] : Add Audio Connection.\n",
    "removeconnection [id_from] [port_from] [id_to] [port_to] : Remove Audio Connection.\n",
    "\n",
    "compile                                : Compile the config data.\n",
    "eraseconfig                            : Erase the current config data.\n",
    "applyconfig                            : Apply the config file.\n",
    "\n",
    "setupprocessing [fs_hz] [num_sample_per_frame] [render_samples] : Send setupbuffer and changefs commands to Player.\n",
    "addcomponent [id]                                               : Send addcomponent and setcoef commands to Player. (Use after add2)\n",
    "addtoplaylist [play_list_no] [id] [pre_id]                      : Send addtoplaylist command to Player.\n",
    "connect [id_from] [port_from] [id_to] [port_to]                 : Send connect command to Player.\n",
    "startprocessing                                                 : Send startprocessing command to Player.\n",
    "stopprocessing                                                  : Send stopprocessing command to Player.\n",
    "resetcpuinfo                                                    : Send resetcpuinfo command to Player.\n",
    "shutdown                                                        : Send shutdown command to Player.\n",
    "beginconfig                                                     : Send beginconfig command to Player.\n",
    "endconfig                                                       : Send endconfig command to Player.\n",
    "\n",
    "getcoef [id] [coef_id] [pos1] [pos2] [pos3]                     : Get coef value.\n",
    "getrawmeter [id] [meter_id] [pos1] [pos2] [pos3]                : Get raw meter value.\n",
    "\n",
};

// One value of a message, taken from the token after the previous one: a text, or a decimal UInt32.
struct MessageValue {
    TMS::MessageKey key;
    bool isText;
};

struct MessageCommand {
    const char* command;
    uint32_t minTokens;  // the command itself counts
    const char* thread;
    const char* commandName;
    const MessageValue* values;
    uint32_t valueCount;
};

constexpr MessageValue kAdd2Values[] = {
    {"UniqID", false}, {"ComponentName", true}, {"MajorVersion", false}, {"NumX", false}, {"NumY", false}};
constexpr MessageValue kDel2Values[] = {{"UniqID", false}};
constexpr MessageValue kAddValues[] = {
    {"UniqId", false}, {"ComponentName", true}, {"Version", false}, {"NumX", false}, {"NumY", false}};
constexpr MessageValue kDelValues[] = {{"UniqId", false}};
constexpr MessageValue kConnectionValues[] = {
    {"fromUniqId", false}, {"fromPortNo", false}, {"toUniqId", false}, {"toPortNo", false}};
constexpr MessageValue kSetupValues[] = {{"FsHz", false}, {"NumSamplePerFrame", false}, {"RenderSamples", false}};
constexpr MessageValue kPlayerComponentValues[] = {{"UniqID", false}};
constexpr MessageValue kPlayListValues[] = {{"PlayListNo", false}, {"UniqID", false}, {"PreUniqID", false}};
constexpr MessageValue kPlayerConnectValues[] = {
    {"FromUniqID", false}, {"FromOutputPortNo", false}, {"ToUniqID", false}, {"ToInputPortNo", false}};
constexpr MessageValue kCoefValues[] = {
    {"UniqID", false}, {"CoefID", false}, {"Pos1", false}, {"Pos2", false}, {"Pos3", false}};
constexpr MessageValue kMeterValues[] = {
    {"UniqID", false}, {"MeterID", false}, {"Pos1", false}, {"Pos2", false}, {"Pos3", false}};

template <uint32_t N>
constexpr MessageCommand command(const char* name, uint32_t minTokens, const char* thread, const char* commandName,
                                 const MessageValue (&values)[N])
{
    return {name, minTokens, thread, commandName, values, N};
}

constexpr MessageCommand command(const char* name, const char* thread, const char* commandName)
{
    return {name, 1, thread, commandName, nullptr, 0};
}

const MessageCommand kMessageCommands[] = {
    command("add2", 6, "DeviceControl", "addAudioComponent", kAdd2Values),
    command("del2", 2, "DeviceControl", "removeAudioComponent", kDel2Values),
    command("add", 6, "DeviceControl", "AddComponent", kAddValues),
    command("del", 2, "DeviceControl", "DelComponent", kDelValues),
    command("addconnection", 5, "DeviceControl", "addConnection", kConnectionValues),
    command("removeconnection", 5, "DeviceControl", "removeConnection", kConnectionValues),
    command("compile", "Compiler", "startCompile"),
    command("eraseconfig", "DeviceControl", "eraseConfig"),
    command("applyconfig", "DeviceControl", "applyConfig"),
    command("setupprocessing", 4, "DSP", "[Debug]setupProcessing", kSetupValues),
    command("addcomponent", 2, "DSP", "[Debug]addComponent", kPlayerComponentValues),
    command("addtoplaylist", 4, "DSP", "[Debug]addToPlayList", kPlayListValues),
    command("connect", 5, "DSP", "[Debug]connect", kPlayerConnectValues),
    command("startprocessing", "DSP", "[Debug]startProcessing"),
    command("stopprocessing", "DSP", "[Debug]stopProcessing"),
    command("resetcpuinfo", "DSP", "[Debug]resetCpuInfo"),
    command("shutdown", "DSP", "[Debug]shutdown"),
    command("beginconfig", "DSP", "[Debug]beginconfig"),
    command("endconfig", "DSP", "[Debug]endconfig"),
    command("muteon", "DSP", "[Debug]muteon"),
    command("muteoff", "DSP", "[Debug]muteoff"),
    command("getcoef", 6, "DSP", "[Debug]printCoef", kCoefValues),
    command("getrawmeter", 6, "DSPMeter", "[Debug]printRawMeter", kMeterValues),
};

JLIB::JResult writeHelp(DebugConsole& console)
{
    (void)console.startOutput();  // without the lock the help may only interleave with traces
    (void)console.output("%s", kHelpHead);  // lost lines are not reported
    for (const char* line : detail::kComponentEditHelp) (void)console.output("%s", line);
    for (const char* line : kHelpTail) (void)console.output("%s", line);
    (void)console.endOutput();  // pairs with the start above
    return JLIB::kOk;
}

JLIB::JResult sendMessageCommand(const MessageCommand& command, const StringElement* tokens)
{
    TMS::AbstractMessage message;
    JLIB_RETURN_IF_FAILED(message.initialize(TMS::kMessageUser, 0));
    JLIB::JResult added = message.addData("CommandName", command.commandName);
    for (uint32_t i = 0; i < command.valueCount; ++i) {
        const MessageValue& value = command.values[i];
        const StringElement& token = tokens[i + 1];
        added |= value.isText ? message.addData(value.key, token.c_str()) : message.addData(value.key, token.dec2UInt());
    }
    if (JLIB::isFailure(added)) return JLIB::kFailed;
    return message.sendWithWaiting(command.thread);
}

// The parameter's definition, copied under the database's lock so that it cannot change while it
// is read; the lock is let go before anything is written to the console.
PDB::ParameterInfo copyParamInfo(const PDB::IParameterDB& db, uint32_t ci, uint32_t ai)
{
    PDB::MutexReadLocker guard(db);
    return db.paramInfo(ci, ai);
}

// The formatted lines of one parameter: made before the output lock is taken.
struct ShownParameter {
    PDB::ParameterInfo info;
    std::string min, max, def, nominal, step;
};

JLIB::JResult showComponent(DebugConsole& console, const StringElement* tokens)
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kAudioCompoInstance);
    const uint32_t ci = db.getComponentIndex(PDB::UniqId(tokens[1].dec2UInt()));
    const uint32_t addresses = db.addressNum(ci);
    for (uint32_t ai = 0; ai < addresses; ++ai) {
        // A thread that prints while it holds the database's lock would wait for "DBGC" while this
        // one waits for the database: read first, write under "DBGC" after.
        ShownParameter p{copyParamInfo(db, ci, ai), {}, {}, {}, {}, {}};
        (void)convJVariantToString(p.info.min, p.min);  // always 0
        (void)convJVariantToString(p.info.max, p.max);
        (void)convJVariantToString(p.info.def, p.def);
        (void)convJVariantToString(p.info.nominal, p.nominal);
        (void)convJVariantToString(p.info.step, p.step);
        const PDB::ParameterInfo& info = p.info;

        (void)console.startOutput();  // without the lock the lines may only interleave with traces
        (void)console.output("strAddress:[%s] type:[%02x] areaTag:[%02x] flags:[%02x] size:[%d]\n",
                             info.strAddress.c_str(), static_cast<unsigned>(info.type),
                             static_cast<unsigned>(static_cast<uint8_t>(info.attr.areaTag())),
                             static_cast<unsigned>(info.attr.flags()), static_cast<int>(info.itemSize));
        (void)console.output("  X: pattern:[%08x] comment:[%s] num:[%d]\n", info.patternX, info.commentX.c_str(),
                             static_cast<int>(info.numX));
        (void)console.output("  Y: pattern:[%08x] comment:[%s] num:[%d]\n", info.patternY, info.commentY.c_str(),
                             static_cast<int>(info.numY));
        (void)console.output("  min:[%s] max:[%s] def:[%s] nominal:[%s] step:[%s]\n", p.min.c_str(), p.max.c_str(),
                             p.def.c_str(), p.nominal.c_str(), p.step.c_str());
        (void)console.output("  scaling:[%d] unit:[%s] paramKind:[%s] defUI:[%s]\n", static_cast<int>(info.scaling),
                             info.unit.c_str(), info.kind.c_str(), info.defUI.c_str());
        (void)console.endOutput();  // pairs with the start above
    }
    return JLIB::kOk;
}

// Component index, address index, x and y of a "get" or "set" line.
struct Position {
    uint32_t id;
    uint32_t ci;
    uint32_t ai;
    uint32_t x;
    uint32_t y;
};

Position findPosition(const PDB::IParameterDB& db, const StringElement* tokens)
{
    Position at{tokens[1].dec2UInt(), 0, 0, tokens[3].dec2UInt(), tokens[4].dec2UInt()};
    const PDB::UniqId id(at.id);
    at.ci = db.getComponentIndex(id);
    at.ai = db.getAddressId(id, tokens[2].c_str()).addressIndex();
    return at;
}

JLIB::JResult getValue(DebugConsole& console, const StringElement* tokens)
{
    const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kAudioCompoInstance);
    const Position at = findPosition(db, tokens);
    JVariant value;
    uint8_t tag = 0;
    const JLIB::JResult read = db.getVariant(value, at.ci, at.ai, at.x, at.y, &tag);
    if (JLIB::isFailure(read)) return read;
    std::string text;
    (void)convJVariantToString(value, text);  // always 0
    (void)console.startOutput();  // without the lock the line may only interleave with traces
    (void)console.output("get component value: UniqID:%d ComponentIdx:%d AddressIdx:%d x:%d y:%d value:[%s]\n",
                         static_cast<int>(at.id), static_cast<int>(at.ci), static_cast<int>(at.ai),
                         static_cast<int>(at.x), static_cast<int>(at.y), text.c_str());
    (void)console.endOutput();  // pairs with the start above
    return JLIB::kOk;
}

// A decimal number with an optional fraction; false when the token starts with no number at all.
bool parseDecimalFloat(const StringElement& token, float& value)
{
    const char* text = token.c_str();
    double parsed = 0.0;
    const char* end = text;
    if (!text || JLIB::isFailure(jlib_strntod(&parsed, text, &end, kNoLimit))) return false;
    bool digit = false;
    for (const char* p = text; p < end && !digit; ++p) digit = jlib_isdigit(static_cast<unsigned char>(*p)) != 0;
    if (!digit) return false;
    value = static_cast<float>(parsed);
    return true;
}

JLIB::JResult writeValue(PDB::IParameterDB& db, const Position& at, uint32_t count, const StringElement* tokens)
{
    const uint8_t kind = copyParamInfo(db, at.ci, at.ai).type >> 4;
    const StringElement& token = tokens[5];
    switch (kind) {
    case kKindUnsigned:
        return db.setUInt32(at.ci, at.ai, at.x, at.y, token.dec2UInt(), kConsoleTag);
    case kKindSigned:
        return db.setSInt32(at.ci, at.ai, at.x, at.y, token.dec2Int(), kConsoleTag);
    case kKindFloat: {
        float value = 0.0f;
        if (!parseDecimalFloat(token, value)) return JLIB::kFailed;
        return db.setFloat(at.ci, at.ai, at.x, at.y, value, kConsoleTag);
    }
    case kKindBoolean:
        return db.setUInt32(at.ci, at.ai, at.x, at.y, token.dec2UInt() != 0 ? 1 : 0, kConsoleTag);
    case kKindString:
        return db.setString(at.ci, at.ai, at.x, at.y, token.c_str(), kConsoleTag);
    case kKindBinary: {
        uint8_t bytes[DebugConsole::kMaxTokens] = {};
        uint32_t length = 0;
        for (uint32_t i = 5; i < count && length < DebugConsole::kMaxTokens; ++i) {
            bytes[length++] = static_cast<uint8_t>(tokens[i].hex2UInt() & 0xFF);
        }
        return db.setBinary(at.ci, at.ai, at.x, at.y, bytes, length, kConsoleTag);
    }
    default:
        return JLIB::kFailed;
    }
}

JLIB::JResult setValue(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kAudioCompoInstance);
    const Position at = findPosition(db, tokens);
    const JLIB::JResult written = writeValue(db, at, count, tokens);
    // The line is written whatever the outcome; the shell adds its error line after it.
    (void)console.startOutput();  // without the lock the line may only interleave with traces
    (void)console.output("set component value: UniqID:%d ComponentIdx:%d AddressIdx:%d x:%d y:%d value:[%s]\n",
                         static_cast<int>(at.id), static_cast<int>(at.ci), static_cast<int>(at.ai),
                         static_cast<int>(at.x), static_cast<int>(at.y), tokens[5].c_str());
    (void)console.endOutput();  // pairs with the start above
    return JLIB::isFailure(written) ? written : JLIB::kOk;
}

}  // namespace

JLIB::JResult dbgComponentModule(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    if (count == 0) return JLIB::kFailed;
    const StringElement& name = tokens[0];
    if (detail::isHelp(name)) return writeHelp(console);
    for (const MessageCommand& command : kMessageCommands) {
        if (name != command.command) continue;
        if (count < command.minTokens) return JLIB::kFailed;
        return sendMessageCommand(command, tokens);
    }
    if (name == "show") return count < 2 ? JLIB::kFailed : showComponent(console, tokens);
    if (name == "get") return count < 5 ? JLIB::kFailed : getValue(console, tokens);
    if (name == "set") return count < 6 ? JLIB::kFailed : setValue(console, count, tokens);
    return JLIB::kFailed;
}

JLIB::JResult convJVariantToString(const JVariant& value, std::string& text)
{
    char number[64];  // the largest float takes 47 characters with six decimals
    text.clear();
    switch (value.getType()) {
    case JVariant::kTypeInt32:
        (void)std::snprintf(number, sizeof number, "%d", value.toInt32());  // fits
        text = number;
        break;
    case JVariant::kTypeUInt32:
        (void)std::snprintf(number, sizeof number, "%u", value.toUInt32());  // fits
        text = number;
        break;
    case JVariant::kTypeFloat:
        // The console's own formatter has no floating point.
        (void)std::snprintf(number, sizeof number, "%f", static_cast<double>(value.toFloat()));  // cut if huge
        text = number;
        break;
    case JVariant::kTypeString:
        if (const char* s = value.toString()) text = s;
        break;
    case JVariant::kTypeBinary: {
        const unsigned char* bytes = value.toBinary();
        const unsigned int length = bytes ? value.getBinaryLength() : 0;
        for (unsigned int i = 0; i < length; ++i) {
            (void)std::snprintf(number, sizeof number, "%02X ", static_cast<unsigned>(bytes[i]));  // fits
            text += number;
        }
        break;
    }
    default:
        break;
    }
    return JLIB::kOk;
}

}  // namespace DBGC
