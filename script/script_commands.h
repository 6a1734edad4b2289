// The effects of the script commands, by their index in the command table.
#pragma once

// Runs command `index` with the parameters already read into scriptRuntime; returns 0 when the
// runtime goes on with the next item in the same tick, 1 when the tick's work ends.
int RunScriptCommand(int index);
