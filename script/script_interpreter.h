// The interpreter: one item at the read position that begins with a single-byte character.
// Each returns 0 when the runtime goes on with the next item in the same tick, 1 when the tick's
// work ends (usually because a wait started).
#pragma once

int ScriptCmd();
int ScCommand();
int ScEscape();
int ScChoice();

// The parts of ScCommand, working at the read position and on scriptRuntime.strParam/numParam.
// -1 (after the error report) when no name matches.
int GetCmdNum();
// False (after the error report) on a bad list.
bool GetParam();
