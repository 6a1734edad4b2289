#include "app/main_frame.h"

#include "app/velmora_app.h"
#include "platform/application.h"
#include "platform/dialog.h"
#include "resources/game_resources.h"

namespace {
constexpr int kClientWidth = 640, kClientHeight = 480;
constexpr int kFirstPaneId = 59648;
}  // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() { Destroy(); }

bool CMainFrame::PreCreateWindow(CreateParams& cs) {
  // A fixed window: caption, system menu and minimize box; no sizing border or maximize box.
  cs.style = kStyleCaption | kStyleSysMenu | kStyleMinimizeBox;
  cs.dwExStyle &= ~static_cast<unsigned>(kExStyleClientEdge);
  cs.lpszClass = "VelmoraFrame";
  // The caption and border belong to the desktop, so the outer size is the client size.
  cs.cx = kClientWidth;
  cs.cy = kClientHeight;
  const plat::Rect work = plat::Application::Current()->WorkArea();
  cs.x = work.left + (work.width() - cs.cx) / 2;
  cs.y = work.top + (work.height() - cs.cy) / 2;
  m_csWindowed = cs;
  return true;
}

bool CMainFrame::LoadFrame(int resource_id) {
  (void)resource_id;
  CreateParams cs;
  cs.lpszName = AppTitle();
  if (!PreCreateWindow(cs)) return false;
  m_style = cs.style;
  m_exStyle = cs.dwExStyle;
  if (!CreateTopLevel(cs.lpszName, plat::Rect{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy})) return false;
  SetAccelerators(MainFrameAccelerators());
  return true;
}

int CMainFrame::OnCreate() {
  if (!m_wndView.CreateChild(this, plat::Rect{}, kFirstPaneId)) return -1;
  RecalcLayout(true);
  m_wndView.SetFocus();
  return 0;
}

void CMainFrame::OnSetFocus() {
  if (m_wndView.exists()) m_wndView.SetFocus();
}

void CMainFrame::OnClose() {
  plat::Dialog quit(LoadDialogTemplate(IDD_QUIT));
  if (quit.DoModal(this) == plat::kIdOk) Destroy();
}

bool CMainFrame::OnCommand(int command) {
  // The view sees every command first.
  if (m_wndView.exists() && m_wndView.OnCommand(command)) return true;
  if (command == ID_APP_QUIT) {
    PostCloseRequest();
    return true;
  }
  return false;
}

void CMainFrame::RecalcLayout(bool notify) {
  (void)notify;
  if (m_wndView.exists()) {
    m_wndView.Move(plat::Rect{0, 0, kClientWidth, kClientHeight});
    m_wndView.Show(true);
  }
}

void CMainFrame::ToFullScreen() {
  m_displayMode.SetMode(kClientWidth, kClientHeight);
  m_style &= ~static_cast<unsigned>(kStyleCaption | kStyleSysMenu | kStyleMinimizeBox);
  m_exStyle &= ~static_cast<unsigned>(kExStyleClientEdge);
  SetDecorated(false);
  Move(plat::Application::Current()->ScreenRect());
  Show(true);
  RecalcLayout(true);
}

void CMainFrame::ToWindowed() {
  m_displayMode.Restore();
  m_style |= kStyleCaption | kStyleSysMenu | kStyleMinimizeBox;
  SetDecorated(true);
  Move(plat::Rect{m_csWindowed.x, m_csWindowed.y, m_csWindowed.x + m_csWindowed.cx, m_csWindowed.y + m_csWindowed.cy});
  Show(true);
  RecalcLayout(true);
}
