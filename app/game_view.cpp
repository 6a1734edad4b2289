#include "app/game_view.h"

#include <cstdio>
#include <string>

#include "audio/media_slot.h"
#include "platform/media_command.h"
#include "app/velmora_app.h"
#include "platform/dialog.h"
#include "resources/game_resources.h"
#include "script/script_runtime.h"
#include "gallery/opening_movie.h"
#include "screens/edge_tab.h"
#include "story/init_game_data.h"

CGameView* g_pGameView = nullptr;

namespace {

constexpr unsigned kSceneTimer = 0;
constexpr unsigned kScenePeriodMs = 50;
constexpr plat::Rect kEdgeStrip{0, 0, 6, 480};

EdgeTabLogic g_edgeTab{EdgeTabMouseMove, EdgeTabMouseDown, EdgeTabMouseUp};

}  // namespace

void SetEdgeTabLogic(const EdgeTabLogic& logic) { g_edgeTab = logic; }

CGameView::CGameView() { g_pGameView = this; }

CGameView::~CGameView() {
  Destroy();
  if (g_pGameView == this) g_pGameView = nullptr;
}

bool CGameView::PreCreateWindow() {
  InitResources();
  InitGameData();
  return true;
}

void CGameView::InitResources() {
  m_fontLarge = plat::Font::Open("ＭＳ ゴシック", 16, plat::FontPitch::kFixed);
  m_fontSmall = plat::Font::Open("ＭＳ ゴシック", 14, plat::FontPitch::kFixed);

  m_rcScreen = plat::Rect{0, 0, 640, 480};
  m_rcDirty.SetEmpty();

  m_surfBack.Create(640, 480);
  m_surfBack.Fill(m_rcScreen, kBlack);
  m_surfFrame.Create(640, 480);
  m_surfFrame.Fill(m_rcScreen, kBlack);
  m_surfPicture.Create(640, 480);
  m_surfPicture.Fill(m_rcScreen, kBlack);
  m_surfMiddle.Create(640, 480);
  m_surfMiddle.Fill(m_rcScreen, kKeyGreen);
  m_bMiddleOn = false;
  m_surfTop.Create(640, 480);
  m_surfTop.Fill(m_rcScreen, kKeyGreen);

  // The parts sheet; a missing file is logged and the game goes on without it.
  m_surfParts.LoadBmp(App().m_strMiscPath + "heya256" + ".bmp");

  m_nFadeStep = 8;
  m_nMiddleLevel = 4;
  m_nPictureLevel = 4;
  m_pfnLeave = nullptr;
  LeaveScreen();
  m_nEdgeHover = m_nEdgePressed = -1;
  m_bEdgeTab = false;
}

int CGameView::OnCreate() {
  PreCreateWindow();
  // The opening movie's file, held open under a second alias for the view's whole life.
  SendMediaString("open " + ShortPathForm(App().m_strVideoPath + "op" + ".wmv") + " alias wmvideo style child parent " +
                  std::to_string(kMediaParentWindow));
  InitSoundAndTimer();
  PlayOpeningMovie(this);
  return 0;
}

void CGameView::InitSoundAndTimer() {
  m_bSoundOK = false;
  if (m_sound.Open(22050)) {
    m_bSoundOK = true;
    // Videos and broadcasts play their sound through the same device.
    plat::SetMediaAudioOutput(m_sound.directSound.get());
  } else {
    plat::ShowMessageBox(this, "サウンド/ビデオ機能が使用できません", AppTitle(), plat::MessageBoxButtons::kOk,
                         plat::DialogIcon::kNone);
  }
  SetTimer(kSceneTimer, kScenePeriodMs);
  ScriptRuntimeSetView(this);
}

void CGameView::OnDestroy() {
  KillTimer(kSceneTimer);
  SendMediaString("close wmvideo");
  plat::SetMediaAudioOutput(nullptr);
  m_bgmStream.Close();
  m_voiceBuffer.Release();
  m_seBuffer.Release();
  m_sound.Close();
  m_surfParts.Release();
  for (CDibSurface& s : m_surfSlots) s.Release();
  m_surfBack.Release();
  m_surfFrame.Release();
  m_surfTop.Release();
  m_surfMiddle.Release();
  m_surfPicture.Release();
  m_fontLarge.reset();
  m_fontSmall.reset();
}

void CGameView::LeaveScreen() {
  if (m_pfnLeave != nullptr) m_pfnLeave();
  HideEdgeTab();
  m_pfnLeave = nullptr;
  m_pfnMouseMove = nullptr;
  m_pfnMouseUp = nullptr;
  m_pfnMouseDown = nullptr;
  m_pfnTick = nullptr;
}

void CGameView::AddDirty(const plat::Rect& rect) { m_rcDirty = plat::UnionRect(m_rcDirty, rect); }

void CGameView::InvalidateDirty() { Invalidate(&m_rcDirty); }

void CGameView::ShowEdgeTab() {
  m_bEdgeTab = true;
  m_surfTop.Blit(m_surfParts, 0, 0, 6, 480, 152, 0);
  AddDirty(kEdgeStrip);
  m_nEdgeHover = m_nEdgePressed = -1;
}

void CGameView::HideEdgeTab() {
  m_bEdgeTab = false;
  m_surfTop.Fill(kEdgeStrip, kKeyGreen);
  AddDirty(kEdgeStrip);
  m_nEdgeHover = m_nEdgePressed = -1;
}

void CGameView::SetEdgeHover(int hit) {
  m_surfTop.Blit(m_surfParts, 0, 0, 6, 480, hit == 0 ? 158 : 152, 0);
  AddDirty(kEdgeStrip);
  m_nEdgeHover = static_cast<std::int16_t>(hit);
  InvalidateDirty();
}

void CGameView::ComposeFrame(const plat::Rect& rect) {
  const int x = rect.left, y = rect.top, w = rect.width(), h = rect.height();
  if (m_nPictureLevel == 4) {
    m_surfFrame.Blit(m_surfPicture, x, y, w, h, x, y);
  } else {
    m_surfFrame.CopyFrom(m_surfBack);
    m_surfFrame.Overlay(m_surfPicture, x, y, w, h, x, y, m_nPictureLevel);
  }
  if (m_nMiddleLevel > 0 && m_bMiddleOn) m_surfFrame.Overlay(m_surfMiddle, x, y, w, h, x, y, m_nMiddleLevel);
  m_surfFrame.Overlay(m_surfTop, x, y, w, h, x, y, 4);
}

void CGameView::OnPaint(plat::PaintContext& pc) {
  // The layers are 640 × 480; a larger window shows black beyond them.
  const plat::Rect paint = pc.paint_rect();
  m_rcDirty.SetEmpty();
  const plat::Rect inside = plat::IntersectRect(paint, m_rcScreen);
  if (paint != inside) pc.Fill(paint, kBlack);
  if (m_nFadeStep < 8) {
    m_surfBack.Fade(m_surfFrame, m_nFadeStep * 32);
    pc.Copy(m_surfBack.View(), inside, inside.left, inside.top);
  } else {
    if (!inside.IsEmpty()) ComposeFrame(inside);
    pc.Copy(m_surfFrame.View(), inside, inside.left, inside.top);
  }
}

void CGameView::OnTimer(unsigned timer_id) {
  if (timer_id != kSceneTimer) return;
  if (m_pfnTick != nullptr) m_pfnTick();
}

void CGameView::OnMouseMove(unsigned flags, int x, int y) {
  if (m_bEdgeTab && g_edgeTab.move != nullptr) g_edgeTab.move(flags, x, y);
  if (m_pfnMouseMove != nullptr) m_pfnMouseMove(flags, x, y);
}

void CGameView::OnLButtonDown(unsigned flags, int x, int y) {
  if (m_bEdgeTab && g_edgeTab.down != nullptr) g_edgeTab.down(flags, x, y);
  if (m_pfnMouseDown != nullptr) m_pfnMouseDown(flags, x, y);
  SetCapture();
}

void CGameView::OnLButtonUp(unsigned flags, int x, int y) {
  if (m_bEdgeTab && g_edgeTab.up != nullptr) g_edgeTab.up(flags, x, y);
  if (m_pfnMouseUp != nullptr) m_pfnMouseUp(flags, x, y);
  ReleaseCapture();
}

bool CGameView::OnCommand(int command) {
  // The ten function keys are consumed here and do nothing.
  return (command >= ID_KEY_F1 && command <= ID_KEY_F4) || (command >= ID_KEY_F6 && command <= ID_KEY_F10);
}
