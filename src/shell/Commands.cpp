// The dispatcher: every key, click, menu item and automatic step arrives
// here as one command code and goes to the handler of its family. Codes that
// no family knows are accepted and do nothing.
#include <cmath>

#include "DialogEntry.h"
#include "CommandCodes.h"
#include "DrawOptions.h"
#include "FormSky.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "SkyModel.h"
#include "Transforms.h"

namespace {

constexpr double Deg = M_PI / 180.0;
constexpr double TwoPi = 2 * M_PI;

// Centre of a dial: the middle of its well-known region on the lower panel
// (halves truncate toward zero).
void DialCentre(int entry, int& x, int& y) {
  const TRegion& r = WellKnownRegion(entry);
  x = r.X + Sections[2].X + r.Width / 2;
  y = r.Y + Sections[2].Y + r.Height / 2;
}

}  // namespace

bool TFormSky::ExecuteCommand(int code) {
  if (LogCommands) CommandLog.push_back(code);
  Invalidate();  // whatever the code did may show
  ViewCommand(code) || PanelCommand(code) || TextCommand(code) || PlayerCommand(code) ||
      PopupCommand(code) || ProgramCommand(code);
  return true;
}

// Commands that change the view; none of them acts while a show holds the
// view.
bool TFormSky::ViewCommand(int code) {
  const bool view = code == 7 || code == 8 || code == 9 || (code >= 101 && code <= 105) ||
                    (code >= 201 && code <= 204);
  if (!view) return false;
  if (ViewLocked) return true;
  TSkyloom& sky = *SkyModel;
  const double step = sky.TurnStep * Deg;
  switch (code) {
    case Cmd::AzimuthDial: {  // azimuth dial: the view turns to where the pointer is
      int cx = 0, cy = 0;
      DialCentre(1, cx, cy);
      double a = AngleOf(Pointer.X - cx, cy - Pointer.Y);
      if (a >= TwoPi) a -= TwoPi;
      if (a > M_PI) a -= TwoPi;
      sky.ViewAz = NormalizeAngle(sky.ViewAz - M_PI / 2 + a);
      if (sky.ViewAz >= TwoPi) sky.ViewAz -= TwoPi;
      SkyStale = true;
      break;
    }
    case Cmd::AltitudeDial: {  // altitude dial: the view tilts to the pointer's height
      int cx = 0, cy = 0;
      DialCentre(2, cx, cy);
      const double dx = Pointer.X - cx, dy = Pointer.Y - cy;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r < 0.001) return true;
      sky.ViewAlt = std::asin(-dy / r);
      if (dx > 0) sky.ViewAlt = dy > 0 ? -M_PI / 2 : M_PI / 2;
      if ((sky.ShowFlags & SkyBits::Ground) && sky.ViewAlt < 0) sky.ViewAlt = 0;
      SkyStale = true;
      break;
    }
    case Cmd::PickConstellation:
      PickConstellation(Pointer.X, Pointer.Y, Pointer.Button);
      SkyStale = true;
      break;
    case Cmd::Language:
      Language = Language == 0 ? 1 : 0;
      sky.English = Language;
      RefreshInfoText();
      SkyStale = true;
      break;
    case Cmd::StarNames:  // the switch and what is drawn turn together
      sky.NamesOn = sky.NamesOn ? 0 : 1;
      if (sky.NamesOn) sky.ShowFlags |= sky.Mode1;
      else sky.ShowFlags &= ~sky.Mode1;
      break;
    case Cmd::Settings: {
      const bool active = Player.Active;
      const uint8_t music = MusicOn;
      Player.Active = false;
      RunConfigDialog(*this);
      SkyStale = true;
      Player.Active = active;
      if (MusicOn != music) SwitchMusic();
      break;
    }
    case Cmd::AuxLines:
      sky.LinesOn = sky.LinesOn ? 0 : 1;
      if (sky.LinesOn) sky.ShowFlags |= sky.Mode2;
      else sky.ShowFlags &= ~sky.Mode2;
      break;
    case Cmd::Ground:
      sky.ShowFlags ^= SkyBits::Ground;
      sky.GroundOn = sky.GroundOn ? 0 : 1;
      SkyStale = true;
      if (std::remainder(sky.ViewAlt, TwoPi) < 0) sky.ViewAlt = 0;
      break;
    case Cmd::TurnLeft:  // turn toward growing azimuth (from south through east)
      sky.ViewAz += step;
      if (sky.ViewAz > TwoPi) sky.ViewAz -= TwoPi;
      SkyStale = true;
      SetCursor(3);
      break;
    case Cmd::Raise:  // raise, not past the zenith
      sky.ViewAlt += step;
      if (sky.ViewAlt >= M_PI / 2) sky.ViewAlt = M_PI / 2;
      SkyStale = true;
      SetCursor(1);
      break;
    case Cmd::TurnRight:  // turn the other way
      sky.ViewAz -= step;
      if (sky.ViewAz < 0) sky.ViewAz += TwoPi;
      SkyStale = true;
      SetCursor(4);
      break;
    case Cmd::Lower:  // lower: not below the horizon while the ground is on
      sky.ViewAlt -= step;
      if ((sky.ShowFlags & SkyBits::Ground) && sky.ViewAlt <= 0) {
        sky.ViewAlt = 0;
      } else if (sky.ViewAlt <= -M_PI / 2) {
        sky.ViewAlt = -M_PI / 2;
      }
      SkyStale = true;
      SetCursor(2);
      break;
  }
  return true;
}

// The check items of the popup menu for the selected constellation.
bool TFormSky::PopupCommand(int code) {
  switch (code) {
    case Cmd::ConstStarNames: Popup.ConstellationStarNames = !Popup.ConstellationStarNames; return true;
    case Cmd::ConstLines: Popup.ConstellationLines = !Popup.ConstellationLines; return true;
    case Cmd::ConstGreekNames: Popup.ConstellationGreekNames = !Popup.ConstellationGreekNames; return true;
    case Cmd::ConstBoundary: Popup.ConstellationBoundary = !Popup.ConstellationBoundary; return true;
    case Cmd::ConstHighlight: Popup.ConstellationHighlight = !Popup.ConstellationHighlight; return true;
    case Cmd::Deselect:  // deselect (a show keeps its own selection)
      if (PlayMode != 1) {
        SkyModel->SelConst = 0;
        RefreshInfoText();
        TextShown = false;
        SkyStale = true;
      }
      return true;
    default:
      return false;
  }
}

// The about box, help, minimising, quitting, the music and the program-wide
// drawing switches.
bool TFormSky::ProgramCommand(int code) {
  switch (code) {
    case Cmd::About: {
      const bool active = Player.Active;
      Player.Active = false;
      RunAboutDialog(*this);
      Player.Active = active;
      return true;
    }
    case Cmd::Help:
      RunHelpDialog(*this);
      return true;
    case Cmd::Minimize:
      DXDraw.SetFlipOption(true);
      DXDraw.Minimize();
      Minimized = true;
      return true;
    case Cmd::Quit:
      Terminated = true;
      return true;
    case Cmd::Music:
      SwitchMusic();
      return true;
    case Cmd::LabelPlacement:
      FlipLabelPlacement(*SkyModel, SkyStale);
      return true;
    case Cmd::RealisticSky:
      FlipRealisticSky(*SkyModel, SkyStale);
      return true;
    default:
      return false;
  }
}
