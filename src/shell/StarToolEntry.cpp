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

std::string StarToolGlyphs() {
  std::string out = "观星工具天文节目状态观星状态在地平线下！自动找到：步进时间步进时间设定分日年"
                    "锁定左边所选现在就找定位过程确定取消星座英文★"
                    "节目文件已不存在。这个节目无法播放：步进时间的数量应为 1 到 10000 的整数。";
  if (SkyModel) {
    TFormStarTool tool(*SkyModel, Lecture, ShowFolder);
    tool.FormShow();  // fills both lists
    for (const TObjectItem& i : tool.ListViewConst) out += i.Caption + i.English + i.Short;
    for (int k = 0; k < static_cast<int>(tool.ListBox1.size()); ++k) {
      tool.ListBox1Click(k);
      out += tool.ListBox1[static_cast<size_t>(k)];
      for (const std::string& line : tool.Memo1) out += line;
    }
  }
  for (const char* s : {"损坏的节目", "无法打开的节目", "未知格式", "不是本版本能读取的天文节目"}) out += s;
  return out;
}
