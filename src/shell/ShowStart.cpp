// Arming the player slot for a show: the slot belongs to the shell, so the
// show store's StartShow is defined here.
#include "AutoCommand.h"
#include "CommandCodes.h"
#include "Lecture.h"

void TLecture::StartShow(TPlayerSlot& player) const {
  player.Counter = 0;
  player.LeadCommand = 0;
  player.Command = Cmd::ShowStep;
  player.Active = true;
  player.HistoryCount = 0;
  player.HistoryIndex = 0;
  player.Kind = 2;
  player.Interval = 1;
  player.StatusText = Title.str();
}
