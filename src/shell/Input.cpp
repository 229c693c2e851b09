// Pointer and keys of the main form: every pointer event goes through the
// region machine (src/ui) and ApplyRegionEvent; every key through the key
// table; the popup menu's items through PopupItemClick. All of them end in
// ExecuteCommand.
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "CommandCodes.h"
#include "FormSky.h"
#include "Gbk.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "SkyModel.h"
#include "StringTable.h"

namespace {

const TRegion& Look(const TInterface& ui, int region) {
  static const TRegion none;
  return region >= 1 && region <= MaxRegions ? ui.Regions[region] : none;
}

int TypeOf(const TInterface& ui, int region) { return Look(ui, region).Type; }

void SetBits(TInterface& ui, int region, int bits) {
  if (region >= 1 && region <= MaxRegions) ui.Regions[region].State |= bits;
}

void ClearBits(TInterface& ui, int region, int bits) {
  if (region >= 1 && region <= MaxRegions) ui.Regions[region].State &= ~bits;
}

void StartHoverRepeat(TAutoCommand& HoverRepeat, int command, int interval) {
  HoverRepeat.Active = true;
  HoverRepeat.Command = command;
  HoverRepeat.Interval = interval < 1 ? 1 : interval;
  HoverRepeat.Counter = 0;
  HoverRepeat.Kind = 1;
}

// The switch a popup command flips, or nullptr.
bool* SwitchOf(TPopupSwitches& p, int command) {
  switch (command) {
    case Cmd::ConstHighlight: return &p.ConstellationHighlight;
    case Cmd::ConstStarNames: return &p.ConstellationStarNames;
    case Cmd::ConstLines: return &p.ConstellationLines;
    case Cmd::ConstGreekNames: return &p.ConstellationGreekNames;
    case Cmd::ConstBoundary: return &p.ConstellationBoundary;
    default: return nullptr;
  }
}

// The sky area's region: a press there picks a constellation on release,
// unless the pointer moved the sky first.
bool OnSky(const TInterface& ui, int region) {
  return region >= 1 && region <= MaxRegions && ui.Regions[region].Command == Cmd::PickConstellation;
}

// Virtual-key codes of the zoom keys.
constexpr int KeyPageUp = 0x21, KeyPageDown = 0x22, KeyPadPlus = 0x6B, KeyPadMinus = 0x6D;
constexpr int KeyPlus = 0xBB, KeyMinus = 0xBD;  // the main keyboard's =/+ and -

// Pixels the pointer may move with the button down and still click.
constexpr int ClickSlack = 4;

// Whether (x, y) is within `reach` pixels (across plus down) of the point.
bool Near(const TSkyloom& sky, const TSkyPoint& p, int x, int y, int reach) {
  if (!p.Visible || p.Z < 0) return false;
  const int sx = sky.ScreenWidth / 2 - static_cast<int>(std::lround(p.Y));
  const int sy = sky.ScreenHeight / 2 + static_cast<int>(std::lround(p.X));
  return std::abs(x - sx) + std::abs(y - sy) < reach;
}

std::string MenuLabel(const std::string& gbkCaption, int tag) {
  return GbkToUtf8(gbkCaption) + "##MenuItem" + std::to_string(tag);
}

// The English caption of a menu command (UTF-8), "" for none.
const char* EnglishMenuCaption(int command) {
  switch (command) {
    case Cmd::ConstStarNames: return "Bright star names";
    case Cmd::ConstLines: return "Figure lines";
    case Cmd::ConstGreekNames: return "Greek letters";
    case Cmd::ConstNebulaNames: return "Nebula names";
    case Cmd::ConstBoundary: return "Boundary";
    case Cmd::Deselect: return "Deselect";
    default: return "";
  }
}

}  // namespace

int TFormSky::ObjectAt(int x, int y) const {
  const TSkyloom& sky = Sky;
  // 10 pixels at 1x, grown with the sky's pictures.
  const int reach = static_cast<int>(std::lround(10 * std::clamp(Layout.Scale, 1.0, 3.0)));
  int found = 0;
  for (int i = 1; i <= MaxMessier; ++i) {
    if (sky.MessierNames[i].Code.empty()) continue;
    if (Near(sky, sky.Messier[i], x, y, reach)) {
      found = i;
      break;
    }
  }
  // A body within reach wins over a deep-sky object.
  for (int j = 1; j <= 10; ++j)
    if (Near(sky, sky.Planets[j], x, y, reach)) return 200 + j;
  return found;
}

void TFormSky::FormMouseDown(int button, int /*shift*/, int x, int y) {
  TPointerState& p = Interface.Pointer;
  p.X = x;
  p.Y = y;
  p.Button = button;
  p.MouseState = 1;
  p.Dragging = 0;
  PointerAt = {x, y, button};
  GrabX = x;
  GrabY = y;
  SkyHeld = false;
  ApplyRegionEvent(Interface.PressRegion());
  p.PreviousX = x;
  p.PreviousY = y;
}

void TFormSky::FormMouseMove(int /*shift*/, int x, int y) {
  TPointerState& p = Interface.Pointer;
  p.X = x;
  p.Y = y;
  PointerAt.X = x;
  PointerAt.Y = y;
  if (p.MouseState == 1 && p.Button == 0 && OnSky(Interface, p.Captured) &&
      (SkyHeld || std::abs(x - GrabX) + std::abs(y - GrabY) > ClickSlack)) {
    ExecuteCommand(Cmd::SkyDrag);
  } else if (p.MouseState == 1 && p.Captured > 0 && TypeOf(Interface, p.Captured) == RegionType::Drag) {
    p.Dragging = 1;
    ApplyRegionEvent(Interface.DragRegionMove());
  } else {
    p.Dragging = 0;
    const TRegionAction action = Interface.HitTestRegions(x, y, Layout);
    if (CursorNumber != 0) SetCursor(0);
    HoverObject = ObjectAt(x, y);
    HoverX = x;
    HoverY = y;
    SetCursor(HoverObject > 0 ? -1 : 0);
    ApplyRegionEvent(action);
  }
  p.PreviousX = x;
  p.PreviousY = y;
}

void TFormSky::FormMouseUp(int button, int /*shift*/, int x, int y) {
  TPointerState& p = Interface.Pointer;
  p.X = x;
  p.Y = y;
  p.Button = button;
  p.MouseState = 0;
  PointerAt = {x, y, button};
  TRegionAction action;
  // A drag of the sky ends without picking.
  if (SkyHeld) {
    SkyHeld = false;
    p.Captured = 0;
  }
  if (p.Dragging && p.Captured > 0 && TypeOf(Interface, p.Captured) == RegionType::Drag) {
    p.Dragging = 0;
    action = Interface.DragRegionEnd();  // the capture stays
  } else {
    action = Interface.ReleaseRegion();
  }
  ApplyRegionEvent(action);
  p.PreviousX = x;
  p.PreviousY = y;
}

void TFormSky::FormKeyDown(int key, int /*shift*/) {
  if (key == 0) return;
  for (const TKeyEntry& e : Parameters.KeyTable) {
    if (e.Key != key) continue;
    // A table entry naming no region slot changes no look.
    if (e.Region >= 1 && e.Region <= MaxRegions) Interface.Regions[e.Region].State ^= e.LookMask;
    ExecuteCommand(e.Command);
    return;
  }
  // F1 opens the help whatever the key table (a saved one may predate it).
  constexpr int KeyF1 = 0x70;
  if (key == KeyF1) ExecuteCommand(Cmd::Help);
  // The zoom keys (+/-, keypad +/-, Page Up/Page Down) likewise.
  switch (key) {
    case KeyPlus: case KeyPadPlus: case KeyPageUp: ExecuteCommand(Cmd::ZoomIn); break;
    case KeyMinus: case KeyPadMinus: case KeyPageDown: ExecuteCommand(Cmd::ZoomOut); break;
    default: break;
  }
}

void TFormSky::FormMouseWheel(int notches) {
  // Over the story text, its scroll buttons and the subtitle strip the
  // wheel scrolls the text a line a notch; over the sky it zooms about the
  // pointer, a step a notch (up narrows the field).
  constexpr int TextRegions[] = {20, 25, 26, 27, 28};
  bool overText = false;
  for (int r : TextRegions) overText |= Interface.Pointer.Region == r;
  if (notches == 0) return;
  if (!overText) {
    if (!OnSky(Interface, Interface.Pointer.Region)) return;
    const int zoom = notches > 0 ? Cmd::ZoomInAtPointer : Cmd::ZoomOutAtPointer;
    for (int i = 0; i < std::min(std::abs(notches), 10); ++i) ExecuteCommand(zoom);
    return;
  }
  const int command = notches > 0 ? Cmd::TextLineUp : Cmd::TextLineDown;
  for (int i = 0; i < std::min(std::abs(notches), 10); ++i) ExecuteCommand(command);
}

void TFormSky::PlaySound(const char* name) {
  if (LogCommands) SoundLog.emplace_back(name);
  DXWaveList1.Play(name);
}

void TFormSky::ApplyRegionEvent(const TRegionAction& a) {
  TPointerState& p = Interface.Pointer;
  const int r = p.Region, prev = p.PreviousRegion;
  // Off a hover-repeat region: the repeat stops.
  if ((r == 0 || TypeOf(Interface, r) != RegionType::HoverRepeat) && TypeOf(Interface, prev) == RegionType::HoverRepeat)
    ExecuteCommand(Cmd::PointerLeft);
  // Off the previous region: highlights and pressed looks go (a toggle
  // keeps its on look).
  if ((r == 0 || r != prev) && prev > 0) {
    for (int i = 1; i <= MaxRegions; ++i) {
      Interface.Regions[i].State &= ~RegionLook::Highlighted;
      if (Interface.Regions[i].Type != RegionType::Toggle) Interface.Regions[i].State &= ~RegionLook::On;
    }
  }
  // The event itself.
  switch (a.Event) {
    case RegionEvent::Execute:
      if (TypeOf(Interface, r) == RegionType::HoverRepeat && HoverRepeat.Kind < 2)
        StartHoverRepeat(HoverRepeat, a.Command, Look(Interface, r).Interval);
      if (TypeOf(Interface, r) == RegionType::HoldRepeat) {
        StartHoverRepeat(HoverRepeat, a.Command, Look(Interface, r).Interval);
        PlaySound("Click");
        SetBits(Interface, r, RegionLook::On);
      }
      ExecuteCommand(a.Command);
      if (TypeOf(Interface, r) != RegionType::HoldRepeat) ClearBits(Interface, r, RegionLook::On);
      break;
    case RegionEvent::LeftRepeat:
      ExecuteCommand(Cmd::PointerLeft);
      break;
    case RegionEvent::Entered:
      PlaySound("Choose");
      for (int i = 1; i <= MaxRegions; ++i) Interface.Regions[i].State &= ~RegionLook::Highlighted;
      SetBits(Interface, r, RegionLook::Highlighted);
      if (r == p.Captured) {
        SetBits(Interface, r, RegionLook::Highlighted | RegionLook::On);
      } else {
        ClearBits(Interface, p.Captured, RegionLook::On);
      }
      break;
    case RegionEvent::PushPressed:
      PlaySound("Click");
      SetBits(Interface, r, RegionLook::On);
      break;
    case RegionEvent::ToggleOn:
      PlaySound("Click");
      SetBits(Interface, r, RegionLook::On);
      ExecuteCommand(a.Command);
      break;
    case RegionEvent::ToggleOff:
      PlaySound("Click");
      ClearBits(Interface, r, RegionLook::On);
      ExecuteCommand(a.Command);
      break;
    default:
      break;
  }
  p.PreviousRegion = r;
}

void TFormSky::BuildPopupMenu() {
  PopupMenu1.clear();
  for (int tag = 1; tag <= MenuTableSize; ++tag) {
    const TMenuEntry& e = Parameters.MenuTable[tag];
    if (e.Shown <= 0) continue;
    TPopupItem item;
    item.Tag = tag;
    item.Checked = e.Checked != 0;
    const std::string caption = e.Caption.str();
    item.Separator = caption == "-";
    item.Label = MenuLabel(caption, tag);
    const char* english = EnglishMenuCaption(e.Command);
    item.EnglishLabel = *english ? MenuLabel(english, tag) : item.Label;
    // The drawing follows the switch, so the switch starts as the mark.
    if (bool* s = SwitchOf(Popup, e.Command)) *s = item.Checked;
    PopupMenu1.push_back(std::move(item));
  }
}

bool TFormSky::PopupItemChecked(int tag) const {
  if (tag < 1 || tag > MenuTableSize) return false;
  if (const bool* s = SwitchOf(const_cast<TPopupSwitches&>(Popup), Parameters.MenuTable[tag].Command))
    return *s;
  for (const TPopupItem& item : PopupMenu1)
    if (item.Tag == tag) return item.Checked;
  return false;
}

void TFormSky::PopupItemClick(int tag) {
  if (tag < 1 || tag > MenuTableSize) return;
  const TMenuEntry& e = Parameters.MenuTable[tag];
  ExecuteCommand(e.Command);
  if (e.Toggle != 1) return;
  for (TPopupItem& item : PopupMenu1)
    if (item.Tag == tag) item.Checked = !item.Checked;
}

void TFormSky::DrawPopupMenu() {
  // A right click on a constellation opens the menu at the pointer, titled
  // with the constellation's name.
  if (PopupPending && !ImGuiHost.PointerPending()) {
    PopupPending = false;
    const int sel = Sky.SelConst;
    if (sel >= 1 && sel <= 99 && !PopupMenu1.empty()) {
      for (TPopupItem& item : PopupMenu1) {
        if (item.Tag != 1) continue;
        const std::string name = Trim(Sky.Consts[sel].Name.view()) + LoadStr(23);
        Parameters.MenuTable[1].Caption.set(name);
        item.Label = MenuLabel(name, 1);
        item.EnglishLabel = MenuLabel(Trim(Sky.Consts[sel].EName.view()) + " (highlight)", 1);
      }
      ImGui::SetNextWindowPos(
          ImVec2(static_cast<float>(PointerAt.X), static_cast<float>(PointerAt.Y)));
      ImGui::OpenPopup("PopupMenu1");
    }
  }
  if (!ImGui::BeginPopup("PopupMenu1")) return;
  // Esc closes the menu as a click elsewhere does.
  if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false)) ImGui::CloseCurrentPopup();
  // An open menu is drawn every tick: ImGui measures a new menu in its
  // first frame and shows it from the second, and it follows the pointer.
  OverlayFrames = 2;
  for (const TPopupItem& item : PopupMenu1) {
    if (item.Separator) {
      ImGui::Separator();
    } else if (ImGui::MenuItem((Sky.English == 1 ? item.EnglishLabel : item.Label).c_str(),
                               nullptr, PopupItemChecked(item.Tag))) {
      PopupItemClick(item.Tag);
    }
  }
  ImGui::EndPopup();
}
