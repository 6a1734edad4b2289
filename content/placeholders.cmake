# Writes each sample file only when it is missing, so real data put there is never replaced.
set(_files
  "ev/sEventList.csv" "mail/001_01.txt" "media/bgm/BGM01.wav" "media/photo/P004_01.bmp"
  "media/radio/R_end.mp3" "media/se/se.wav" "media/video/vA020_01.wmv" "media/voice/A009_00.mp3"
  "misc/mail256.bmp" "script/001_00.sin")
foreach(_f IN LISTS _files)
  if(NOT EXISTS "${GAME_DIR}/${_f}")
    file(WRITE "${GAME_DIR}/${_f}" "")
  endif()
endforeach()
file(MAKE_DIRECTORY "${GAME_DIR}/save")
