// The view state: what the person at the planetarium has set up and what
// the commands change. A plain record (place, time and view live in the sky
// model it refers to; switches, selection, text, the player, the go-to and
// the automatic slots live here), with the command handlers that act on it.
// It owns no window, sound or drawing: what a command asks of the platform
// (a cursor, a sound, a dialog, the music) goes through TStageHooks, whose
// defaults do nothing, so a view state runs commands without any window:
//
//   TViewState view(sky);            // sky: a TSkyloom made by CreateSkyModel
//   view.ExecuteCommand(Cmd::Raise);
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AutoCommand.h"
#include "GlobalParams.h"
#include "InfoText.h"
#include "Interface.h"
#include "Lecture.h"
#include "SkyMarks.h"

class TSkyloom;

// What the star tool (Cmd::StarTool) chose: Result 1 a show (ShowFile, a file
// name inside the show folder), 2 an object (SelectedId, an object number),
// 3 time flow with the step the dialog set, 4 a show to record as a video
// (ShowFile); any other Result changes nothing.
struct TStarToolAnswer {
  int Result = 0;
  std::string ShowFile;
  int SelectedId = 0;
};

// What commands ask of the platform (window, sound, music, dialogs). The
// defaults are those of a view state without a stage: nothing shows, every
// dialog is cancelled at once.
//
// A dialog opens and the call returns at once; the dialog stays over the
// stage while frames run, and what follows from it is the completion
// `closed`, which the frame runs after the dialog has closed.
class TStageHooks {
 public:
  virtual ~TStageHooks() = default;
  virtual void SetCursor(int /*number*/) {}
  virtual void PlaySound(const char* /*name*/) {}
  virtual void SwitchMusic() {}
  virtual void Minimize() {}
  virtual void Quit() {}
  virtual void ShowAbout() {}
  virtual void ShowHelp() {}
  // The observation settings; `applied` is true when "确定" applied new
  // settings.
  virtual void ShowSettings(std::function<void(bool applied)> closed) {
    if (closed) closed(false);
  }
  // The star tool; `onPick` is called with an object number while the user
  // browses the object list with "自动找到：" on.
  virtual void ShowStarTool(std::function<void(int)> /*onPick*/,
                            std::function<void(const TStarToolAnswer&)> closed) {
    if (closed) closed({});
  }
  // Records the show `showFile` (a file name inside a show folder) as a
  // video, the file chosen in a dialog of its own.
  virtual void ShowRecord(const std::string& /*showFile*/) {}
};

// Where the pointer was at the last pointer event (stage pixels) and which
// button it carried (0 left, 1 right, 2 middle): the dials, the text thumb
// and the constellation pick act at this place.
struct TPointerPlace {
  int X = 0, Y = 0;
  int Button = 0;
};

// The lower panel's two places: up (the text panel shows) and down (only
// the subtitle strip shows).
constexpr int PanelUpY = 432;
constexpr int PanelDownY = 564;

class TViewState {
 public:
  // `stage` may be null: commands then run without a platform.
  explicit TViewState(TSkyloom& sky, TStageHooks* stage = nullptr);
  TViewState(const TViewState&) = delete;
  TViewState& operator=(const TViewState&) = delete;

  // The one entry point of every action. Each code is served by its row of
  // the command table (CommandTable.cpp); codes without a row do nothing.
  // Always true (a code is never refused).
  bool ExecuteCommand(int code);
  // The picture may have changed: the next frame draws and presents. Every
  // command, pointer and window event calls it; so must anything that
  // changes what is drawn without a command (a look that animates).
  void Invalidate() { PictureStale = true; }
  // Brings the sky model up to date when something made it stale; true
  // when it did (the picture is then stale too).
  bool UpdateWhenStale();

  // The panel's place: the top of the lower panel (PanelUpY..PanelDownY)
  // and with it the sky area's height, the sky region and the panel state
  // (1 up, 2 down) once it arrives at either end.
  void SetPanelTop(int top);
  // The interface scale from the stage's size and the one asked for
  // (Sky.InterfaceScale, 0 automatic); the sky area follows.
  void ApplyInterfaceScale();
  // The subtitle scroll's pace for a speed of the settings (2..18): frames
  // per pixel.
  static int SubtitleInterval(int speed) { return (20 - speed) * 2; }

  // Go-to, time flow, picking and the layer buttons (GoTo.cpp).
  void StepTime();
  void StepGoTo();
  void GoToTarget(int code, bool animate);
  void SyncLayerButtons(int mode);
  // The one rule for the switch buttons' on look (星名, 辅助线, 地平线, 中/英,
  // 标签避让, 真实天空): on while what they switch is on as drawn. Applied
  // before each frame is drawn.
  bool SwitchIsOn(int command) const;
  void SyncSwitchLooks();
  // Constellation picking at the pointer (x, y) with the button of the last
  // press or release (0 left, 1 right, 2 middle).
  void PickConstellation(int x, int y, int button);
  // The target direction of an object number, in the horizon frame
  // (TrackX, TrackY, TrackZ), for the clock and place of the last update.
  void AimAt(int code);
  // Starts the view travelling to an object at once (the star tool's
  // "自动找到：", the command line's --goto, the script step goto).
  void StartGoTo(int code);
  // Runs the started trip to its end without drawing (for one picture).
  void FinishGoTo();
  // Loads a show ("冬季星空.shw") from the show folder and starts it as the
  // star tool's choice does, playing on at once when `play`. A missing file
  // changes nothing; a damaged one is reported on stderr. True when the
  // show's pages were loaded.
  bool PlayShowFile(const std::string& fileName, bool play);
  // What the star tool's answer asks for: a show played, a video recorded,
  // a trip started or time flowing with the dialog's step.
  void FollowStarTool(const TStarToolAnswer& answer);
  // The information text from the selection or the show page.
  void RefreshInfoText();

  // The command handlers, one per family (Commands*.cpp); the command table
  // names the handler of each code.
  void ViewCommand(int code);
  void PanelCommand(int code);
  void TextCommand(int code);
  void PlayerCommand(int code);
  void PopupCommand(int code);
  void ProgramCommand(int code);

  TSkyloom& Sky;               // place, time and view: the sky model
  TStageHooks* Stage;          // never null (a do-nothing stage without one)
  // The panel's sections and regions, their looks and the pointer state of
  // the region machine.
  TInterface Interface;
  // The loaded show and its player's place in it (attached to the sky model,
  // the marks and the popup switches by the stage's start).
  TLecture Lecture;

  // The stage's pixel size and where the interface's 800x600 units land on
  // it: the sky area spans the stage's width down to the panel's top.
  TStageLayout Layout;
  int Language = 0;            // 0 Chinese, 1 English
  int LineHeight = 16;
  int TextLayout[9] = {};
  // A frame draws and presents only when the picture can have changed since
  // the last present; otherwise the window keeps showing the last frame.
  bool PictureStale = true;
  bool SkyStale = false, PopupPending = false, ViewLocked = false, Playing = false;
  int PlayDirection = 0, PlayMode = 0, TargetCode = 0;
  int HoverObject = 0, HoverX = 0, HoverY = 0;
  int PanelState = 1;          // 1 up, 2 down
  bool TextShown = false;
  TInfoText Info;              // the information text: title, lines, scrolling
  int GoToSteps = 0;           // steps of the running go-to (bounded)
  // Frames a line of a show page's text is read in before the next scrolls
  // up (4 s), and the frames the current line has been shown.
  static constexpr int ReadFramesPerLine = 120;
  int ReadFrames = 0;
  TSkyMarks Marks;             // mark tables of the current show page
  TPopupSwitches Popup;        // check marks of the popup menu
  TPointerPlace PointerAt;     // the pointer of the last pointer event
  TParameters Parameters;      // the program-wide switches of "Config.dat"
  // Dragging the sky: where the left button went down on the sky, and the
  // horizontal direction (S, E, U) grabbed there once the drag began.
  int GrabX = 0, GrabY = 0;
  bool SkyHeld = false;
  double HeldS = 0, HeldE = 0, HeldU = 0;
  // Each zoom step narrows or widens the field by this factor.
  static constexpr double ZoomFactor = 1.25;
  // Sets the field of view (degrees across the sky area, clamped to its
  // range); with `held`, the sky under the pointer stays under it.
  void SetFieldOfView(double degrees, bool aboutPointer);

  // The automatic command slots the frame serves: hover repeat and panel
  // slide, the subtitle scroll, and the player (shows, go-to, time flow).
  TAutoCommand HoverRepeat;
  TAutoCommand TextScroll;
  TPlayerSlot Player;

  // Every executed code, when logging is on (tests and scripts read it).
  bool LogCommands = false;
  std::vector<int> CommandLog;
  std::vector<std::string> SoundLog;  // sounds played, when logging is on

 private:
  TStageHooks NoStage_;
};
