// A scene: the script runtime as one of the view's screens. It draws the message text
// character by character, hands the other items to the interpreter and ends every kind of wait.
#pragma once
#include "platform/geometry.h"

void ScriptReset();
void ScriptStart(int resume);
void ScriptTick();
// One step; true when the end mark is reached.
bool PollScript();
void ClickAdvance();
void DrawMessageChar(const char* ch);
void ClearMessage();
void DrawChoices(int highlight);
void ChoiceMouse(int isClick, plat::Point point);
int GetChoice();
// One step of the mail-sending box; true after its 32nd step (the box is removed).
bool SendBoxStep();
