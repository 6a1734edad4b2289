// The game's top-level window: fixed 640 × 480 client area, no menu, asks before quitting,
// switches between a window on the desktop and full screen.
#pragma once
#include <string>

#include "app/display_mode.h"
#include "app/game_view.h"
#include "platform/window.h"

// Style bits of the frame.
enum FrameStyle : unsigned {
  kStyleCaption = 0x00C00000,
  kStyleSysMenu = 0x00080000,
  kStyleMinimizeBox = 0x00020000,
  kStyleMaximizeBox = 0x00010000,
  kStyleThickFrame = 0x00040000,
  kExStyleClientEdge = 0x00000200,
};

// The creation parameters as finally chosen for the window.
struct CreateParams {
  void* lpCreateParams = nullptr;
  int hInstance = 0;
  int hMenu = 0;
  void* hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  unsigned style = 0;
  std::string lpszName;
  std::string lpszClass;
  unsigned dwExStyle = 0;
};

class CMainFrame : public plat::Window {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // Creates the frame from its resources (title, icon, accelerators) and the view inside it.
  bool LoadFrame(int resource_id);
  void ShowWindow() { Show(true); }

  bool PreCreateWindow(CreateParams& cs);
  void RecalcLayout(bool notify);
  void ToFullScreen();
  void ToWindowed();

  int OnCreate() override;
  void OnSetFocus() override;
  void OnClose() override;
  bool OnCommand(int command) override;

  CDisplayMode m_displayMode;
  CreateParams m_csWindowed;
  CGameView m_wndView;
  unsigned m_style = 0;
  unsigned m_exStyle = 0;
};
