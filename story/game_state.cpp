#include "story/game_state.h"

#include <cstring>

#include "gallery/received.h"
#include "screens/mail_list.h"

GameState svparam;
SystemState sysparam;

void ResetGameStateDefaults() {
  std::memset(&sysparam, 0, sizeof sysparam);

  svparam.day = 1;
  svparam.time = 1;
  std::memset(svparam.seenScripts, 0, sizeof svparam.seenScripts);
  svparam.param[0] = 0;
  svparam.param[1] = 0;

  // The mail list and the four received lists start empty.
  ClearMailList();
  ClearReceivedLists();

  // The settings belong to the play-through: a new game starts from these.
  svparam.voiceVolume = 5;
  svparam.seVolume = 5;
  svparam.bgmVolume = 4;
  svparam.textSpeed = 2;
  svparam.markSeenChoices = 1;
  svparam.fullScreen = 0;
  svparam.room = 0;
  std::memcpy(svparam.userName, "NA", 3);
}
