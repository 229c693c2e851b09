#include "CommandTable.h"

#include <algorithm>
#include <array>

#include "CommandCodes.h"
#include "ViewState.h"

namespace {

using V = TViewState;
constexpr bool Locked = true, Free = false;
constexpr bool Stale = true, Same = false;

// In code order (FindCommand searches by halves).
constexpr std::array<TCommandRow, 51> Rows{{
    {Cmd::PointerLeft, &V::PanelCommand, Free, Same},
    {Cmd::About, &V::ProgramCommand, Free, Same},
    {Cmd::AzimuthDial, &V::ViewCommand, Locked, Stale},
    {Cmd::AltitudeDial, &V::ViewCommand, Locked, Same},  // stale unless the pointer is at the centre
    {Cmd::PickConstellation, &V::ViewCommand, Locked, Stale},
    {Cmd::TextLineUp, &V::TextCommand, Free, Same},
    {Cmd::TextLineDown, &V::TextCommand, Free, Same},
    {Cmd::TextThumbDrag, &V::TextCommand, Free, Same},
    {Cmd::Language, &V::ViewCommand, Locked, Stale},
    {Cmd::StarNames, &V::ViewCommand, Locked, Same},
    {Cmd::Settings, &V::ViewCommand, Locked, Stale},
    {Cmd::AuxLines, &V::ViewCommand, Locked, Same},
    {Cmd::Ground, &V::ViewCommand, Locked, Stale},
    {Cmd::StarTool, &V::PlayerCommand, Free, Same},
    {Cmd::StepForward, &V::PlayerCommand, Free, Same},
    {Cmd::Play, &V::PlayerCommand, Free, Same},
    {Cmd::Stop, &V::PlayerCommand, Free, Same},
    {Cmd::PlayBackward, &V::PlayerCommand, Free, Same},
    {Cmd::StepBackward, &V::PlayerCommand, Free, Same},
    {Cmd::TurnLeft, &V::ViewCommand, Locked, Stale},
    {Cmd::Raise, &V::ViewCommand, Locked, Stale},
    {Cmd::TurnRight, &V::ViewCommand, Locked, Stale},
    {Cmd::Lower, &V::ViewCommand, Locked, Stale},
    {Cmd::ZoomIn, &V::ViewCommand, Locked, Stale},
    {Cmd::ZoomOut, &V::ViewCommand, Locked, Stale},
    {Cmd::ZoomInAtPointer, &V::ViewCommand, Locked, Stale},
    {Cmd::ZoomOutAtPointer, &V::ViewCommand, Locked, Stale},
    {Cmd::SkyDrag, &V::ViewCommand, Locked, Stale},
    {Cmd::Help, &V::ProgramCommand, Free, Same},
    {Cmd::Minimize, &V::ProgramCommand, Free, Same},
    {Cmd::Quit, &V::ProgramCommand, Free, Same},
    {Cmd::PanelToggle, &V::PanelCommand, Free, Same},
    {Cmd::TimeStep, &V::PlayerCommand, Free, Stale},
    {Cmd::GoToStep, &V::PlayerCommand, Free, Stale},
    {Cmd::GoToCarryOn, &V::PlayerCommand, Free, Same},
    {Cmd::PlayerDone, &V::PlayerCommand, Free, Same},
    {Cmd::PanelSlideDown, &V::PanelCommand, Free, Stale},
    {Cmd::PanelSlideUp, &V::PanelCommand, Free, Stale},
    {Cmd::TextScrollTick, &V::TextCommand, Free, Same},
    {Cmd::ConstStarNames, &V::PopupCommand, Free, Same},
    {Cmd::ConstLines, &V::PopupCommand, Free, Same},
    {Cmd::ConstGreekNames, &V::PopupCommand, Free, Same},
    {Cmd::ConstBoundary, &V::PopupCommand, Free, Same},
    {Cmd::Deselect, &V::PopupCommand, Free, Same},  // stale unless a show keeps its selection
    {Cmd::ConstHighlight, &V::PopupCommand, Free, Same},
    {Cmd::LabelPlacement, &V::ProgramCommand, Free, Stale},
    {Cmd::RealisticSky, &V::ProgramCommand, Free, Stale},
    {Cmd::Refraction, &V::ProgramCommand, Free, Stale},
    {Cmd::MilkyWay, &V::ProgramCommand, Locked, Stale},
    {Cmd::Music, &V::ProgramCommand, Free, Same},
    {Cmd::ShowStep, &V::PlayerCommand, Free, Stale},
}};

constexpr bool InCodeOrder() {
  for (size_t i = 1; i < Rows.size(); ++i)
    if (Rows[i].Code < Rows[i - 1].Code) return false;
  return true;
}

}  // namespace

std::span<const TCommandRow> CommandRows() { return Rows; }

const TCommandRow* FindCommand(int code) {
  static_assert(InCodeOrder(), "the command table is searched by halves");
  const auto it = std::lower_bound(Rows.begin(), Rows.end(), code,
                                   [](const TCommandRow& r, int c) { return r.Code < c; });
  return it != Rows.end() && it->Code == code ? &*it : nullptr;
}
