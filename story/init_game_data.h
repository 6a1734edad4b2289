// The whole reset of the game's data, run when the game view is created, at every new game and
// at every load: the tables are reloaded, the records return to their defaults, every save slot
// file exists afterwards, the system file is read and the play-through is given its rooms.
#pragma once

void InitGameData();
