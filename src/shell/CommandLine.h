// Command-line options: the mode of the run (window, one picture, a script)
// and the settings that replace the model's values before the first frame.
// They serve teachers too: worksheets and slides from the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TOptions {
  std::string RenderFile;     // --render FILE.png: draw one frame, save it, exit
  std::string ScriptFile;     // --script FILE: run a script on the frame loop
  bool Help = false;
  std::optional<int> Year, Month, Day, Hour, Minute, Second;  // --date, --time
  std::optional<int> Zone;                            // --zone H
  std::optional<double> LatDeg, LonDeg;               // north / east positive
  std::optional<double> AzDeg, AltDeg;                // 0 = south, 90 = east
  std::optional<double> FovDeg;                       // --fov: field across the sky area
  std::optional<uint64_t> Mode1, Mode2;               // hexadecimal
  bool Names = false, Lines = false, Ground = false, NoGround = false;
  std::optional<int> Limit;                           // StarLimit (tenths of magnitude)
  bool English = false;
  std::optional<int> Select;                          // SelConst
  bool PanelDown = false;
  int StageWidth = 0, StageHeight = 0;                // --size WxH (0: not given)
  std::optional<double> Scale;                        // --scale S: interface scale, 0 automatic
  std::optional<bool> FullScreen;                     // --fullscreen / --window
  std::optional<bool> Music;                          // --music / --no-music
  std::optional<bool> LabelPlacement;                 // --label-placement on|off
  std::optional<bool> RealisticSky;                   // --realistic-sky on|off
  std::optional<bool> Refraction;                     // --refraction on|off
  std::optional<bool> MilkyWay;                       // --milky-way on|off
  std::string GoTo;                                   // --goto NAME: travel to an object
  std::string Show;                                   // --show NAME: play a show
  std::string RecordFile;     // --record FILE.mp4|.webm|.mkv: the run as a video
  std::string Quality = "normal";                     // --quality low|normal|high
};

class TSkyloom;
// Puts the two drawing options of `o` that were given into the model.
void ApplyDrawOptions(const TOptions& o, TSkyloom& sky);

// Parses argv; false with a message for unknown options or bad values.
bool ParseOptions(const std::vector<std::string>& args, TOptions& out, std::string& error);
const char* OptionsHelp();
