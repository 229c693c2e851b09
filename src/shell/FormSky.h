// TFormSky: the main form. Its stage owns the window and drawing surface,
// sounds, keyboard, music player, cursors, ImGui and the dialogs; it is also
// the view state the commands change and the presenter that draws it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AutoCommand.h"
#include "Canvas.h"
#include "DialogStack.h"
#include "ImGuiHost.h"
#include "ImageList.h"
#include "InfoText.h"
#include "Input.h"
#include "Interface.h"
#include "Presenter.h"
#include "Screen.h"
#include "Sound.h"
#include "ViewState.h"

class TFormLogo;

// Where a window of width x height goes on a desktop: false when the desktop
// is narrower than 800 (string 18); at (0, 0) on a desktop exactly as wide
// as the window, else centred.
bool PlaceMainWindow(int desktopWidth, int desktopHeight, int& left, int& top, int width = 800,
                     int height = 600);

struct TCivilNow {
  int Year, Month, Day, Hour, Minute, Second = 0;
};
// Today's local date and clock time.
TCivilNow LocalNow();

// The main form in its three roles: the stage (window, input, sound, music,
// ImGui and the dialogs: the platform, declared here), the view state the
// commands change (TViewState) and the presenter that draws a frame from it
// (TPresenter).
class TFormSky : public TViewState, public TPresenter, public TStageHooks {
 public:
  explicit TFormSky(TSkyloom& sky);
  ~TFormSky() override;

  // Form events, in the order the application calls them.
  void FormCreate();
  // Gives the stage its pixel size (after FormCreate, before the window
  // opens): the back buffer, the layout of the interface, the sky area and
  // the window's place follow.
  void SizeStage(int width, int height);
  // Switches full screen on or off while the program runs: full screen
  // draws at the display's own size, the window at WindowStage's.
  void ApplyFullScreen(bool on);
  int WindowStageWidth = 800, WindowStageHeight = 600;  // the window's stage size
  void FormShow();
  void FormDestroy();
  void DXDrawInitialize() { DXTimer1Enabled = true; }
  void DXDrawFinalize() { DXTimer1Enabled = false; }
  void MediaPlayer1Notify();
  void ApplicationDeactivate();
  void ApplicationActivate();

  // What the commands ask of the platform.
  void SetCursor(int number) override;
  void PlaySound(const char* name) override;
  void SwitchMusic() override;
  void Minimize() override;
  void Quit() override { Terminated = true; }
  void ShowAbout() override;
  void ShowHelp() override;
  void ShowSettings(std::function<void(bool applied)> closed) override;
  void ShowStarTool(std::function<void(int)> onPick,
                    std::function<void(const TStarToolAnswer&)> closed) override;
  void ShowRecord(const std::string& showFile) override;

  // The sky and the panel of the view state, by the presenter.
  void DrawFrame();

  // Pointer and keys (Input.cpp). Buttons: 0 left, 1 right, 2 middle;
  // positions in stage pixels; `key` a Windows virtual-key code.
  void FormMouseDown(int button, int shift, int x, int y);
  void FormMouseMove(int shift, int x, int y);
  void FormMouseUp(int button, int shift, int x, int y);
  void FormKeyDown(int key, int shift);
  // The wheel turned by `notches` (up positive) at the pointer.
  void FormMouseWheel(int notches);
  // The hover code at (x, y): 0 none, 1..100 a deep-sky object, 201..210 a
  // solar-system body.
  int ObjectAt(int x, int y) const;
  // Turns an interface event of the region machine into sounds, looks and
  // commands.
  void ApplyRegionEvent(const TRegionAction& action);
  // The popup menu from Parameters.MenuTable (each switch starts as its item's check
  // mark shows), a click on item `tag`, and its drawing in the overlay.
  void BuildPopupMenu();
  void PopupItemClick(int tag);
  void DrawPopupMenu();
  // Whether item `tag` shows a check mark: the switch itself for the
  // constellation switches, else the item's own mark.
  bool PopupItemChecked(int tag) const;

  // The ImGui part of a frame: the popup menu and the open dialog.
  void DrawOverlay();
  // Starts the ImGui host with every interface text's characters in its font.
  void StartImGui();

  // Components.
  TDXDraw DXDraw;
  TDXWaveList DXWaveList1;
  TDXInput DXInput1;
  TMediaPlayer MediaPlayer1;
  TCursors Cursors;
  // Dear ImGui over the stage: the popup menu and the dialogs. Started by the
  // first frame (after the window is or is not opened).
  TImGuiHost ImGuiHost;
  // The dialogs with their state between showings (made at the first).
  std::shared_ptr<struct TDialogSet> Dialogs;
  // The open dialogs (ShowModal.h): the top one is drawn over the stage in
  // every frame and takes the input. Declared after what the views draw
  // with, so that open dialogs go first.
  TDialogStack DialogStack;
  // Frames on the call stack: 1 inside RunFrame, 0 between frames. A frame
  // never runs inside another (a dialog is not a loop of its own).
  int FrameDepth = 0;
  bool DXTimer1Enabled = false;  // frames run (RunFrame in FrameLoop.h)
  TFormLogo* Logo = nullptr;  // the splash window, closed by the first frame

  // Window placement and application state.
  int Left = 0, Top = 0, Width = 800, Height = 600;
  bool Terminated = false;       // the application was asked to end
  bool ApplicationActive = true;
  bool Minimized = false;
  bool Windowed = true;          // false in full screen
  int CursorNumber = 0;

  bool SplashPending = false;
  // A frame draws and presents when the picture is stale (or an overlay
  // shows, or DrawEveryFrame is set); otherwise the window keeps showing the
  // last frame, which is exactly what a redraw would give.
  bool DrawEveryFrame = false;
  int OverlayFrames = 0;  // frames still to draw for the ImGui overlay
  bool OverlayShown = false;  // a menu or dialog showed at the last frame
  // The items of the popup menu, in menu order.
  struct TPopupItem {
    int Tag = 0;                // the MenuTable entry
    bool Separator = false;
    bool Checked = false;
    std::string Label;          // UTF-8 caption with its ImGui id
    std::string EnglishLabel;   // the same in English mode
  };
  std::vector<TPopupItem> PopupMenu1;

  // "Now" at start and the random seed: fixed for reproducible runs.
  bool FixedNow = false;
  TCivilNow Now{};
  std::optional<uint32_t> FixedSeed;
  // Lines shown in a message box over the first frames (a name on the
  // command line that names nothing), then cleared.
  std::vector<std::string> StartMessage;
  // The control the pointer rests on and for how many frames: its tip shows
  // from TipDelayFrames on; the tip's text is kept between frames.
  int TipRegion = 0, TipFrames = 0;
  std::string TipText;
  void FollowTip();
  void DrawTip();
};
