// The player slot: the star tool's choice of what to play, play, stop and
// single steps in either direction, and the automatic steps it dispatches
// (time flow, go-to with its history, show pages).
#include <cstdio>

#include "DialogEntry.h"
#include "CommandCodes.h"
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

bool TFormSky::PlayShowFile(const std::string& fileName, bool play) {
  const TShowLoadResult loaded = Lecture.LoadShow(ShowPath(fileName));
  if (loaded.Status == TShowStatus::Missing) {
    std::fprintf(stderr, "skyloom: %s: no such show\n", ShowPath(fileName).c_str());
    return false;
  }
  if (!loaded.Message.empty()) std::fprintf(stderr, "%s\n", loaded.Message.c_str());
  Language = 0;
  SkyModel->English = 0;
  Lecture.StartShow();
  // The first page is shown at once, so that what was chosen is seen
  // before play starts (A plays on, X and W turn the pages).
  Lecture.JumpFrames(+1);
  SkyStale = true;
  ArmShowPlayer();
  TextShown = true;
  PlayMode = 1;
  RefreshInfoText();
  ViewLocked = true;
  if (play) ExecuteCommand(108);
  return loaded.Loaded();
}

bool TFormSky::PlayerCommand(int code) {
  TSkyloom& sky = *SkyModel;
  switch (code) {
    case Cmd::StarTool: {
      const bool active = Player.Active;
      Player.Active = false;
      const TStarToolAnswer answer =
          RunStarToolDialog(*this, [this](int id) { GoToTarget(id, false); });
      if (answer.Result == 1 && !answer.ShowFile.empty()) {
        // "确定" on a show plays it; S stops and A plays on, as for any show.
        PlayShowFile(answer.ShowFile, true);
        return true;
      } else if (answer.Result == 2) {
        // "自动找到：" confirmed: the trip sets off at once, as a trip asked
        // for on the command line does; S stops it and A goes on.
        StartGoTo(answer.SelectedId);
        return true;
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
    case Cmd::StepForward:
      Playing = false;
      PlayDirection = 1;
      Player.Active = true;
      return true;
    case Cmd::Play:
      Playing = true;
      PlayDirection = 1;
      if (PlayMode == 2) {
        Player.HistoryIndex = Player.HistoryCount = 0;
        GoToSteps = 0;
      }
      if (PlayMode == 1) ViewLocked = true;
      Player.Active = true;
      return true;
    case Cmd::Stop:
      Player.Active = false;
      return true;
    case Cmd::PlayBackward:
      Playing = true;
      PlayDirection = -1;
      Player.Active = true;
      return true;
    case Cmd::StepBackward:
      Playing = false;
      PlayDirection = -1;
      Player.Active = true;
      return true;
    case Cmd::TimeStep:
      StepTime();
      return true;
    case Cmd::GoToStep:  // go-to step: forward toward the target, backward along the history
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
    case Cmd::GoToCarryOn:
      return true;
    case Cmd::PlayerDone:
      Player.Active = false;
      return true;
    case Cmd::ShowStep: {  // one step of the show
      const int page = Lecture.Current;
      if ((page >= Lecture.Count && PlayDirection > 0) || (page <= 0 && PlayDirection < 0)) {
        Player.Active = false;
        RefreshInfoText();
      } else {
        if (PlayDirection < 0) {
          Lecture.JumpFrames(-1);
        } else if (!Playing) {
          Lecture.JumpFrames(+1);
        } else {
          // A text longer than the story panel's five lines scrolls a line
          // every ReadFramesPerLine frames while the page plays, and the
          // page waits at its end until the last line has been shown.
          const bool panelUp = Sections[2].Y < 564;
          const int hidden = panelUp ? Info.LineCount - Info.TopLine - 5 : 0;
          if (hidden > 0 && ++ReadFrames >= ReadFramesPerLine) {
            ReadFrames = 0;
            ++Info.TopLine;
          }
          if (Lecture.StepShow() && hidden <= 0) Lecture.NextFrame();
        }
        if (Lecture.Current != page && Lecture.IsNewPage(Lecture.Current)) {
          RefreshInfoText();
          ReadFrames = 0;
        }
      }
      SkyStale = true;
      return true;
    }
    default:
      return false;
  }
}
