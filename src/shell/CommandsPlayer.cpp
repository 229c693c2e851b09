// The player slot: the star tool's choice of what to play, play, stop and
// single steps in either direction, and the automatic steps it dispatches
// (time flow, go-to with its history, show pages).
#include <cstdio>

#include "CommandCodes.h"
#include "FileIo.h"
#include "Interface.h"
#include "Lecture.h"
#include "SkyModel.h"
#include "StringTable.h"
#include "ViewState.h"

namespace {

void RecallView(TSkyloom& sky, const TViewRecord& r) {
  sky.Latitude = r.Latitude;
  sky.Longitude = r.Longitude;
  sky.Year = r.Year;
  sky.Month = r.Month;
  sky.Day = r.Day;
  sky.Hour = r.Hour;
  sky.Minute = r.Minute;
  sky.Second = r.Second;
  sky.ViewAlt = r.ViewAlt;
  sky.ViewAz = r.ViewAz;
}

// Arms the player slot for the loaded show: page steps by the show step.
void ArmShowPlayer(TPlayerSlot& Player, const TLecture& lecture) {
  const std::string status = lecture.Title.str();
  static_cast<TAutoCommand&>(Player) = TAutoCommand{};
  Player.LeadCommand = 0;
  Player.Command = Cmd::ShowStep;
  Player.Active = true;
  Player.HistoryCount = Player.HistoryIndex = 0;
  Player.Kind = 2;
  Player.Interval = 1;
  Player.StatusText = status;
}

}  // namespace

bool TViewState::PlayShowFile(const std::string& fileName, bool play) {
  const TShowLoadResult loaded = Lecture.LoadShow(ShowPath(fileName));
  if (loaded.Status == TShowStatus::Missing) {
    Report({ShowPath(fileName), "no such show", ""});
    return false;
  }
  if (!loaded.Message.empty()) std::fprintf(stderr, "%s\n", loaded.Message.c_str());
  Language = 0;
  Sky.English = 0;
  Lecture.StartShow();
  // The first page is shown at once, so that what was chosen is seen
  // before play starts (A plays on, X and W turn the pages).
  Lecture.JumpFrames(+1);
  SkyStale = true;
  ArmShowPlayer(Player, Lecture);
  TextShown = true;
  PlayMode = 1;
  RefreshInfoText();
  ViewLocked = true;
  if (play) ExecuteCommand(Cmd::Play);
  return loaded.Loaded();
}

void TViewState::FollowStarTool(const TStarToolAnswer& answer) {
  if (answer.Result == 1 && !answer.ShowFile.empty()) {
    // "确定" on a show plays it; S stops and A plays on, as for any show.
    PlayShowFile(answer.ShowFile, true);
  } else if (answer.Result == 4 && !answer.ShowFile.empty()) {
    Stage->ShowRecord(answer.ShowFile);
  } else if (answer.Result == 2) {
    // "自动找到：" confirmed: the trip sets off at once, as a trip asked
    // for on the command line does; S stops it and A goes on.
    StartGoTo(answer.SelectedId);
  } else if (answer.Result == 3) {
    PlayMode = 3;
    SyncLayerButtons(3);
    Player.Counter = 0;
    Player.Command = Cmd::TimeStep;
    Player.LeadCommand = 0;
    Player.Interval = 1;
    Player.Kind = 1;
    Player.StatusText = LoadStr(17);
    RefreshInfoText();
    TextShown = false;
    ViewLocked = false;
  }
}

void TViewState::PlayerCommand(int code) {
  TSkyloom& sky = Sky;
  switch (code) {
    case Cmd::StarTool:
      Stage->ShowStarTool([this](int id) { GoToTarget(id, false); },
                          [this](const TStarToolAnswer& answer) { FollowStarTool(answer); });
      break;
    case Cmd::StepForward:
      Playing = false;
      PlayDirection = 1;
      Player.Active = true;
      break;
    case Cmd::Play:
      Playing = true;
      PlayDirection = 1;
      if (PlayMode == 2) {
        Player.HistoryIndex = Player.HistoryCount = 0;
        GoToSteps = 0;
      }
      if (PlayMode == 1) ViewLocked = true;
      Player.Active = true;
      break;
    case Cmd::Stop:
      Player.Active = false;
      break;
    case Cmd::PlayBackward:
      Playing = true;
      PlayDirection = -1;
      Player.Active = true;
      break;
    case Cmd::StepBackward:
      Playing = false;
      PlayDirection = -1;
      Player.Active = true;
      break;
    case Cmd::TimeStep:
      StepTime();
      break;
    case Cmd::GoToStep:  // go-to step: forward toward the target, backward along the history
      if (PlayDirection < 0) {
        if (Player.HistoryIndex < 1) {
          Player.Command = Cmd::PlayerDone;
        } else {
          RecallView(sky, Player.History[static_cast<size_t>(Player.HistoryIndex)]);
          --Player.HistoryIndex;
          Player.Command = Cmd::GoToCarryOn;
        }
      } else {
        Player.HistoryCount = Player.HistoryIndex;
        StepGoTo();
      }
      break;
    case Cmd::GoToCarryOn:
      break;
    case Cmd::PlayerDone:
      Player.Active = false;
      break;
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
          const bool panelUp = Interface.Sections[2].Y < 564;
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
      break;
    }
  }
}
