// The dispatcher: every key, click, menu item and automatic step arrives
// here as one command code and goes to the handler its row of the command
// table names. Codes without a row are accepted and do nothing.
#include <cmath>

#include "Angles.h"
#include "CommandCodes.h"
#include "CommandTable.h"
#include "DrawOptions.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "SkyModel.h"
#include "Transforms.h"
#include "ViewState.h"

namespace {


// Centre of a dial in stage pixels: the middle of its well-known region on
// the lower panel (halves truncate toward zero).
void DialCentre(TInterface& ui, const TStageLayout& layout, int entry, int& x, int& y) {
  const TRegion& r = ui.WellKnownRegion(entry);
  x = layout.X(r.X + ui.Sections[2].X + r.Width / 2);
  y = layout.Y(r.Y + ui.Sections[2].Y + r.Height / 2);
}

}  // namespace

TViewState::TViewState(TSkyloom& sky, TStageHooks* stage)
    : Sky(sky), Stage(stage ? stage : &NoStage_) {}

bool TViewState::ExecuteCommand(int code) {
  if (LogCommands) CommandLog.push_back(code);
  Invalidate();  // whatever the code did may show
  const TCommandRow* row = FindCommand(code);
  if (!row || (row->LockedByShow && ViewLocked)) return true;
  (this->*row->Handler)(code);
  if (row->MakesSkyStale) SkyStale = true;
  return true;
}

bool TViewState::UpdateWhenStale() {
  if (!SkyStale) return false;
  Sky.UpdateSky();
  SkyStale = false;
  PictureStale = true;
  return true;
}

// Commands that change the view (a show that holds the view refuses them).
void TViewState::ViewCommand(int code) {
  TSkyloom& sky = Sky;
  const double step = sky.TurnStep * Deg;
  switch (code) {
    case Cmd::AzimuthDial: {  // azimuth dial: the view turns to where the pointer is
      int cx = 0, cy = 0;
      DialCentre(Interface, Layout, 1, cx, cy);
      double a = AngleOf(PointerAt.X - cx, cy - PointerAt.Y);
      if (a >= FullCircle) a -= FullCircle;
      if (a > M_PI) a -= FullCircle;
      sky.ViewAz = NormalizeAngle(sky.ViewAz - M_PI / 2 + a);
      if (sky.ViewAz >= FullCircle) sky.ViewAz -= FullCircle;
      break;
    }
    case Cmd::AltitudeDial: {  // altitude dial: the view tilts to the pointer's height
      int cx = 0, cy = 0;
      DialCentre(Interface, Layout, 2, cx, cy);
      const double dx = PointerAt.X - cx, dy = PointerAt.Y - cy;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r < 0.001) return;
      sky.ViewAlt = std::asin(-dy / r);
      if (dx > 0) sky.ViewAlt = dy > 0 ? -M_PI / 2 : M_PI / 2;
      if ((sky.ShowFlags & SkyBits::Ground) && sky.ViewAlt < 0) sky.ViewAlt = 0;
      SkyStale = true;
      break;
    }
    case Cmd::PickConstellation:
      PickConstellation(PointerAt.X, PointerAt.Y, PointerAt.Button);
      break;
    case Cmd::Language:
      Language = Language == 0 ? 1 : 0;
      sky.English = Language;
      RefreshInfoText();
      break;
    case Cmd::StarNames:  // the switch and what is drawn turn together
      sky.NamesOn = sky.NamesOn ? 0 : 1;
      if (sky.NamesOn) sky.ShowFlags |= sky.Mode1;
      else sky.ShowFlags &= ~sky.Mode1;
      break;
    case Cmd::Settings: {
      // What the dialog changed takes effect when it closes.
      const uint8_t music = Parameters.MusicOn;
      const double field = sky.FieldOfView;
      Stage->ShowSettings([this, music, field](bool) {
        if (Sky.FieldOfView != field) ApplyFieldOfView(Sky);
        if (Parameters.MusicOn != music) Stage->SwitchMusic();
      });
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
      if (std::remainder(sky.ViewAlt, FullCircle) < 0) sky.ViewAlt = 0;
      break;
    case Cmd::TurnLeft:  // turn toward growing azimuth (from south through east)
      sky.ViewAz += step;
      if (sky.ViewAz > FullCircle) sky.ViewAz -= FullCircle;
      Stage->SetCursor(3);
      break;
    case Cmd::Raise:  // raise, not past the zenith
      sky.ViewAlt += step;
      if (sky.ViewAlt >= M_PI / 2) sky.ViewAlt = M_PI / 2;
      Stage->SetCursor(1);
      break;
    case Cmd::TurnRight:  // turn the other way
      sky.ViewAz -= step;
      if (sky.ViewAz < 0) sky.ViewAz += FullCircle;
      Stage->SetCursor(4);
      break;
    case Cmd::Lower:  // lower: not below the horizon while the ground is on
      sky.ViewAlt -= step;
      if ((sky.ShowFlags & SkyBits::Ground) && sky.ViewAlt <= 0) {
        sky.ViewAlt = 0;
      } else if (sky.ViewAlt <= -M_PI / 2) {
        sky.ViewAlt = -M_PI / 2;
      }
      Stage->SetCursor(2);
      break;
    case Cmd::ZoomIn:
    case Cmd::ZoomOut:
    case Cmd::ZoomInAtPointer:
    case Cmd::ZoomOutAtPointer: {
      const bool in = code == Cmd::ZoomIn || code == Cmd::ZoomInAtPointer;
      const double f = in ? sky.FieldOfView / ZoomFactor : sky.FieldOfView * ZoomFactor;
      SetFieldOfView(f, code == Cmd::ZoomInAtPointer || code == Cmd::ZoomOutAtPointer);
      break;
    }
    case Cmd::SkyDrag: {
      if (!SkyHeld) {
        const TVector3 h = HorizontalAtScreen(sky, GrabX, GrabY);
        HeldS = h.X;
        HeldE = h.Y;
        HeldU = h.Z;
        SkyHeld = true;
      }
      HoldUnderPointer(sky, {HeldS, HeldE, HeldU}, PointerAt.X, PointerAt.Y);
      break;
    }
  }
}

void TViewState::SetFieldOfView(double degrees, bool aboutPointer) {
  TSkyloom& sky = Sky;
  const TVector3 held = HorizontalAtScreen(sky, PointerAt.X, PointerAt.Y);
  sky.FieldOfView = degrees;
  ApplyFieldOfView(sky);
  if (aboutPointer) HoldUnderPointer(sky, held, PointerAt.X, PointerAt.Y);
  SkyStale = true;
}

// The check items of the popup menu for the selected constellation.
void TViewState::PopupCommand(int code) {
  switch (code) {
    case Cmd::ConstStarNames: Popup.ConstellationStarNames = !Popup.ConstellationStarNames; break;
    case Cmd::ConstLines: Popup.ConstellationLines = !Popup.ConstellationLines; break;
    case Cmd::ConstGreekNames: Popup.ConstellationGreekNames = !Popup.ConstellationGreekNames; break;
    case Cmd::ConstBoundary: Popup.ConstellationBoundary = !Popup.ConstellationBoundary; break;
    case Cmd::ConstHighlight: Popup.ConstellationHighlight = !Popup.ConstellationHighlight; break;
    case Cmd::Deselect:  // deselect (a show keeps its own selection)
      if (PlayMode != 1) {
        Sky.SelConst = 0;
        RefreshInfoText();
        TextShown = false;
        SkyStale = true;
      }
      break;
  }
}

// The about box, help, minimising, quitting, the music and the program-wide
// drawing switches.
void TViewState::ProgramCommand(int code) {
  switch (code) {
    case Cmd::About: Stage->ShowAbout(); break;
    case Cmd::Help: Stage->ShowHelp(); break;
    case Cmd::Minimize: Stage->Minimize(); break;
    case Cmd::Quit: Stage->Quit(); break;
    case Cmd::Music: Stage->SwitchMusic(); break;
    case Cmd::LabelPlacement: FlipLabelPlacement(Sky, SkyStale); break;
    case Cmd::RealisticSky: FlipRealisticSky(Sky, SkyStale); break;
    case Cmd::Refraction: FlipRefraction(Sky, SkyStale); break;
    case Cmd::MilkyWay: FlipMilkyWay(Sky, SkyStale); break;
  }
}
