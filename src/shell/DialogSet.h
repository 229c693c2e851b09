// The dialogs of the main form (TFormSky::Dialogs), made when the first is
// shown and kept with their state for the rest of the run, together with the
// run's private folder for temporary files.
#pragma once

#include <memory>
#include <string>

#include "FormAbout.h"
#include "FormConfig.h"
#include "FormHelp.h"
#include "FormStarTool.h"
#include "RunFolder.h"

struct TDialogSet {
  TDialogSet(TSkyloom& sky, TParameters& params) : Config(sky, params) {}
  TFormConfig Config;
  TRunFolder Run;
  std::unique_ptr<TFormHelp> Help;  // made at the first showing (its contents file)
  TFormAbout About;
  std::unique_ptr<TFormStarTool> StarTool;  // made at the first showing
  std::string RecordFolder;  // where the last video was saved (the next starts there)
};
