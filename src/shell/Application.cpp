#include "Application.h"

#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "Angles.h"
#include "CommandLine.h"
#include "DataFolder.h"
#include "FileIo.h"
#include "FormLogo.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "Lecture.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "ObjectNames.h"
#include "Png.h"
#include "RecordRun.h"
#include "Script.h"
#include "SkyModel.h"
#include "Transforms.h"

namespace {

// The application title shown by the desktop for the window (UTF-8).
const char* const ApplicationTitle = "天文节目";

std::string Absolute(const std::string& cwd, const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  return (std::filesystem::path(cwd) / path).string();
}

// One picture: one frame, then the stage as it would be shown, saved.
class TOnePicture : public TStepSource {
 public:
  explicit TOnePicture(std::string file) : file_(std::move(file)) {}
  bool BeforeFrame(TFormSky& form) override {
    if (!framed_) return framed_ = true;
    std::string error;
    if (!form.DXDraw.SaveScreenshot(file_, error)) {
      Report({"", error, ""});
      failed_ = true;
    }
    return false;
  }
  bool Failed() const { return failed_; }

 private:
  std::string file_;
  bool framed_ = false;
  bool failed_ = false;
};

}  // namespace

void ApplyOptions(const TOptions& o, TFormSky& form) {
  TSkyloom& sky = form.Sky;
  if (o.Year) {
    sky.Year = *o.Year;
    sky.Month = *o.Month;
    sky.Day = *o.Day;
  }
  if (o.Hour) {
    sky.Hour = *o.Hour;
    sky.Minute = *o.Minute;
    sky.Second = o.Second.value_or(0);
  }
  if (o.Zone) sky.TimeZone = *o.Zone;
  if (o.LatDeg) sky.Latitude = *o.LatDeg * Deg;
  if (o.LonDeg) sky.Longitude = *o.LonDeg * Deg;
  if (o.LatDeg || o.LonDeg) sky.City = 0;  // a place of its own, not a listed city
  if (o.AzDeg) sky.ViewAz = *o.AzDeg * Deg;
  if (o.AltDeg) sky.ViewAlt = *o.AltDeg * Deg;
  if (o.FovDeg) {
    sky.FieldOfView = *o.FovDeg;
    ApplyFieldOfView(sky);
  }
  if (o.Scale) {
    sky.InterfaceScale = *o.Scale;
    form.ApplyInterfaceScale();
  }
  if (o.Mode1) sky.Mode1 = *o.Mode1;
  if (o.Mode2) sky.Mode2 = *o.Mode2;
  if (o.Names) sky.NamesOn = 1;
  if (o.Lines) sky.LinesOn = 1;
  if (o.Ground) sky.GroundOn = 1;
  if (o.NoGround) sky.GroundOn = 0;
  sky.DeriveShowFlags();
  if (o.Limit) sky.StarLimit = *o.Limit;
  if (o.English) {
    sky.English = 1;
    form.Language = 1;
  }
  if (o.Select) {
    sky.SelConst = *o.Select;
    if (sky.SelConst >= 1 && sky.SelConst <= 99) sky.LoadStory(sky.SelConst);
  }
  if (o.PanelDown) {
    form.SetPanelTop(PanelDownY);
    form.Interface.Regions[5].State |= 2;  // the panel button shows "raise"
  }
  ApplyDrawOptions(o, sky);
  if (o.Music) form.Parameters.MusicOn = *o.Music ? 1 : 0;
  form.SkyStale = true;
}

int RunSkyloom(int argc, char** argv) {
  TOptions options;
  std::string error;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!ParseOptions(args, options, error)) {
    Report({"", error, ""});
    return 2;
  }
  if (options.Help) {
    std::fputs(OptionsHelp(), stdout);
    return 0;
  }
  // Paths given on the command line are the caller's; then the program
  // works in its read-only data folder, wherever it was started from.
  const std::string callerCwd = std::filesystem::current_path().string();
  const std::string renderFile = Absolute(callerCwd, options.RenderFile);
  const std::string scriptFile = Absolute(callerCwd, options.ScriptFile);
  const std::string recordFile = Absolute(callerCwd, options.RecordFile);
  if (!recordFile.empty()) {
    // What the recording cannot be is said before anything starts.
    TVideoContainer container;
    if (!VideoContainerOf(recordFile, container)) {
      ReportFile(options.RecordFile, "cannot record",
                 "unsupported kind of video: the name must end in .mp4, .webm or .mkv");
      return 2;
    }
    // Cancelling (Ctrl+C, the window's cancel button) is seen between frames,
    // so the unfinished file is removed; held before any thread starts.
    HoldCancelSignals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  }
  const std::string dataFolder = FindDataFolder(RunningProgramFolder(), error);
  if (dataFolder.empty()) {
    Report({"", error, ""});
    return 1;
  }
  if (chdir(dataFolder.c_str()) != 0) {
    Report({dataFolder, "cannot enter the data folder", std::strerror(errno)});
    return 1;
  }

  // One picture needs no sound: keep the sound card (or its absence) out of
  // it. A recording puts the music into its file, and plays nothing.
  if (!renderFile.empty() || !recordFile.empty()) setenv("SDL_AUDIODRIVER", "dummy", 0);
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0)
    Report({"", "SDL could not start", SDL_GetError()});

  // The model exists before any window.
  // Unattended runs (one picture, a script) draw the same random trees every
  // time, so that their pictures are reproducible and can be compared.
  const bool unattended = !renderFile.empty() || !scriptFile.empty() || !recordFile.empty();
  const std::optional<uint32_t> seed =
      unattended ? std::optional<uint32_t>(20260115) : std::nullopt;
  // The run's sky model: made here, handed to the main form, freed at the end.
  const std::unique_ptr<TSkyloom> model = CreateSkyModel(seed);
  TSkyloom& sky = *model;
  sky.SettingsReadOnly = unattended;  // they read the user's settings, never write them
  // An object to travel to must exist before anything opens.
  int goToCode = 0;
  std::vector<std::string> unknownGoTo;  // the message for a name that names nothing
  if (!options.GoTo.empty()) {
    sky.LoadStarData();
    goToCode = FindObjectByName(sky, options.GoTo);
    if (goToCode == 0) {
      const std::string message = UnknownObjectMessage(sky, options.GoTo);
      Report({"--goto", message, ""});
      // A picture or a script cannot ask anyone: they stop. The window opens
      // anyway and says so on the screen, with the names it may have meant.
      if (unattended) {
        SDL_Quit();
        return 2;
      }
      unknownGoTo.push_back("没有名为“" + options.GoTo + "”的天体。");
      const std::vector<std::string> similar = SimilarObjectNames(sky, options.GoTo);
      if (!similar.empty()) {
        std::string list;
        for (const std::string& n : similar) list += (list.empty() ? "" : "、") + n;
        unknownGoTo.push_back("是不是：" + list + "？");
      }
      unknownGoTo.push_back("可以用星座、行星、星官、梅西耶天体或亮星的中文或英文名，"
                            "如 猎户座、火星、参宿、M42、天狼星、Sirius。");
    }
  }
  // A show to play must exist before anything opens.
  if (!options.Show.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ShowPath(ShowFileOf(options.Show)), ec)) {
      const std::string own = UserShowFolder();
      Report({"--show",
              "no show \"" + options.Show + "\" in the folder " + dataFolder + "/" + ShowFolder +
                  (own.empty() ? "" : " nor in " + own),
              ""});
      SDL_Quit();
      return 2;
    }
  }

  TFormLogo logo;
  if (renderFile.empty() && recordFile.empty()) logo.Show();
  int exitCode = 0;
  {
    TFormSky form(sky);
    form.Logo = &logo;
    if (options.Year) {
      form.FixedNow = true;
      form.Now = LocalNow();
      form.Now.Year = *options.Year;
      form.Now.Month = *options.Month;
      form.Now.Day = *options.Day;
    }
    if (options.Hour) {
      if (!form.FixedNow) form.Now = LocalNow();
      form.FixedNow = true;
      form.Now.Hour = *options.Hour;
      form.Now.Minute = *options.Minute;
      form.Now.Second = options.Second.value_or(0);
    }
    form.FixedSeed = seed;
    form.StartMessage = unknownGoTo;
    form.FormCreate();
    if (options.FullScreen) {
      form.Parameters.FullScreen = *options.FullScreen ? 1 : 0;
      form.Windowed = !form.Parameters.FullScreen;
    }
    // The stage's size: as asked, else the display's own in full screen,
    // else 800x600 (a window, one picture, a video).
    int stageWidth = options.StageWidth, stageHeight = options.StageHeight;
    if (stageWidth != 0) {
      form.WindowStageWidth = stageWidth;
      form.WindowStageHeight = stageHeight;
    } else {
      stageWidth = MinStageWidth;
      stageHeight = MinStageHeight;
      int dw = 0, dh = 0;
      if (!form.Windowed && renderFile.empty() && recordFile.empty() &&
          TDXDraw::DesktopSize(dw, dh) && dw >= MinStageWidth && dh >= MinStageHeight) {
        stageWidth = dw;
        stageHeight = dh;
      }
    }
    form.SizeStage(stageWidth, stageHeight);
    form.FormShow();
    ApplyOptions(options, form);
    if (goToCode > 0) form.StartGoTo(goToCode);
    const bool showPlays =
        !options.Show.empty() && form.PlayShowFile(ShowFileOf(options.Show), true);

    if (!recordFile.empty() && !form.Terminated) {
      // A video: no window at all, the same frame step, every frame taken.
      form.DXDrawInitialize();
      // A video has the music unless --no-music says otherwise, whatever
      // the music switch of the global parameters.
      if (!options.Music) form.Parameters.MusicOn = 1;
      TRecorder recorder;
      TVideoQuality quality = TVideoQuality::Normal;
      ParseVideoQuality(options.Quality, quality);
      if (!options.Show.empty() && scriptFile.empty() && !showPlays) {
        ReportFile(options.RecordFile, "cannot record",
                   "the show \"" + options.Show + "\" cannot be played");
        exitCode = 2;
      } else if (!recorder.Start(form, recordFile, options.RecordFile, quality)) {
        exitCode = 2;
      } else {
        bool ok = true;
        if (!scriptFile.empty()) {
          ok = RunScript(form, scriptFile, callerCwd, &recorder);
        } else {
          TUntilShowEnds show;
          TFrameLoop loop;
          loop.SetSource(&show);
          loop.SetSink(&recorder);
          loop.RunUntil(form, [] { return false; });
        }
        exitCode = recorder.Finish(ok);
      }
    } else if (!renderFile.empty()) {
      // One picture: no window at all, the same frame step.
      form.DXDrawInitialize();
      // A trip asked for is made first, so the picture shows where it ends.
      if (goToCode > 0) form.FinishGoTo();
      TOnePicture picture(renderFile);
      TFrameLoop loop;
      loop.SetSource(&picture);
      loop.RunUntil(form, [] { return false; });
      if (picture.Failed()) exitCode = 1;
    } else if (!form.Terminated) {
      form.DXDraw.Initialize(ApplicationTitle, form.Left, form.Top, !form.Windowed);
      form.DXDrawInitialize();
      if (!scriptFile.empty()) {
        exitCode = RunScript(form, scriptFile, callerCwd) ? 0 : 1;
      } else {
        TFrameLoop loop;
        loop.RunUntil(form, [] { return false; });
        loop.ReportFrames(form);
      }
    } else {
      exitCode = 1;  // the desktop was too narrow: the program never started
    }
    logo.Close();
    form.FormDestroy();
    form.DXDraw.Finalize();
    form.DXDrawFinalize();
  }
  SDL_Quit();
  return exitCode;
}
