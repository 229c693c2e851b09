// Names of the pictures the program asks its image libraries for, with their
// frame counts. The drawing code uses these constants; the art generator and
// its tests walk the tables to make sure every name is there.
#pragma once

namespace ImageNames {

struct Entry {
  const char* Name;
  int Frames;
};

// "LoadImg.rxf" (DXImageList): sky, ground and lower panel.
inline constexpr const char* StarShine = "StarShine";   // 7 frames 20x20, 0 brightest
inline constexpr const char* StarBall = "StarBall";     // 8 frames 10x10, 0 brightest
inline constexpr const char* CloudImg = "CloudImg";     // deep-sky mist, stretched to 20x20
inline constexpr const char* Sun = "Sun";               // 100x100, centred on the Sun
inline constexpr const char* Ground = "Ground";         // 800x600 landscape below the horizon
inline constexpr const char* Tree = "Tree";             // 11 frames 46x46, foot at y = 23
inline constexpr const char* BoardList = "BoardList";   // 8 frames 46x46, post foot at the bottom
inline constexpr const char* StarTint = "StarTint";     // 5 x 7 frames 20x20: StarShine by colour
inline constexpr const char* BoardListEn = "BoardListEn";  // BoardList with English captions
inline constexpr const char* Panel = "Panel";           // 800x168 lower panel
inline constexpr const char* StoryBack = "StoryBack";   // behind the information text
inline constexpr const char* ShowBar = "ShowBar";       // status line bar
inline constexpr const char* Comp = "Comp";             // azimuth dial, turned with the view
inline constexpr const char* Needle = "Needle";         // fixed mark over the azimuth dial
inline constexpr const char* StarBack = "StarBack";     // altitude dial plate
inline constexpr const char* Stick = "Stick";           // altitude dial stand
inline constexpr const char* Glass = "Glass";           // sighting tube, turned with the altitude

// Board frames by direction, as the boards table of the sky model uses them.
inline constexpr const char* BoardCaptions[8] = {"东", "东南", "东北", "南",
                                                 "西南", "西北", "西", "北"};
inline constexpr const char* BoardCaptionsEn[8] = {"E", "SE", "NE", "S", "SW", "NW", "W", "N"};
// StarTint frame = colour class x 7 + StarShine frame; classes from blue-white
// (0) through white, yellow-white and yellow-orange to orange-red (4).
inline constexpr int StarTintFrames = 7;

inline constexpr Entry kSkyImages[] = {
    {StarShine, 7}, {StarBall, 8}, {CloudImg, 1}, {Sun, 1},
    {Ground, 1},    {Tree, 11},    {BoardList, 8}, {StarTint, 35}, {BoardListEn, 8},
};
inline constexpr Entry kPanelImages[] = {
    {Panel, 1}, {StoryBack, 1}, {ShowBar, 1}, {Comp, 1},
    {Needle, 1}, {StarBack, 1}, {Stick, 1},  {Glass, 1},
};
// Lower-panel buttons (4 frames: normal, under the pointer, pressed or on,
// on and under the pointer). Sizes and meanings: data/art/images.md.
inline constexpr Entry kButtonImages[] = {
    {"BtnTurnLeft", 4},  {"BtnTurnRight", 4}, {"BtnRaise", 4},     {"BtnLower", 4},
    {"BtnLanguage", 4},  {"BtnStarNames", 4}, {"BtnLines", 4},     {"BtnHorizon", 4},
    {"BtnSettings", 4},  {"BtnStarTool", 4},  {"BtnHelp", 4},      {"BtnAbout", 4},
    {"BtnMinimize", 4},  {"BtnQuit", 4},      {"BtnPlay", 4},      {"BtnStop", 4},
    {"BtnPlayBack", 4},  {"BtnStepForward", 4}, {"BtnStepBack", 4}, {"BtnPanel", 4},
    {"BtnTextUp", 4},    {"BtnTextDown", 4},  {"TextThumb", 4},    {"BtnLabels", 4},
    {"BtnRealSky", 4},   {"BtnZoomIn", 4},    {"BtnZoomOut", 4},   {"BtnMilkyWay", 4},
};

// "Messia2.rxf" (DXImageList1): the picture under the pointer. Messier
// objects are named by their code ("M1", "M31", ...); bodies 1..10 by "Sun"
// and the body number.
inline constexpr int kMoonFrames = 59;
inline constexpr Entry kBodyImages[] = {
    {"Sun1", 1}, {"Sun2", kMoonFrames}, {"Sun3", 1}, {"Sun4", 1}, {"Sun5", 1},
    {"Sun6", 1}, {"Sun7", 1},           {"Sun8", 1}, {"Sun9", 1}, {"Sun10", 1},
};

// "Resource.rxf": the program's own resources.
inline constexpr Entry kResourceImages[] = {
    {"UpArrow", 1}, {"DownArrow", 1}, {"LeftArrow", 1}, {"RightArrow", 1},
    {"Logo", 1},    {"AboutPic", 1},
};

}  // namespace ImageNames
