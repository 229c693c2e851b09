// The player slot: the star tool's choice of what to play, play, stop and
// single steps in either direction, and the automatic steps it dispatches
// (time flow, go-to with its history, show pages).
#include "DialogEntry.h"
#include "FormSky.h"
#include "Lecture.h"
#include "SkyModel.h"
#include "StringTable.h"

namespace {

void RecallView(TSkyloom& sky, const TViewRecord& r) {
  sky.Latitude = r.Latitude;
  sky.Longitude = r.Longitude;
  sky.Year = r.Year;
  sky.Month = r.Month;
  sky.Day = r.Day;
  sky.Hour = r.Hour;
  sky.Minute = r.Minute;
  sky.ViewAlt = r.ViewAlt;
  sky.ViewAz = r.ViewAz;
}

// Arms the player slot for the loaded show: page steps by command 3002.
void ArmShowPlayer() {
  const std::string status = Lecture.Title.str();
  static_cast<TAutoCommand&>(Player) = TAutoCommand{};
  Player.LeadCommand = 0;
  Player.Command = 3002;
  Player.Active = true;
  Player.HistoryCount = Player.HistoryIndex = 0;
  Player.Kind = 2;
  Player.Interval = 1;
  Player.StatusText = status;
}

}  // namespace

bool TFormSky::PlayerCommand(int code) {
  TSkyloom& sky = *SkyModel;
  switch (code) {
    case 106: {  // the star tool
      const bool active = Player.Active;
      Player.Active = false;
      const TStarToolAnswer answer =
          RunStarToolDialog(*this, [this](int id) { GoToTarget(id, false); });
      if (answer.Result == 1 && !answer.ShowFile.empty()) {
        Language = 0;
        sky.English = 0;
        Lecture.LoadShow(std::string(ShowFolder) + "/" + answer.ShowFile);
        Lecture.StartShow();
        ArmShowPlayer();
        TextShown = true;
        PlayMode = 1;
        RefreshInfoText();
        ViewLocked = true;
      } else if (answer.Result == 2) {
        PlayMode = 2;
        SyncLayerButtons(2);
        sky.UpdateSky();
        AimAt(answer.SelectedId);
        GoToTarget(answer.SelectedId, true);
        RefreshInfoText();
        TextShown = false;
        ViewLocked = false;
      } else if (answer.Result == 3) {
        PlayMode = 3;
        SyncLayerButtons(3);
        Player.Counter = 0;
        Player.Command = 1001;
        Player.LeadCommand = 0;
        Player.Interval = 1;
        Player.Kind = 1;
        Player.StatusText = LoadStr(17);
        RefreshInfoText();
        TextShown = false;
        ViewLocked = false;
      }
      Player.Active = active;
      return true;
    }
    case 107:  // one step forward
      Playing = false;
      PlayDirection = 1;
      Player.Active = true;
      return true;
    case 108:  // play
      Playing = true;
      PlayDirection = 1;
      if (PlayMode == 2) {
        Player.HistoryIndex = Player.HistoryCount = 0;
        GoToSteps = 0;
      }
      if (PlayMode == 1) ViewLocked = true;
      Player.Active = true;
      return true;
    case 109:  // stop
      Player.Active = false;
      return true;
    case 110:  // play backward
      Playing = true;
      PlayDirection = -1;
      Player.Active = true;
      return true;
    case 111:  // one step backward
      Playing = false;
      PlayDirection = -1;
      Player.Active = true;
      return true;
    case 1001:
      StepTime();
      return true;
    case 1002:  // go-to step: forward toward the target, backward along the history
      if (PlayDirection < 0) {
        if (Player.HistoryIndex < 1) {
          Player.Command = 1004;
        } else {
          RecallView(sky, Player.History[static_cast<size_t>(Player.HistoryIndex)]);
          --Player.HistoryIndex;
          Player.Command = 1003;
        }
      } else {
        Player.HistoryCount = Player.HistoryIndex;
        StepGoTo();
      }
      SkyStale = true;
      return true;
    case 1003:  // the player carries on
      return true;
    case 1004:  // the player has finished
      Player.Active = false;
      return true;
    case 3002: {  // one step of the show
      const int page = Lecture.Current;
      if ((page >= Lecture.Count && PlayDirection > 0) || (page <= 0 && PlayDirection < 0)) {
        Player.Active = false;
        RefreshInfoText();
      } else {
        if (PlayDirection < 0) {
          Lecture.JumpFrames(-1);
        } else if (!Playing) {
          Lecture.JumpFrames(+1);
        } else if (Lecture.StepShow()) {
          Lecture.NextFrame();
        }
        if (Lecture.Current != page && Lecture.IsNewPage(Lecture.Current)) RefreshInfoText();
      }
      SkyStale = true;
      return true;
    }
    default:
      return false;
  }
}
