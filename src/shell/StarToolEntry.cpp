// The star tool as the dispatcher calls it (command 106): the dialog is made
// at its first showing and keeps its state (the chosen object, the step
// settings) for the rest of the run.
#include <limits.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "DataFolder.h"
#include "DialogEntry.h"
#include "DialogSet.h"
#include "FormSky.h"
#include "Gbk.h"
#include "Lecture.h"
#include "ShowModal.h"
#include "SkyModel.h"
#include "RecordView.h"
#include "StarToolView.h"

void RunStarToolDialog(TFormSky& form, std::function<void(int)> onPick,
                       std::function<void(const TStarToolAnswer&)> closed) {
  if (!form.Dialogs) form.Dialogs = std::make_shared<TDialogSet>(form.Sky, form.Parameters);
  TDialogSet& d = *form.Dialogs;
  if (!d.StarTool) d.StarTool = std::make_unique<TFormStarTool>(form.Sky, form.Lecture, ShowFolder, UserShowFolder());
  TFormStarTool& tool = *d.StarTool;
  tool.OnPick = [onPick = std::move(onPick)](int id, bool) {
    if (id > 0 && onPick) onPick(id);
  };
  tool.FormShow();
  OpenDialog(form, std::make_unique<TStarToolView>(tool, "观星"),
             [&tool, closed = std::move(closed)] {
               tool.OnPick = nullptr;
               TStarToolAnswer answer;
               answer.Result = tool.Result;
               answer.ShowFile = tool.ShowFile;
               answer.SelectedId = tool.SelectedId;
               if (closed) closed(answer);
             });
}

void RunRecordDialog(TFormSky& form, const std::string& showFile) {
  if (!form.Dialogs) form.Dialogs = std::make_shared<TDialogSet>(form.Sky, form.Parameters);
  TDialogSet& d = *form.Dialogs;
  if (d.RecordFolder.empty()) d.RecordFolder = UserVideoFolder();
  // The recording is this program run again, headless, with --record.
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  const std::string program = n > 0 ? std::string(exe, static_cast<size_t>(n)) : "skyloom";
  const std::string name = showFile.size() > 4 ? showFile.substr(0, showFile.size() - 4) : showFile;
  // The dialog's state lives as long as the dialog: its completion keeps it.
  auto record = std::make_shared<TFormRecord>();
  record->FormShow(name, d.RecordFolder, program);
  OpenDialog(form, std::make_unique<TRecordView>(*record),
             [&d, record] { d.RecordFolder = record->EditFolder; });
}
