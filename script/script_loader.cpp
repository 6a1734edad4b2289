#include "script/script_loader.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_utils.h"
#include "app/game_view.h"
#include "app/velmora_app.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "script/script_parse.h"
#include "script/script_runtime.h"
#include "story/csv_text.h"
#include "story/data_tables.h"
#include "story/game_state.h"
#include "story/save_files.h"

namespace {

// Marks the row seen in this play-through and for good, and writes the system file.
void MarkSeen(int row) {
  SetBit(svparam.seenScripts, row);
  SetBit(sysparam.everSeenScripts, row);
  SaveSystem();
}

}  // namespace

int ScFindScript(const char* name) {
  for (int i = 0; i < ScriptTable::kCapacity && scriptTable.rows[i].name[0] != '\0'; ++i) {
    const char* rowName = scriptTable.rows[i].name;
    if (std::strncmp(rowName, name, sizeof scriptTable.rows[i].name) == 0 &&
        strnlen(name, sizeof scriptTable.rows[i].name + 1) <= sizeof scriptTable.rows[i].name)
      return i;
  }
  const std::string text = std::string("sEventList.csvに該当ファイル無し") + name;
  ScError(text.c_str());
  return -1;
}

void ScLoadScriptByName(const char* requested) {
  // The name may point into the buffer this load replaces (a jump line's name does not, but a
  // caller's might): work on a copy.
  char name[kScriptNameSize];
  CopyFixedString(name, sizeof name, requested);

  const int row = ScFindScript(name);
  App().m_log.Printf("ScLoadScriptByName \"%s\" fNum=%d\n", name, row);
  CopyFixedString(svparam.scriptName, sizeof svparam.scriptName, name);
  if (row >= 0) {
    const ScriptRow& r = scriptTable.rows[row];
    if (r.route != 0) svparam.param[0] = r.route;
    if (!TestBit(svparam.seenScripts, row)) {
      svparam.param[1] = static_cast<std::int16_t>(svparam.param[1] + r.score);
      App().m_log.Printf("パラメータ[%d] = %4d (add %2d)\n", 1, svparam.param[1], r.score);
    }
    MarkSeen(row);
  }

  const std::string path = App().m_strScriptPath + name + ".sin";
  ScriptRuntime& rt = scriptRuntime;
  if (std::FILE* f = plat::OpenFile(path, "rb")) {
    const std::size_t got = std::fread(rt.buffer, 1, kScriptBufferSize, f);
    std::fclose(f);
    // Terminated right after what was read: a script without its end mark stops at this NUL
    // instead of running into an earlier script's bytes.
    rt.buffer[got] = '\0';
  } else {
    App().m_log.Printf("ScLoadScriptByName スクリプトファイル無し\"%s\"\n", path.c_str());
    ScError((path + ": ファイル不在.").c_str());
    // A missing file leaves an empty script, so the scene ends at once instead of playing
    // the previous script again.
    rt.buffer[0] = ';';
    rt.buffer[1] = '\0';
  }
  rt.buffer[kScriptBufferSize] = '\0';
  rt.pos = rt.buffer;
  rt.returnPos = nullptr;
}

void ScChkLoadDb4Mail(const char* mailName) {
  const int row = ScFindScript(mailName);
  App().m_log.Printf("ScChkLoadDb4Mail \"%s\" fNum=%d\n", mailName, row);
  if (row >= 0) MarkSeen(row);
}

void GotoScript() {
  ScriptRuntime& rt = scriptRuntime;
  ReadJumpName(rt.pos, rt.choiceTarget[0]);
  App().m_log.Printf("GotoScript \"%s\"\n", rt.choiceTarget[0]);
  ScLoadScriptByName(rt.choiceTarget[0]);
}

void ScError(const char* text) {
  if (g_pGameView != nullptr) {
    g_pGameView->m_pfnTick = nullptr;
    plat::ShowMessageBox(g_pGameView, text, "スクリプトエラー", plat::MessageBoxButtons::kOk, plat::DialogIcon::kNone);
  }
  App().m_log.Printf("スクリプトエラー %s;", text);
}
