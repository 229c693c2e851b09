#include "DialogEntry.h"

#include <cstdio>
#include <memory>

#include "AutoCommand.h"
#include "CityTable.h"
#include "DialogSet.h"
#include "DialogViews.h"
#include "FileIo.h"
#include "FormAbout.h"
#include "FormConfig.h"
#include "FormHelp.h"
#include "FormSky.h"
#include "Gbk.h"
#include "GlobalParams.h"
#include "ImGuiPicture.h"
#include "ImageLibrary.h"
#include "RunFolder.h"
#include "SaveTogether.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "ShowModal.h"
#include "SkyModel.h"

namespace {

const char* const HelpFileName = "帮助.txt";
const char* const ResourceLibrary = "Resource.rxf";

}  // namespace

namespace {

TDialogSet& DialogsOf(TFormSky& form) {
  if (!form.Dialogs) form.Dialogs = std::make_shared<TDialogSet>(form.Sky, form.Parameters);
  return *form.Dialogs;
}

// What follows from switches the settings dialog has just set: the subtitle
// pace and the drawing surface's full-screen option.
void ApplyOptions(TFormSky& form) {
  const TParameters& p = form.Parameters;
  form.TextScroll.Interval = TViewState::SubtitleInterval(p.SubtitleSpeed);
  if (form.Windowed == (p.FullScreen != 0)) {
    form.Windowed = !p.FullScreen;
    form.ApplyFullScreen(p.FullScreen != 0);
  }
  if (form.Layout.Scale !=
      InterfaceScaleFor(form.Layout.Width, form.Layout.Height, form.Sky.InterfaceScale))
    form.ApplyInterfaceScale();
}

// Saves the observer settings and the global parameters together: when
// either cannot be written, neither file changes.
bool SaveEverything(TFormSky& form, std::vector<std::string>& lines) {
  if (form.Sky.SettingsReadOnly) {
    Report({"", "settings not saved", "an unattended run never writes them"});
    return true;
  }
  const std::string folder = SettingsFolder();
  if (folder.empty()) {
    lines = {"设置没有保存：找不到保存设置的文件夹（没有设定 HOME）。"};
    return false;
  }
  const std::string settingsPath = folder + "/" + SettingsFileName;
  const std::string parametersPath = folder + "/" + ConfigFileName;
  std::string message;
  const bool ok = SaveTogether(
      {{settingsPath,
        [&](std::string& m) {
          if (SaveSettingsTo(form.Sky, folder)) return true;
          m = settingsPath;
          return false;
        }},
       {parametersPath,
        [&](std::string& m) {
          const TFileError fault = WriteParameters(form.Parameters, folder);
          m = fault.Message();
          return !fault;
        }}},
      message);
  if (!ok)
    lines = {"设置没有保存：无法写入文件。", message,
             "原来保存的设置和 Config.dat 都没有改变。"};
  return ok;
}

TCivilDateTime NowOf(const TFormSky& form) {
  const TCivilNow n = form.FixedNow ? form.Now : LocalNow();
  return {n.Year, n.Month, n.Day, n.Hour, n.Minute, n.Second};
}

}  // namespace

void RunAboutDialog(TFormSky& form) {
  TDialogSet& d = DialogsOf(form);
  // The picture lives as long as the dialog: its completion keeps it.
  auto picture = std::make_shared<TImGuiPicture>();
  std::vector<LibraryImage> images;
  std::string error;
  ReadImageLibrary(ResourceLibrary, images, error);  // no picture: an empty place
  for (const LibraryImage& img : images) {
    if (img.Name == TFormAbout::ImageName() && img.FrameCount >= 1) {
      picture->Create(form.DXDraw, img.Pixels, img.FrameWidth, img.FrameHeight);
      break;
    }
  }
  d.About.FormShow();
  OpenDialog(form,
             std::make_unique<TAboutView>(d.About, picture->Id(), picture->Width(),
                                          picture->Height()),
             [picture] {});
}

void RunConfigDialog(TFormSky& form, std::function<void(bool applied)> closed) {
  TDialogSet& d = DialogsOf(form);
  TFormConfig& f = d.Config;
  // Why "确定" could not save, filled while the dialog is open.
  auto saveProblem = std::make_shared<std::vector<std::string>>();
  f.Now = [&form] { return NowOf(form); };
  f.ReadSavedPlace = [&form](double& lat, double& lon, int& zone, int& city) {
    form.Sky.ReadSavedPlace(lat, lon, zone, city);
  };
  f.SaveAll = [&form, saveProblem](std::string& message) {
    // What is saved is what "确定" has just applied.
    if (SaveEverything(form, *saveProblem)) return true;
    message = saveProblem->empty() ? std::string("not saved") : (*saveProblem)[0];
    return false;
  };
  f.FormShow();
  OpenDialog(form, std::make_unique<TConfigView>(f),
             [&form, &f, saveProblem, closed = std::move(closed)] {
               if (f.Applied) {
                 ApplyOptions(form);
                 form.SkyStale = true;
                 // The save problem opens over the stage once the settings
                 // have closed.
                 if (!saveProblem->empty()) ShowMessage(form, "提示", *saveProblem);
               }
               if (closed) closed(f.Applied);
             });
}

void RunHelpDialog(TFormSky& form) {
  TDialogSet& d = DialogsOf(form);
  const bool first = !d.Help;
  if (first) {
    std::string error;
    const std::string folder = d.Run.Path(&error);
    d.Help = std::make_unique<TFormHelp>(HelpFileName, folder);
    if (folder.empty()) Report({"", error, ""});
    d.Help->FormCreate();
  }
  d.Help->FormShow();
  OpenDialog(form, std::make_unique<THelpView>(*d.Help));
  // A help file that cannot be read is said first, over the help viewer.
  if (first && !d.Help->Message.empty())
    ShowMessage(form, "提示", {"说明书无法打开。", d.Help->Message});
}

void TFormSky::ShowAbout() { RunAboutDialog(*this); }
void TFormSky::ShowHelp() { RunHelpDialog(*this); }
void TFormSky::ShowRecord(const std::string& showFile) { RunRecordDialog(*this, showFile); }
void TFormSky::ShowSettings(std::function<void(bool)> closed) {
  RunConfigDialog(*this, std::move(closed));
}
void TFormSky::ShowStarTool(std::function<void(int)> onPick,
                            std::function<void(const TStarToolAnswer&)> closed) {
  RunStarToolDialog(*this, std::move(onPick), std::move(closed));
}
