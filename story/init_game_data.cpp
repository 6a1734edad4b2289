#include "story/init_game_data.h"

#include <string>

#include "app/velmora_app.h"
#include "gallery/received.h"
#include "story/data_tables.h"
#include "story/event_table.h"
#include "story/game_state.h"
#include "story/save_files.h"

void InitGameData() {
  const std::string& folder = App().m_strEventPath;
  LoadScriptTable(folder + "sEventList" + ".csv");
  LoadEventTable(folder + "sEventTable" + ".csv");
  LoadMovieTable(folder + "movList" + ".csv");
  LoadPhotoTable(folder + "photList" + ".csv");
  LoadRadioTable(folder + "radioList" + ".csv");
  LoadRoomTable(folder + "roomList" + ".csv");

  // sysparam cleared, calendar and story parameters, mail and received lists emptied, settings.
  ResetGameStateDefaults();

  // Every slot file exists afterwards (a new one holds this record marked blank); inUse is 1.
  CreateMissingSaveSlots();
  LoadSystem();

  // Room 0 for every play-through, and every room unlocked in an earlier one.
  AddReceived("", "", 0);
  for (int r = 0; r < roomTable.count; ++r) {
    if (!IsRoomUnlocked(r)) continue;
    const int row = FindRoom(r);
    if (row >= 0) AddReceived("", "", roomTable.rows[row].roomId);
  }
}
