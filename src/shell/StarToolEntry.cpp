// The star tool as the dispatcher calls it (command 106): the dialog is made
// at its first showing and keeps its state (the chosen object, the step
// settings) for the rest of the run.
#include <filesystem>
#include <memory>

#include "DialogEntry.h"
#include "DialogSet.h"
#include "FormSky.h"
#include "Gbk.h"
#include "Lecture.h"
#include "ShowModal.h"
#include "SkyModel.h"
#include "StarToolView.h"

TStarToolAnswer RunStarToolDialog(TFormSky& form, const std::function<void(int)>& OnPick) {
  if (!form.Dialogs) form.Dialogs = std::make_shared<TDialogSet>(*SkyModel);
  TDialogSet& d = *form.Dialogs;
  if (!d.StarTool) d.StarTool = std::make_unique<TFormStarTool>(*SkyModel, Lecture, ShowFolder);
  TFormStarTool& tool = *d.StarTool;
  tool.OnPick = [&OnPick](int id, bool) {
    if (id > 0 && OnPick) OnPick(id);
  };
  tool.FormShow();
  TStarToolView view(tool, "观星");
  ShowModal(form, view);
  tool.OnPick = nullptr;
  TStarToolAnswer answer;
  answer.Result = tool.Result;
  answer.ShowFile = tool.ShowFile;
  answer.SelectedId = tool.SelectedId;
  return answer;
}

