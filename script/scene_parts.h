// Pieces shared by the scene's source files: the view the scene draws on, the geometry of the
// message area, the click cursor and the choice box, and the colours the scene uses.
#pragma once
#include "app/game_view.h"
#include "graphics/dib_surface.h"
#include "platform/geometry.h"

// The view of the running scene: the one handed to the runtime, else the global view.
CGameView* SceneView();

// The message area and its character cells.
inline constexpr plat::Rect kMessageRect{46, 234, 596, 458};
inline constexpr int kCellWidth = 21;
inline constexpr int kCellHeight = 22;
inline constexpr int kLineColumns = 25;  // columns 0..24; column 25 only takes a hanging character

// The click cursor: a 24 x 24 square at the lower right of the message area.
inline constexpr int kCursorX = 46 + 552;
inline constexpr int kCursorY = 458 - 24;
inline constexpr int kCursorSize = 24;
// Draws the cursor frame for `tickCount` (on even ticks; four ticks a frame, seven frames).
void BlinkCursor(int tickCount);
// Fills the cursor's square with the transparent green.
void EraseCursor();

// The choice box.
inline constexpr int kChoiceLeft = 46 + 2;
inline constexpr int kChoiceTop = 234 + 66;
inline constexpr int kChoiceWidth = 546;
inline constexpr int kChoiceHitWidth = 542;
inline constexpr int kChoiceHeight = 22;

// Colours as red, green, blue.
inline constexpr plat::Color kMessageBand{255, 0, 0};   // halves what lies below
inline constexpr plat::Color kBoxPink{255, 122, 122};
inline constexpr plat::Color kBoxLight{255, 191, 225};
inline constexpr plat::Color kWhite{255, 255, 255};
inline constexpr COLORREF kTextWhite = 0xFFFFFF;
inline constexpr COLORREF kTextGrey = 0xC8C8C8;         // (200, 200, 200)
inline constexpr COLORREF kTextBlack = 0x000000;
inline constexpr COLORREF kTextSeen = 0x4530BC;         // (188, 48, 69)
