// The day loop: GameDo runs the current phase of the current time slot, and every screen a phase
// opens calls NextPhase when it is done, which moves phase, slot and day on and runs GameDo again.
#include <cstring>

#include "app/app_utils.h"
#include "app/game_view.h"
#include "app/velmora_app.h"
#include "gallery/opening_movie.h"
#include "screens/screen_stubs.h"
#include "script/script_loader.h"
#include "story/event_table.h"
#include "story/game_state.h"
#include "story/save_files.h"

namespace {

constexpr int kEndingDay = 32;

// Every layer cleared over the whole screen: the overlays transparent, the pictures black.
void ClearLayers(CGameView& view) {
  view.m_surfMiddle.Fill(view.m_rcScreen, kKeyGreen);
  view.m_surfTop.Fill(view.m_rcScreen, kKeyGreen);
  view.m_surfPicture.Fill(view.m_rcScreen, kBlack);
  view.m_surfFrame.Fill(view.m_rcScreen, kBlack);
  view.m_surfBack.Fill(view.m_rcScreen, kBlack);
  view.Invalidate(&view.m_rcScreen);
}

// A name field naming something to play. "-" means nothing; so does an empty field, which only
// a slot without any chosen row has.
bool Names(const char* field) { return field[0] != '-' && field[0] != '\0'; }

bool SeenScript(const char* name) {
  const int row = ScFindScript(name);
  return row >= 0 && TestBit(svparam.seenScripts, row);
}

bool SlotExists(int day, int time) {
  for (int i = 0; i < eventTable.count && i < EventTable::kCapacity - 1; ++i)
    if (eventTable.rows[i].day == day && eventTable.rows[i].time == time) return true;
  return false;
}

}  // namespace

void CGameView::GameDo() {
  ClearLayers(*this);
  App().m_log.Printf("GAME DO %d %d\n", svparam.day, svparam.time);

  if (svparam.day == kEndingDay) {
    sysparam.endingSeen = 1;
    SaveSystem();
    if (SeenScript("A031_05mv"))
      PlayScript("sr_", 0);
    else if (SeenScript("X031_01"))
      PlayScript("sr__", 0);
    else
      PlayScript("sr", 0);
    return;
  }

  switch (svparam.phase) {
    case 0:
      if (svparam.time == 1)
        StubShowDayCard(this);
      else
        NextPhase();
      break;
    case 1:
      svparam.param[2] = svparam.param[0];
      svparam.param[3] = svparam.param[1];
      ChkAndSetEvent();
      if (Names(curEvent.monS))
        PlayScript(curEvent.monS, 0);
      else
        NextPhase();
      break;
    case 2:
      if (Names(curEvent.Mail)) {
        ScChkLoadDb4Mail(curEvent.Mail);
        StubShowRoomScreen(this, curEvent.Mail);
      } else {
        StubShowRoomScreen(this, "");
      }
      break;
    case 3:
      if (Names(curEvent.MonE))
        PlayScript(curEvent.MonE, 0);
      else
        NextPhase();
      break;
    default:
      break;
  }
}

void CGameView::NextPhase() {
  ClearLayers(*this);
  if (svparam.day == kEndingDay) {
    PlayOpeningMovie(this);
    return;
  }
  ++svparam.phase;
  if (svparam.phase <= 3) {
    GameDo();
    return;
  }
  svparam.phase = 0;
  ++svparam.time;
  if (SlotExists(svparam.day, svparam.time)) {
    // Route 2 never enters the second slot of day 12, which belongs to route 1.
    if (svparam.day == 12 && svparam.time == 2 && svparam.param[0] == 2) {
      svparam.day = 13;
      svparam.time = 1;
    }
  } else {
    ++svparam.day;
    svparam.time = 1;
  }
  GameDo();
}
