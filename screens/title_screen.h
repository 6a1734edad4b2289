// The title screen with its four buttons, and the start of a new game with the name dialog.
#pragma once

class CGameView;

void ShowTitleScreen(CGameView* view);
// Asks for the player's name over a black screen; OK starts the day loop, Cancel returns to
// the title.
void StartNewGame(CGameView* view);
