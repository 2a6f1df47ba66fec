#include "dbgc/Modules/dbgc_TopModule.h"

#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "dbgc/Modules/dbgc_DebugModuleTable.h"
#include "dbgc/Modules/internal/dbgc_moduleSupport.h"

namespace DBGC {

namespace {

const char* const kHelpHead[] = {
    "Top Command help -----------------\n",
    "＜共通コマンドヘルプ＞\n",
    "?                   :ヘルプファイル表示 \n",
    "moduleName          :サブモジュールに移動 \n",
    "/moduleName ...     :コマンドの絶対パス指定 \n",
    "..                  :標準モジュールに戻る \n",
    "log                 :デバッグ出力制御 \n",
    "logm                :デバッグ出力一括制御 \n",
    "; or : or #         :コメント（これより右側は実行しない） \n",
    "shutdown            :システム終了 \n",
    "\n",
    "＜モジュール一覧＞\n",
};

JLIB::JResult writeHelp(DebugConsole& console)
{
    (void)console.startOutput();  // without the lock the help may only interleave with traces
    for (const char* line : kHelpHead) (void)console.output("%s", line);  // a lost line is not reported
    for (uint32_t row = 0; row < getDebugModuleTableSize(); ++row) {
        (void)console.output("%-12s%s\n", gDebugModuleTable[row].name, gDebugModuleTable[row].description);
    }
    (void)console.output("\n");
    (void)console.endOutput();  // pairs with the start above
    return JLIB::kOk;
}

}  // namespace

JLIB::JResult dbgTopModule(DebugConsole& console, uint32_t count, const StringElement* tokens)
{
    if (count == 0) return JLIB::kFailed;
    const StringElement& command = tokens[0];
    if (detail::isHelp(command)) return writeHelp(console);
    if (command == "shutdown") {
        // From a thread of the tree this only starts the staged release and returns.
        (void)TMS::getThreadByName("System").release();  // without a root there is nothing to end
    }
    return JLIB::kOk;
}

}  // namespace DBGC
