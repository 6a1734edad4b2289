// The game's resources: window title, accelerator table, dialog templates and icon.
#pragma once
#include <span>

#include "platform/dialog.h"
#include "platform/input.h"
#include "platform/pixels.h"

inline constexpr int IDR_MAINFRAME = 128;      // icon, title, accelerators of the main frame
inline constexpr int IDD_QUIT = 5;             // the quit confirmation
inline constexpr int IDD_NAME_ENTRY = 134;     // the name registration
inline constexpr int IDC_NAME_EDIT = 1000;

// Commands of the accelerator table.
inline constexpr int ID_KEY_F1 = 32771;
inline constexpr int ID_KEY_F2 = 32772;
inline constexpr int ID_KEY_F3 = 32773;
inline constexpr int ID_KEY_F5 = 32774;
inline constexpr int ID_KEY_F4 = 32775;
inline constexpr int ID_APP_QUIT = 32776;
inline constexpr int ID_KEY_F6 = 32777;
inline constexpr int ID_KEY_F7 = 32778;
inline constexpr int ID_KEY_F8 = 32779;
inline constexpr int ID_KEY_F9 = 32780;
inline constexpr int ID_KEY_F10 = 32781;

// The application title, CP932 ("Velmora"): window caption and message-box caption.
const char* AppTitle();

std::span<const plat::Accelerator> MainFrameAccelerators();

// Dialog templates by resource id; an unknown id gives an empty template.
plat::DialogTemplate LoadDialogTemplate(int id);

// The 32 × 32 game icon.
plat::PixelView ApplicationIcon();
