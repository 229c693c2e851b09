#include "ControlTips.h"

#include "CommandCodes.h"
#include "Gbk.h"
#include "GlobalParams.h"

namespace {

struct TTip {
  int Command;
  const char* Chinese;
  const char* English;
  const char* Key;  // a key beside the key table's (UTF-8), or nullptr
};

constexpr TTip Tips[] = {
    {Cmd::Language, "中/英文", "Chinese/English", nullptr},
    {Cmd::StarNames, "星名", "Names", nullptr},
    {Cmd::Settings, "观测设置", "Settings", nullptr},
    {Cmd::AuxLines, "辅助线", "Guide lines", nullptr},
    {Cmd::Ground, "地平线", "Horizon", nullptr},
    {Cmd::StarTool, "观星工具", "Star tool", nullptr},
    {Cmd::StepForward, "单步前进", "Step forward", nullptr},
    {Cmd::Play, "播放", "Play", nullptr},
    {Cmd::Stop, "停止", "Stop", nullptr},
    {Cmd::PlayBackward, "倒放", "Play backward", nullptr},
    {Cmd::StepBackward, "单步后退", "Step back", nullptr},
    {Cmd::TurnLeft, "向左转", "Turn left", "←"},
    {Cmd::TurnRight, "向右转", "Turn right", "→"},
    {Cmd::Raise, "抬高视线", "Look higher", "↑"},
    {Cmd::Lower, "降低视线", "Look lower", "↓"},
    {Cmd::Help, "帮助", "Help", "F1"},
    {Cmd::About, "关于", "About", nullptr},
    {Cmd::Quit, "退出", "Quit", nullptr},
    {Cmd::PanelToggle, "放下/升起下面板", "Lower/raise the panel", nullptr},
    {Cmd::TextLineUp, "文字上翻", "Text up", nullptr},
    {Cmd::TextLineDown, "文字下翻", "Text down", nullptr},
    {Cmd::LabelPlacement, "标签避让", "Label placement", nullptr},
    {Cmd::RealisticSky, "真实天空", "Realistic sky", nullptr},
    {Cmd::MilkyWay, "银河", "Milky Way", nullptr},
    {Cmd::ZoomIn, "放大", "Zoom in", "+"},
    {Cmd::ZoomOut, "缩小", "Zoom out", "−"},
    {Cmd::AzimuthDial, "方位刻度盘：按住拖动转向", "Azimuth dial: drag to turn", nullptr},
    {Cmd::AltitudeDial, "仰角刻度盘：按住拖动俯仰", "Altitude dial: drag to tilt", nullptr},
};

// The key of the key table that sends `command` ("D"), or "".
std::string TableKey(const TKeyTable& keys, int command) {
  for (const TKeyEntry& e : keys) {
    if (!e.Enabled || e.Command != command) continue;
    if (e.Key >= 'A' && e.Key <= 'Z') return std::string(1, static_cast<char>(e.Key));
  }
  return "";
}

}  // namespace

std::string ControlTip(const TKeyTable& keys, int command, bool english) {
  for (const TTip& t : Tips) {
    if (t.Command != command) continue;
    std::string key = t.Key ? Utf8ToGbk(t.Key) : TableKey(keys, command);
    std::string text = english ? t.English : Utf8ToGbk(t.Chinese);
    if (key.empty()) return text;
    return english ? text + " (" + key + ")" : text + Utf8ToGbk("（") + key + Utf8ToGbk("）");
  }
  return "";
}
