// The opening movie scene: plays when the game starts and after the last day; its end or a
// click leads to the title screen.
#pragma once

class CGameView;

void PlayOpeningMovie(CGameView* view);
