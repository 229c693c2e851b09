// Program-wide switches of the global parameter file "Config.dat" and the
// key and popup-menu tables kept with them, in one record. Every switch
// defaults to off.
//
// "Config.dat" (11,370 bytes, little-endian): offset 0 MusicOn, 1 ReservedByte,
// 2 SubtitlesOn, 3 SubtitleSpeed (int32), 7 KeyTable (20 x 284), 5687
// MenuTable (20 x 284), 11367 SpeechOn, 11368 FullScreen, 11369 NebulaNames.
// It is read from the per-user config folder when there, else from the
// program folder, and written only to the config folder.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "FileIo.h"
#include "ShortString.h"

// One key of the keyboard table: `Key` is a Windows virtual-key code; the
// entry XORs `LookMask` into the State of region `Region` and executes
// `Command`.
struct TKeyEntry {
  int32_t Enabled = 0;
  int32_t Key = 0;
  ShortString Caption;  // GBK
  int32_t Region = 0;
  int32_t Command = 0;
  int32_t LookMask = 0;
  bool operator==(const TKeyEntry&) const = default;
};

// One entry of the popup-menu table; it becomes a menu item when Shown > 0,
// a separator when its caption is "-". Toggle 1: a click flips the mark.
struct TMenuEntry {
  int32_t Shown = 0;
  ShortString Caption;  // GBK
  int32_t Reserved = 0;
  int32_t Command = 0;
  uint8_t Checked = 0;
  int32_t Toggle = 0;
  bool operator==(const TMenuEntry&) const = default;
};

constexpr int KeyTableSize = 20;   // entries 0..19
constexpr int MenuTableSize = 20;  // entries 1..20
using TKeyTable = std::array<TKeyEntry, KeyTableSize>;
using TMenuTable = std::array<TMenuEntry, MenuTableSize + 1>;  // entry 0 unused

// The built-in key and menu tables.
TKeyTable DefaultKeyTable();
TMenuTable DefaultMenuTable();

// The program-wide switches stored in "Config.dat", in one record: the
// settings dialog edits it, the frame and the music read it, and the codec
// below moves it to and from the file's bytes.
struct TParameters {
  uint8_t MusicOn = 0;        // background music
  uint8_t ReservedByte = 0;   // stored and reloaded only
  uint8_t SubtitlesOn = 0;    // scroll the information text while the panel is down
  int32_t SubtitleSpeed = 0;  // 2..18 (0 before any choice): the pace of the subtitle scroll
  uint8_t SpeechOn = 0;       // narration switch, stored only
  uint8_t FullScreen = 0;     // full-screen drawing surface
  uint8_t NebulaNames = 0;    // names on the pictures of hovered objects
  // The keys and the popup menu, from the file too; a new record starts
  // from the built-in tables.
  TKeyTable KeyTable = DefaultKeyTable();
  TMenuTable MenuTable = DefaultMenuTable();
  bool operator==(const TParameters&) const = default;
};

constexpr size_t ConfigFileSize = 11370;
constexpr size_t TableEntrySize = 284;
constexpr size_t KeyTableOffset = 7, MenuTableOffset = 5687;
inline constexpr const char* ConfigFileName = "Config.dat";

// The parameters (the record and both tables) as the 11,370 bytes of the
// file, and back. Decode refuses (false, `error` says why, nothing changed) a
// file of another size or with a switch byte other than 0 and 1 or a
// subtitle speed outside 0..18.
void EncodeParameters(const TParameters& params, std::span<uint8_t, ConfigFileSize> out);
bool DecodeParameters(std::span<const uint8_t> in, TParameters& params, std::string& error);

// Reads "Config.dat" from `configFolder`, else from `programFolder`. A
// short or damaged file is reported once on stderr and every parameter keeps
// its default; the file is left as it is. False when none was read.
bool ReadParameters(TParameters& params, const std::string& configFolder,
                    const std::string& programFolder);
// Writes "Config.dat" into `configFolder` (temporary file and rename); the
// fault when it could not.
TFileError WriteParameters(const TParameters& params, const std::string& configFolder);
// The same with the per-user config folder and the working directory.
void ReadParameters(TParameters& params);
bool WriteParameters(const TParameters& params);
// Every parameter back to its built-in default (both tables included).
void ResetParameters(TParameters& params);
