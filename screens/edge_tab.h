// The edge tab's mouse logic: the 6-pixel strip at the window's left border that opens the
// in-game menu. The view runs it before the screen's own mouse function while the tab is shown.
#pragma once

void EdgeTabMouseMove(unsigned flags, int x, int y);
void EdgeTabMouseDown(unsigned flags, int x, int y);
void EdgeTabMouseUp(unsigned flags, int x, int y);
