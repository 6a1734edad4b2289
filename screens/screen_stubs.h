// Stand-ins for the screens of the day loop that are not built yet. Each logs that it is a stub
// and keeps the day loop going.
#pragma once

class CGameView;

// The day card: logs and moves straight on to the next phase.
void StubShowDayCard(CGameView* view);
// The room screen: a plain picture naming the day, slot and mail; a click moves on.
void StubShowRoomScreen(CGameView* view, const char* mailName);
// The in-game menu: logs; the screen below stays.
void StubOpenGameMenu(CGameView* view);
// The load and settings screens and the extras gallery: each logs and goes back to the title.
void StubShowLoadScreen(CGameView* view, int fromGame);
void StubShowSettingsScreen(CGameView* view, int fromGame);
void StubOpenGallery(CGameView* view);
