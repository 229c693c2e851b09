// TLecture: the show store and lecture player — the pages (frames) of the
// loaded show, its title and description, and the position of playback.
//
// A show file (".shw") is a tag byte and one of two layouts (counts are
// 32-bit little-endian, short strings 256 bytes, frames ShowFrameSize bytes):
//   'F': Count, Count frames, Title, LineCount, LineCount lines
//   'R': Title, LineCount, LineCount lines, Count, Count frames
// The file ends after the last item.
//
// The player writes the sky model, the main form's mark tables and popup
// switches it is attached to (Attach); the dispatcher drives it through the
// show step of its player slot.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ShortString.h"
#include "ShowFrame.h"

class TSkyloom;
struct TSkyMarks;
struct TPopupSwitches;
struct TInfoText;

// Folder of the shows that come with the program, relative to the data
// folder, and their extension. The user's own shows lie in UserShowFolder()
// (DataFolder.h); one of them hides a show of the same name that came with
// the program.
inline constexpr const char* ShowFolder = "天文节目";  // a UTF-8 name on disk
inline constexpr const char* ShowExtension = ".shw";
// True when `name` names a show of the show folder ("冬季星空",
// "冬季星空.shw"): not empty, no folder part ('/'), not "." or "..", no NUL.
// A show is chosen by its name, so nothing outside the folder is reached.
inline bool IsShowName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}
// The file name of a show named as a teacher names it: "冬季星空" or
// "冬季星空.shw".
inline std::string ShowFileOf(const std::string& name) {
  const std::string ext = ShowExtension;
  const bool has = name.size() >= ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
  return has ? name : name + ext;
}
// The path of a show file name ("冬季星空.shw"): the user's own show of that
// name when there is one, else the one in the show folder.
std::string ShowPath(const std::string& fileName);

constexpr int MaxShowLines = 11;          // description lines; 11 is also the footer
constexpr int MaxShowTextLines = 50;      // display pieces of one page
// A show file larger than this is refused before anything is read (about 1,400 pages).
constexpr size_t MaxShowFileBytes = 64u << 20;
// One degree, the step of the place and view glides (radians).
constexpr double OneDegree = 0.017453292519943295769;
// A view or place glide moves a degree a tick: half a turn in longitude and
// in latitude is the longest way; one that takes longer ends there.
constexpr int MaxGlideTicks = 2 * 180 + 20;
// Years the date steps keep to; a step beyond stops at the limit.
constexpr int MinShowYear = -99999, MaxShowYear = 99999;

enum class TShowStatus {
  Ok,          // loaded as written
  Repaired,    // loaded; counts beyond their tables were cut (Message says which)
  Missing,     // no such file: nothing changed
  Unreadable,  // could not be opened or read (Message has the system's reason)
  Damaged,     // sizes and counts do not fit the file: refused
  Unknown,     // not a show this version can read: refused
};

struct TShowLoadResult {
  TShowStatus Status = TShowStatus::Ok;
  // "skyloom: FILE: what is wrong (reason)" for every status but Ok and
  // Missing; the caller shows it once (stderr, the star tool).
  std::string Message;
  bool Loaded() const { return Status == TShowStatus::Ok || Status == TShowStatus::Repaired; }
};

class TLecture {
 public:
  TLecture();

  std::vector<TShowFrame> Frames;  // index 0 unused; Count + 1 entries after a load
  int Count = 0;
  ShortString Title;
  int LineCount = 0;
  ShortString Lines[MaxShowLines + 1];  // 1..11 used; 11 is the footer unless a show fills it
  int Current = 0;
  uint8_t Reserved = 0;
  int Wait = 0;
  // Arrival of the glides from the current page to the next.
  bool TimeArrived = false, ViewArrived = false, PlaceArrived = false;
  // Ticks the view and place glides of the current page have run: they
  // count as arrived after MaxGlideTicks whatever their targets.
  int GlideTicks = 0;

  // What the player writes: the sky model, the main form's mark tables and
  // popup switches. Until attached, ApplyFrame and the steps change nothing.
  void Attach(TSkyloom* model, TSkyMarks* marks, TPopupSwitches* popup);

  // Empties the store: no show, the title "新节目", the footer in Lines[11].
  void Reset();

  // Reads a whole show. Missing file: nothing changes. A file that cannot
  // be read, is damaged or of an unknown kind replaces the show by a
  // description that says so (no pages).
  TShowLoadResult LoadShow(const std::string& path);
  // Reads only title and description (Count 0, no pages kept).
  TShowLoadResult LoadShowInfo(const std::string& path);
  // The same from bytes in memory; `name` is the file name for messages.
  TShowLoadResult LoadShowBytes(std::span<const uint8_t> bytes, const std::string& name,
                                bool infoOnly);

  // Copies page k (1..Count) into the model and mark tables: all of it when
  // full, else only the parts whose Set... flags are on.
  void ApplyFrame(int k, bool full);
  void JumpFrames(int delta);
  void NextFrame();
  // One tick of continuous play; true when the next page may be applied.
  bool StepShow();
  // Puts playback before the first page; the dispatcher then arms its
  // player slot with the show step (command 3002) and the show's title.
  void StartShow();
  // True when page k starts a new text page (the text panel is rebuilt).
  bool IsNewPage(int k) const;
  // Text panel lines of page k (0 or beyond Count: the description), cut at
  // character boundaries into at most 50 pieces of width / charWidth bytes
  // (made even).
  void BuildShowText(int k, int width, int charWidth, TInfoText& out) const;

  // One-degree steps towards a place / view; the code is the dispatcher's
  // command for that direction (201 east/left, 203 west/right, 202 north/up,
  // 204 south/down), 0 when arrived.
  int MovePlaceStep(double lat, double lon);
  int TurnViewStep(double alt, double az);
  // Adds amount minutes (unit 1), days (2) or years (3) to the model's
  // clock and normalises the date. False when the date reached a limit.
  bool AddToDate(int unit, int amount);

  // The footer text (GBK) kept in Lines[11].
  static std::string FooterText();

 private:
  TShowLoadResult LoadShowFile(const std::string& path, bool infoOnly);
  void PointAtTrack();
  void SetDescriptionOnly(const std::string& titleUtf8, const std::string& lineUtf8);
  TSkyloom* Model = nullptr;
  TSkyMarks* Marks = nullptr;
  TPopupSwitches* Popup = nullptr;
};

// The bytes of a show file in layout 'F' or 'R' (any other tag is written
// as 'F'): `frames` are pages 1..Count in order, `lines` the description.
std::vector<uint8_t> EncodeShowFile(char tag, const ShortString& title,
                                    std::span<const ShortString> lines,
                                    std::span<const TShowFrame> frames);

// Adds minutes/days/years/seconds (unit 1/2/3/4) to a civil date and
// normalises it (Gregorian calendar). False when the year would leave
// MinShowYear..MaxShowYear; the date then stops at the limit. The form
// without seconds works on a whole minute.
bool AddToCivilDate(int32_t& year, int32_t& month, int32_t& day, int32_t& hour, int32_t& minute,
                    int32_t& second, int unit, int64_t amount);
bool AddToCivilDate(int32_t& year, int32_t& month, int32_t& day, int32_t& hour, int32_t& minute,
                    int unit, int64_t amount);
