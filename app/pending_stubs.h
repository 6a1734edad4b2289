// Stand-ins for pieces of the game that are not built yet. Each one logs, once, that it is a
// stub and what it skipped, so a run shows plainly what is missing.
#pragma once

#include <string>

class CGameView;

// Script runtime: the view is not handed over.
void StubScriptRuntimeSetView(CGameView* view);
// Opening movie, the view's first screen: a black screen whose tick only counts.
extern int g_nStubOpeningTicks;
void StubPlayOpeningMovie(CGameView* view);
// Edge tab mouse logic: the tab does not react.
void StubEdgeTabMouse(unsigned flags, int x, int y);
