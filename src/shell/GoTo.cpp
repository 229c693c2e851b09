// Go-to, time flow, constellation picking and the layer buttons.
#include "Angles.h"
#include "GoTo.h"

#include <cmath>
#include <cstdlib>

#include "CivilDate.h"
#include "CommandCodes.h"
#include "Gbk.h"
#include "CommandCodes.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "ScreenGeometry.h"
#include "SkyModel.h"
#include "StarNaming.h"
#include "StringTable.h"
#include "Transforms.h"
#include "ViewState.h"

namespace {

// Below this altitude (radians) a tracked object takes the ground away.
constexpr double TrackGroundLimit = -0.1;
// The on look of a toggle button.
constexpr int OnLook = 2;

void SetLook(TInterface& ui, int region, bool on) {
  if (on) ui.Regions[region].State |= OnLook;
  else ui.Regions[region].State &= ~OnLook;
}

}  // namespace

const std::string& BodyName(int body) {
  static const std::string Names[11] = {
      "",
      Utf8ToGbk("太阳"), Utf8ToGbk("月亮"), Utf8ToGbk("水星"), Utf8ToGbk("金星"),
      Utf8ToGbk("火星"), Utf8ToGbk("木星"), Utf8ToGbk("土星"), Utf8ToGbk("天王星"),
      Utf8ToGbk("海王星"), Utf8ToGbk("冥王星"),
  };
  return Names[body >= 1 && body <= 10 ? body : 0];
}

double DirectionAzimuth(double x, double y) {
  double a = std::atan2(y, x);
  if (a < 0) a += FullCircle;
  if (a >= FullCircle) a -= FullCircle;
  return a;
}

double DirectionAltitude(double x, double y, double z) {
  return std::atan2(z, std::sqrt(x * x + y * y));  // already within [-pi/2, pi/2]
}

int ChooseGoToMove(double viewAz, double viewAlt, double targetAz, double targetAlt) {
  double d = std::fmod(targetAz - viewAz, FullCircle);
  if (d < 0) d += FullCircle;
  if (d > 10 * Deg && d <= M_PI) return Cmd::TurnLeft;
  if (d > M_PI && d < 350 * Deg) return Cmd::TurnRight;
  const double above = viewAlt - targetAlt;
  if (above > 10 * Deg) return Cmd::Lower;
  if (viewAlt < targetAlt) return Cmd::Raise;
  return Cmd::PlayerDone;  // within reach, or a direction that is not a number
}

void SetGroundLayer(TSkyloom& sky, TInterface& ui, bool on) {
  if (on) sky.ShowFlags |= SkyBits::Ground;
  else sky.ShowFlags &= ~SkyBits::Ground;
  sky.GroundOn = on ? 1 : 0;
  SetLook(ui, 9, on);
}

void TViewState::AimAt(int code) {
  TSkyloom& sky = Sky;
  sky.TargetDirection(code);
  const TVector3 t = sky.TargetSeen();
  sky.TrackX = t.X;
  sky.TrackY = t.Y;
  sky.TrackZ = t.Z;
}

void TViewState::StepTime() {
  TSkyloom& sky = Sky;
  TCivilTime t{sky.Year, sky.Month, sky.Day, sky.Hour, sky.Minute, sky.Second};
  // At the first or last date the program represents, time stands still.
  if (!AddToCivil(t, sky.StepUnit, static_cast<int64_t>(PlayDirection) * sky.StepAmount)) {
    Player.Active = false;
    Playing = false;
  }
  sky.Year = t.Year;
  sky.Month = t.Month;
  sky.Day = t.Day;
  sky.Hour = t.Hour;
  sky.Minute = t.Minute;
  sky.Second = t.Second;
  if (sky.Tracking) {
    sky.ViewAz = DirectionAzimuth(sky.TrackX, sky.TrackY);
    sky.ViewAlt = DirectionAltitude(sky.TrackX, sky.TrackY, sky.TrackZ);
    SetGroundLayer(sky, Interface, sky.ViewAlt >= TrackGroundLimit);
  }
  SkyStale = true;
}

void TViewState::StepGoTo() {
  TSkyloom& sky = Sky;
  const double step = (sky.TurnStep >= 1 ? sky.TurnStep : 1) * Deg;
  int move = ChooseGoToMove(sky.ViewAz, sky.ViewAlt, DirectionAzimuth(sky.TrackX, sky.TrackY),
                            DirectionAltitude(sky.TrackX, sky.TrackY, sky.TrackZ));
  if (++GoToSteps > MaxGoToSteps) move = Cmd::PlayerDone;
  else if (move == Cmd::PlayerDone) {
    // Arrived: the last step lands on the target itself, so that it ends in
    // the middle of the sky area; below the horizon the ground gives way.
    const double alt = DirectionAltitude(sky.TrackX, sky.TrackY, sky.TrackZ);
    const double az = DirectionAzimuth(sky.TrackX, sky.TrackY);
    if (std::isfinite(alt) && std::isfinite(az)) {
      if (alt < 0 && (sky.ShowFlags & SkyBits::Ground)) SetGroundLayer(sky, Interface, false);
      sky.ViewAz = az;
      sky.ViewAlt = alt;
    }
  }
  switch (move) {
    case Cmd::TurnLeft:
      sky.ViewAz += step;
      if (sky.ViewAz > FullCircle) sky.ViewAz -= FullCircle;
      break;
    case Cmd::TurnRight:
      sky.ViewAz -= step;
      if (sky.ViewAz < 0) sky.ViewAz += FullCircle;
      break;
    case Cmd::Raise:
      sky.ViewAlt += step;
      if (sky.ViewAlt >= M_PI / 2) sky.ViewAlt = M_PI / 2;
      break;
    case Cmd::Lower:
      // Below the horizon the ground gives way, so every target is reached.
      sky.ViewAlt -= step;
      if ((sky.ShowFlags & SkyBits::Ground) && sky.ViewAlt <= 0) SetGroundLayer(sky, Interface, false);
      if (sky.ViewAlt <= -M_PI / 2) sky.ViewAlt = -M_PI / 2;
      break;
  }
  if (Player.HistoryCount < MaxHistory) ++Player.HistoryCount;
  Player.HistoryIndex = Player.HistoryCount;
  TViewRecord& r = Player.History[static_cast<size_t>(Player.HistoryIndex)];
  r.Latitude = sky.Latitude;
  r.Longitude = sky.Longitude;
  r.Year = sky.Year;
  r.Month = sky.Month;
  r.Day = sky.Day;
  r.Hour = sky.Hour;
  r.Minute = sky.Minute;
  r.Second = sky.Second;
  r.ViewAlt = sky.ViewAlt;
  r.ViewAz = sky.ViewAz;
  Player.Command = move == Cmd::PlayerDone ? Cmd::PlayerDone : Cmd::GoToCarryOn;
}

void TViewState::GoToTarget(int c, bool animate) {
  if (c <= 0) return;
  TSkyloom& sky = Sky;
  if (c <= 99) {
    TargetCode = c;
    sky.SelConst = c;
    sky.LoadStory(c);
    TextShown = true;
    RefreshInfoText();
  } else if (c >= 201 && c <= 999) {
    TargetCode = c;
    sky.SelConst = c;
  } else if (c > 1000) {
    TargetCode = c;
  }
  AimAt(c);
  if (animate) {
    SkyStale = true;
    Player.LeadCommand = Cmd::GoToStep;
    Player.HistoryIndex = 0;
    Player.HistoryCount = 0;
    Player.Kind = 2;
    Player.Interval = 1;
    GoToSteps = 0;
    std::string name;
    if (c <= 99) name = Trim(sky.Consts[c].Name.view()) + LoadStr(23);
    else if (c >= 101 && c <= 110) name = BodyName(c - 100);
    else if (c >= 201 && c <= 999) name = Trim(sky.Offices[c - 200].Name.view());
    else if (c > StarIdBase) name = Utf8ToGbk(StarName(sky, c - StarIdBase));
    else if (c > 1000) name = Trim(sky.MessierNames[c - 1000].Code.view());
    Player.StatusText = LoadStr(24) + name;
    return;
  }
  const double az = DirectionAzimuth(sky.TrackX, sky.TrackY);
  const double alt = DirectionAltitude(sky.TrackX, sky.TrackY, sky.TrackZ);
  if (alt < 0) SetGroundLayer(sky, Interface, false);
  SkyStale = true;
  sky.ViewAz = az;
  sky.ViewAlt = alt;
}

void TViewState::StartGoTo(int code) {
  PlayMode = 2;
  SyncLayerButtons(2);
  SkyStale = true;  // the target is aimed at from the sky of this moment
  UpdateWhenStale();
  AimAt(code);
  GoToTarget(code, true);
  RefreshInfoText();
  TextShown = false;
  ViewLocked = false;
  ExecuteCommand(Cmd::Play);
}

void TViewState::FinishGoTo() {
  // The player's step as the frame loop runs it, with the sky brought up to
  // date before each step; a trip ends within MaxGoToSteps steps.
  for (int i = 0; i <= MaxGoToSteps && Player.Active; ++i) {
    UpdateWhenStale();
    if (Player.LeadCommand > 1000) ExecuteCommand(Player.LeadCommand);
    ExecuteCommand(Player.Command);
  }
}

void TViewState::SyncLayerButtons(int mode) {
  if (mode == 1) return;
  TSkyloom& sky = Sky;
  sky.ShowFlags = 0;
  if (sky.NamesOn) sky.ShowFlags |= sky.Mode1;
  Interface.Regions[7].State = sky.NamesOn ? OnLook : 0;
  if (sky.LinesOn) sky.ShowFlags |= sky.Mode2;
  Interface.Regions[10].State = sky.LinesOn ? OnLook : 0;
  if (sky.GroundOn) sky.ShowFlags |= SkyBits::Ground;
  Interface.Regions[9].State = sky.GroundOn ? OnLook : 0;
  if (sky.MilkyWay) sky.ShowFlags |= SkyBits::MilkyWay;
  Interface.Regions[6].State = sky.English == 1 ? OnLook : 0;
  Marks.Clear();
  // The popup items' check marks say what the switches are.
  for (int k = 1; k <= MenuTableSize; ++k) {
    TMenuEntry& e = Parameters.MenuTable[k];
    const bool* on = e.Command == Cmd::ConstHighlight    ? &Popup.ConstellationHighlight
                     : e.Command == Cmd::ConstLines      ? &Popup.ConstellationLines
                     : e.Command == Cmd::ConstGreekNames ? &Popup.ConstellationGreekNames
                     : e.Command == Cmd::ConstBoundary   ? &Popup.ConstellationBoundary
                     : e.Command == Cmd::ConstStarNames  ? &Popup.ConstellationStarNames
                                                         : nullptr;
    if (on) e.Checked = *on ? 1 : 0;
  }
}

bool TViewState::SwitchIsOn(int command) const {
  const TSkyloom& sky = Sky;
  constexpr uint64_t NameBits = SkyBits::ConstNames | SkyBits::GreekLetters | SkyBits::StarNames |
                                SkyBits::PlanetNames | SkyBits::MessierNames | SkyBits::OfficeNames;
  constexpr uint64_t LineBits = SkyBits::Grid | SkyBits::Ecliptic | SkyBits::Galactic |
                                SkyBits::ConstLines | SkyBits::OfficeLines;
  switch (command) {
    case Cmd::StarNames: return (sky.ShowFlags & NameBits) != 0;
    case Cmd::AuxLines: return (sky.ShowFlags & LineBits) != 0;
    case Cmd::Ground: return (sky.ShowFlags & SkyBits::Ground) != 0;
    case Cmd::Language: return sky.English == 1;
    case Cmd::LabelPlacement: return sky.LabelPlacement != 0;
    case Cmd::RealisticSky: return sky.RealisticSky != 0;
    case Cmd::MilkyWay: return (sky.ShowFlags & SkyBits::MilkyWay) != 0;
    default: return false;
  }
}

void TViewState::SyncSwitchLooks() {
  // What is drawn decides: a show's layers as well as the switches'.
  for (int r = 1; r <= MaxRegions; ++r) {
    const int c = Interface.Regions[r].Command;
    if (c != Cmd::StarNames && c != Cmd::AuxLines && c != Cmd::Ground && c != Cmd::Language &&
        c != Cmd::LabelPlacement && c != Cmd::RealisticSky && c != Cmd::MilkyWay)
      continue;
    if (SwitchIsOn(c)) Interface.Regions[r].State |= OnLook;
    else Interface.Regions[r].State &= ~OnLook;
  }
}

void TViewState::PickConstellation(int x, int y, int button) {
  TSkyloom& sky = Sky;
  // A click on the ground picks nothing and keeps the selection.
  if (sky.ShowFlags & SkyBits::Ground) {
    for (int k = 1; k <= HorizonPoints; ++k) {
      const TSkyPoint& h = sky.Horizon[k];
      if (h.Z <= 0) continue;
      if (sky.CenterY > h.X && y > sky.CenterY + h.X) return;
      break;
    }
  }
  sky.SelConst = 0;
  TextShown = false;
  // The constellation whose outline winds around the pointer; of several,
  // the one whose label is nearest.
  int best = 0;
  long bestDistance = 0;
  auto finish = [&](int owner, double winding) {
    if (owner < 1 || owner > 99 || std::fabs(winding) <= M_PI) return;
    const TSkyObject& c = sky.Consts[owner];
    const long distance = std::labs(RoundPixel(c.LabelX) - x) + std::labs(RoundPixel(c.LabelY) - y);
    if (best == 0 || distance < bestDistance) {
      best = owner;
      bestDistance = distance;
    }
  };
  int runFirst = 1;
  double sum = 0;
  for (int i = 2; i <= MaxBounds; ++i) {
    if (sky.Bounds[i].Owner != sky.Bounds[i - 1].Owner) {
      finish(sky.Bounds[i - 1].Owner, sum);
      sum = 0;
    }
    sum += OutlineWinding(sky, i, x, y, runFirst);
  }
  finish(sky.Bounds[MaxBounds].Owner, sum);
  if (best > 0) {
    sky.SelConst = best;
    sky.LoadStory(best);
    TextShown = true;
    RefreshInfoText();
  }
  if (button == 1) PopupPending = true;
}
