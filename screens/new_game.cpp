// A new game: the name dialog over a black screen, then the first day.
#include <cstring>
#include <string>

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "platform/dialog.h"
#include "resources/game_resources.h"
#include "screens/screen_entry.h"
#include "screens/title_screen.h"
#include "story/csv_text.h"
#include "story/game_state.h"

namespace {

constexpr const char* kDefaultName = "ジェニファー";

}  // namespace

void StartNewGame(CGameView* view) {
  svparam.phase = 0;
  view->LeaveScreen();
  view->m_surfPicture.Fill(view->m_rcScreen, kBlack);
  ClearScreenLayers(*view);
  view->Invalidate(&view->m_rcScreen);

  std::memset(svparam.userName, 0, sizeof svparam.userName);
  plat::Dialog dialog(LoadDialogTemplate(IDD_NAME_ENTRY));
  dialog.SetItemText(IDC_NAME_EDIT, kDefaultName);
  if (dialog.DoModal(view) != plat::kIdOk) {
    ShowTitleScreen(view);
    return;
  }
  const std::string name = dialog.GetItemText(IDC_NAME_EDIT);
  App().m_log.Printf("ユーザー名'%s'\n", name.c_str());
  CopyFixedString(svparam.userName, sizeof svparam.userName, name.empty() ? kDefaultName : name.c_str());
  view->GameDo();
}
