// The ten save slots ("SV_00.dat" .. "SV_09.dat") and the system file ("SYSTEM.dat") in the save
// folder. A slot file is the GameState record byte for byte, the system file the SystemState
// record; there is no header.
//
// Results of the slot readers: 0 the file cannot be opened, 1 blank slot, 2 saved game.
// Files are untrusted: a slot file shorter than its record, or whose `inUse` is not 1, is blank;
// a system file shorter than its record counts as missing. A loaded record has its counts and
// levels brought into range and every string field terminated inside its field.
//
// Writes replace the whole file through a flushed temporary file, so a crash or a full disk
// during a save leaves the previous file intact; a failed write is logged and the old file kept.
#pragma once
#include <cstddef>
#include <string>

#include "story/game_state.h"

inline constexpr int kSaveSlotCount = 10;

inline constexpr int kSaveCantOpen = 0;
inline constexpr int kSaveBlank = 1;
inline constexpr int kSaveInUse = 2;

// m_strSavePath + "SV_%02d.dat" / + "SYSTEM.dat".
std::string SaveSlotPath(int n);
std::string SystemFilePath();

// Reads slot n into a temporary record; svparam is not touched. Logs "SAVE DATA CHK %s\n".
// A slot number outside 0..9 gives 0 and touches no file.
int CheckSaveSlot(int n);
// As CheckSaveSlot; on 2 the whole of svparam becomes the slot's record with inUse 1.
// Logs "LOAD GAME DATA %s\n".
int LoadGameData(int n);
// Stamps svparam.saveTime with the current time and writes svparam as slot n.
// Logs "SAVE %s\n"; on failure also "SAVE %s CANT OPEN\n" and the old file stays.
void SaveGameData(int n);

// Reads the system file into sysparam: 0 missing or short (sysparam untouched), 2 loaded.
// Logs "LOAD SYSTEM %s\n".
int LoadSystem();
// Writes sysparam as the system file. Logs "SAVE SYSTEM %s\n"; on failure also
// "SAVE SYSTEM %s cant open\n" and the old file stays.
void SaveSystem();

// InitGameData's slot step, run after ResetGameStateDefaults: every slot whose file cannot be
// opened is written as the current record marked blank (inUse 0, stamped now); afterwards
// inUse is 1.
void CreateMissingSaveSlots();

// The checks of the readers, on bytes already in memory (also what the fuzz target drives).
// DecodeSaveSlot: 1 blank (short, or inUse not 1: *out untouched) or 2 (*out = the record,
// made safe as described above). DecodeSystemFile: false when short (*out untouched).
int DecodeSaveSlot(const unsigned char* bytes, std::size_t size, GameState* out);
bool DecodeSystemFile(const unsigned char* bytes, std::size_t size, SystemState* out);
