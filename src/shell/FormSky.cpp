#include "FormSky.h"

#include "CityTable.h"
#include "CommandCodes.h"
#include "ControlTips.h"
#include "DialogGlyphs.h"
#include "DialogViews.h"
#include "FileIo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <utility>
#include <sys/stat.h>

#include "FirstRun.h"
#include "FormLogo.h"
#include "Gbk.h"
#include "GlobalParams.h"
#include "CityTable.h"
#include "Interface.h"
#include "Lecture.h"
#include "Panel.h"
#include "PictureWindow.h"
#include "SkyModel.h"
#include "StringTable.h"
#include "Transforms.h"


bool PlaceMainWindow(int desktopWidth, int desktopHeight, int& left, int& top, int width,
                     int height) {
  if (desktopWidth < MinStageWidth) return false;
  if (desktopWidth <= width) {
    left = 0;
    top = 0;
  } else {
    left = (desktopWidth - width) / 2;
    top = desktopHeight > height ? (desktopHeight - height) / 2 : 0;
  }
  return true;
}

TCivilNow LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59)};
}

TFormSky::TFormSky(TSkyloom& sky)
    : TViewState(sky, this), DXDraw(800, 600) {
  // The form's font: "宋体" at height -14.
  DXDraw.Canvas().Font.Name = LoadStr(22);
  DXDraw.Canvas().Font.Height = -14;
}

TFormSky::~TFormSky() = default;

void TFormSky::FormCreate() {
  // The splash window is already showing (the application shows it first).
  // Unattended runs seed the random generator with a fixed number.
  SplashPending = true;
  RandomSeed(FixedSeed ? *FixedSeed : static_cast<uint32_t>(std::time(nullptr)));
  // Activation events are routed here by the frame loop; number parsing
  // uses "." everywhere (the C locale, never changed). Window size and place:
  int dw = 0, dh = 0;
  if (TDXDraw::DesktopSize(dw, dh)) {
    if (!PlaceMainWindow(dw, dh, Left, Top)) {
      ShowMessageWindow(LoadStr(18));
      Terminated = true;
    }
  } else {
    Left = Top = 0;
  }
  Width = 800;
  Height = 600;
  // Layout of the text panel and status line; rotation step.
  Language = 0;
  LineHeight = 16;
  const int layout[9] = {240, 68, 99, 86, std::min(Width / 5, 160), Width / 6, 6, 2, 5};
  std::copy(layout, layout + 9, TextLayout);
  SkyStale = PopupPending = ViewLocked = Playing = false;
  PlayDirection = PlayMode = TargetCode = 0;
  HoverObject = HoverX = HoverY = 0;
  Sky.TurnStep = 4;
  // Cursors from the program's resources.
  {
    TDXImageList resources;
    if (resources.LoadFromFile("Resource.rxf")) {
      static const char* const names[5] = {"", "UpArrow", "DownArrow", "LeftArrow", "RightArrow"};
      for (int n = 1; n <= 4; ++n) {
        const LibraryImage* img = resources.Image(resources.Find(names[n]));
        if (img && img->FrameCount >= 1)
          Cursors.Register(n, img->FrameWidth, img->FrameHeight, img->Pixels.data(),
                           img->FrameWidth / 2, img->FrameHeight / 2);
      }
    }
  }
  // Image libraries and the two sounds.
  DXImageList.LoadFromFile("LoadImg.rxf");
  DXImageList1.LoadFromFile("Messia2.rxf");
  DXWaveList1.Load({"Choose", "Click"});
  // Interface description, compiled tables, global parameters, popup menu.
  // The compiled copy stands in only for a missing description.
  if (!Interface.ReadInterfaceDescription() && !Interface.ReadCompiledTables()) {
    Report({InterfaceDescriptionFile, "missing, and no compiled copy; the panel has no controls",
            ""});
    Interface.SetBareSections();
  }
  ReadParameters(Parameters);
  Parameters.MenuTable = DefaultMenuTable();
  BuildPopupMenu();
  // Star catalogue, and the city table of the status line and the settings
  // dialog.
  if (Sky.CityTable.CityCount == 0) Sky.CityTable.Load(CityFileName);
  Sky.LoadStarData();
  // Music.
  MediaPlayer1.FileName = "Music.mid";
  MediaPlayer1.OnNotify = [this] { MediaPlayer1Notify(); };
  // Full screen from the global parameters.
  Windowed = !Parameters.FullScreen;
  DXDraw.SetFullScreen(Parameters.FullScreen != 0);
}

void TFormSky::SizeStage(int width, int height) {
  Width = std::clamp(width, MinStageWidth, MaxStageWidth);
  Height = std::clamp(height, MinStageHeight, MaxStageHeight);
  DXDraw.Resize(Width, Height);
  Layout = TStageLayout{.Width = Width, .Height = Height};
  // The interface scale, the sky area and the field of view's scale follow
  // the new size.
  ApplyInterfaceScale();
  int dw = 0, dh = 0;
  if (TDXDraw::DesktopSize(dw, dh)) PlaceMainWindow(dw, dh, Left, Top, Width, Height);
}

void TFormSky::ApplyFullScreen(bool on) {
  int w = WindowStageWidth, h = WindowStageHeight, dw = 0, dh = 0;
  if (on && TDXDraw::DesktopSize(dw, dh) && dw >= MinStageWidth && dh >= MinStageHeight) {
    w = dw;
    h = dh;
  }
  SizeStage(w, h);
  DXDraw.SetFullScreen(on);
  Invalidate();
}

void TFormSky::FormShow() {
  // Scene 1 and its well-known regions.
  Interface.CurrentScene = 1;
  Interface.FillWellKnownRegions(1);
  // No show loaded, no text shown.
  Lecture.Reset();
  Lecture.Attach(&Sky, &Marks, &Popup);
  TextShown = false;
  // Automatic slots.
  HoverRepeat = TAutoCommand{};
  HoverRepeat.Counter = 0;
  HoverRepeat.Interval = 1;
  HoverRepeat.Kind = 1;
  Player.Counter = 0;
  Player.Command = Cmd::TimeStep;
  Player.Interval = 1;
  Player.Kind = 1;
  Player.StatusText = LoadStr(17);
  PanelState = 1;
  TextScroll.Interval = SubtitleInterval(Parameters.SubtitleSpeed);
  TextScroll.Command = Cmd::TextScrollTick;
  ViewLocked = false;
  // Ground only; horizon switch shown on; sky area and scale.
  TSkyloom& sky = Sky;
  sky.ShowFlags = SkyBits::Ground;
  sky.GroundOn = 1;
  Interface.WellKnownRegion(9).State |= 2;
  sky.ScreenWidth = Layout.Width;
  sky.ScreenHeight = Layout.Y(Interface.Sections[2].Y);
  // Saved place, today's date and clock.
  const bool firstRun = !HasSavedSettings();
  if (firstRun) ApplyFirstRunDefaults(sky, SystemZoneHours(), SystemZoneName());
  sky.LoadSettings();
  Layout.Scale = InterfaceScaleFor(Layout.Width, Layout.Height, sky.InterfaceScale);
  sky.ScreenHeight = Layout.Y(Interface.Sections[2].Y);
  ApplyFieldOfView(sky);
  TCivilNow now = FixedNow ? Now : LocalNow();
  sky.Year = now.Year;
  sky.Month = now.Month;
  sky.Day = now.Day;
  sky.Hour = now.Hour;
  sky.Minute = now.Minute;
  sky.Second = now.Second;
  // A first start in class hours shows tonight's sky and says so; a time
  // asked for on the command line stays.
  if (firstRun && !FixedNow && StartAtNightfall(sky)) Player.StatusText = LoadStr(StrNightfall);
  SyncSwitchLooks();
  // Everything above shows in the first frame.
  SkyStale = true;
}

void TFormSky::FormDestroy() {
  // The sounds and the music go before the audio device closes.
  DXWaveList1.Free();
  MediaPlayer1.Close();
  CloseAudio();
}

void TFormSky::StartImGui() {
  if (ImGuiHost.Ready()) return;
  std::string texts;
  for (int id = 1; id <= 114; ++id) texts += GbkToUtf8(LoadStr(id));
  for (int i = 1; i <= MaxConsts; ++i) texts += GbkToUtf8(Sky.Consts[i].Name.view());
  ImGuiHost.AddGlyphs(texts);
  ImGuiHost.AddGlyphs(DialogGlyphs(Sky));
  ImGuiHost.AddTitleGlyphs(DialogTitleTexts());
  ImGuiHost.Initialize(DXDraw);
}

void TFormSky::DrawOverlay() {
  // The menus and dialogs follow the interface scale; a new one takes
  // effect at the start of this frame.
  ImGuiHost.SetScale(Layout.Scale);
  StartImGui();
  ImGuiHost.BeginFrame();
  DrawPopupMenu();  // the popup menu of a right click on a constellation
  // The top dialog, while it is open; it takes its input here.
  if (TModalForm* dialog = DialogStack.Top(); dialog && dialog->IsOpen()) dialog->DrawView();
  ImGuiHost.EndFrame();
}

void TFormSky::DrawFrame() {
  if (DXDraw.CanDraw()) DrawScene(*this, DXDraw);
  DrawTip();
}

void TFormSky::FollowTip() {
  // Tips belong to the panel's controls: with a dialog open, or over no
  // control, there is none to wait for (and no frame to draw for it).
  const int r = DialogStack.Empty() ? Interface.Pointer.Region : 0;
  if (r != TipRegion) {
    if (TipFrames >= TipDelayFrames) PictureStale = true;  // the old tip goes
    TipRegion = r;
    TipFrames = 0;
    return;
  }
  if (r < 1) return;
  if (TipFrames < TipDelayFrames && ++TipFrames == TipDelayFrames) PictureStale = true;
}

void TFormSky::DrawTip() {
  if (!DXDraw.CanDraw()) return;
  if (TipFrames < TipDelayFrames || TipRegion < 1 || TipRegion > MaxRegions) return;
  if (Interface.Pointer.MouseState == 1 || !DialogStack.Empty()) return;  // not while pressing or in a dialog
  TipText = ControlTip(Parameters.KeyTable, Interface.Regions[TipRegion].Command, Sky.English == 1);
  if (TipText.empty()) return;
  TCanvas& cv = DXDraw.Canvas();
  // The tip's text and margins grow with the interface scale.
  const TStageLayout& m = Layout;
  cv.Font.Name = LoadStr(22);
  cv.Font.Height = -m.Length(12);
  cv.Font.Smooth = m.Scale > 1;
  cv.Font.Color = RGB(255, 255, 220);
  const int w = cv.TextWidth(TipText) + m.Length(10), h = cv.TextHeight(TipText) + m.Length(6);
  const int x = std::clamp(Interface.Pointer.X + m.Length(12), 0, std::max(0, Width - w));
  const int y = std::max(0, Interface.Pointer.Y - h - m.Length(6));
  // A dark plate with a light frame above and right of the pointer.
  TBackBuffer& b = DXDraw.Buffer();
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx)
      b.Put(xx, yy, (yy == y || yy == y + h - 1 || xx == x || xx == x + w - 1) ? RGB(200, 200, 120)
                                                                               : RGB(30, 30, 60));
  cv.Brush.Style = TBrushStyle::Clear;
  cv.TextOut(x + m.Length(5), y + m.Length(3), TipText);
  cv.Release();
}

void TFormSky::Minimize() {
  DXDraw.SetFlipOption(true);
  DXDraw.Minimize();
  Minimized = true;
}

void TFormSky::SetCursor(int number) {
  CursorNumber = number;
  Cursors.Set(number);
}

void TFormSky::SwitchMusic() {
  // No music file is normal; anything else in its place (a folder, a pipe)
  // goes on to the player, which says why it cannot play it.
  std::string why;
  if (!IsRegularFile("Music.mid", &why) && why == "no such file") return;
  if (Parameters.MusicOn) {
    MediaPlayer1.FileName = "Music.mid";
    if (MediaPlayer1.Open()) MediaPlayer1.Play();
  } else {
    MediaPlayer1.Stop();
    MediaPlayer1.Close();
  }
}

void TFormSky::MediaPlayer1Notify() {
  if (Parameters.MusicOn && MediaPlayer1.Mode() == TMediaPlayer::TMode::Stopped) {
    MediaPlayer1.Play();
    MediaPlayer1.Notify = true;
  }
}

void TFormSky::ApplicationDeactivate() {
  ApplicationActive = false;
  DXTimer1Enabled = false;
  // In full screen the surface gives way to the desktop; a window stays
  // where it is (it only pauses).
  if (!Windowed) {
    DXDraw.SetFlipOption(true);
    DXDraw.Minimize();
    Minimized = true;
  }
}

void TFormSky::ApplicationActivate() {
  ApplicationActive = true;
  Minimized = DXDraw.Minimized();
  if (!Minimized) DXDraw.SetFlipOption(false);
  DXTimer1Enabled = true;
  Invalidate();  // the surface may have been given away or covered meanwhile
}
