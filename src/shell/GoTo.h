// Go-to, time flow and constellation picking: the parts of the view-changing
// commands that are more than a single assignment. The routines themselves
// are members of the view state (StepTime, StepGoTo, GoToTarget,
// SyncLayerButtons, PickConstellation); these are the pieces they share and
// that tests check on their own.
#pragma once

#include <cstdint>
#include <string>

class TInterface;
class TSkyloom;

// The move of one go-to step toward the target at azimuth `targetAz`
// (radians, [0, 2pi]) and altitude `targetAlt` from the view at `viewAz`,
// `viewAlt`: Cmd::TurnLeft (toward growing azimuth), Cmd::TurnRight,
// Cmd::Raise, Cmd::Lower, or Cmd::PlayerDone when arrived (within 10
// degrees to either side, and at most 10 degrees above the target). A
// direction that is not a number counts as arrived, so a go-to always ends.
int ChooseGoToMove(double viewAz, double viewAlt, double targetAz, double targetAlt);

// Azimuth ([0, 2pi)) and altitude ((-pi, pi]) of a horizon-frame direction.
double DirectionAzimuth(double x, double y);
double DirectionAltitude(double x, double y, double z);

// Switches the ground layer: the ground bit of the layer mask, the ground
// switch and the on look of the horizon button (region 9).
void SetGroundLayer(TSkyloom& sky, TInterface& ui, bool on);

// The longest go-to: every trip that can arrive does so in far fewer steps
// (at most about 90 with the 4-degree step); one that has not arrived by
// then is stopped.
constexpr int MaxGoToSteps = 3000;

// Chinese names of the solar-system bodies 1..10 (GBK).
const std::string& BodyName(int body);
