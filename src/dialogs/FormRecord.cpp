#include "FormRecord.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "VideoFormat.h"

namespace fs = std::filesystem;

namespace {

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::string Extension(int format) { return format == 1 ? ".webm" : ".mp4"; }

}  // namespace

std::string UserVideoFolder() {
  const char* homeEnv = std::getenv("HOME");
  const std::string home = homeEnv && *homeEnv ? homeEnv : "/";
  std::string folder;
  if (std::FILE* p = ::popen("xdg-user-dir VIDEOS 2>/dev/null", "r")) {
    char line[4096];
    if (std::fgets(line, sizeof line, p)) folder = line;
    ::pclose(p);
  }
  while (!folder.empty() && (folder.back() == '\n' || folder.back() == '/')) folder.pop_back();
  // Without a videos folder of its own the tool names the home folder.
  if (folder.empty() || folder == home || !IsFolder(folder)) {
    folder = (fs::path(home) / "Videos").string();
    if (!IsFolder(folder) && ::mkdir(folder.c_str(), 0755) != 0) folder = home;
  }
  return folder;
}

void TFormRecord::FormShow(const std::string& showName, const std::string& folder,
                           const std::string& program) {
  Open = true;
  Phase = TPhase::Choosing;
  ShowName = showName;
  program_ = program;
  EditFolder = folder;
  Format = 0;
  EditFileName = showName + Extension(Format);
  ErrorText.clear();
  SavedText.clear();
  Progress = TRecordProgress{};
  FillFolderList();
}

void TFormRecord::FillFolderList() {
  FolderList.clear();
  std::error_code ec;
  for (fs::directory_iterator it(EditFolder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.' || !it->is_directory(kind)) continue;
    FolderList.push_back(name);
    if (FolderList.size() >= 500) break;  // a folder of folders is shown in part
  }
  std::sort(FolderList.begin(), FolderList.end());
}

void TFormRecord::FolderUpClick() {
  const fs::path parent = fs::path(EditFolder).parent_path();
  if (!parent.empty()) EditFolder = parent.string();
  FillFolderList();
}

void TFormRecord::FolderListClick(int index) {
  if (index < 0 || index >= static_cast<int>(FolderList.size())) return;
  EditFolder = (fs::path(EditFolder) / FolderList[static_cast<size_t>(index)]).string();
  FillFolderList();
}

void TFormRecord::EditFolderChange(const std::string& text) {
  EditFolder = text;
  FillFolderList();
}

void TFormRecord::FormatClick(int format) {
  Format = format == 1 ? 1 : 0;
  TVideoContainer c;
  if (VideoContainerOf(EditFileName, c)) EditFileName.erase(EditFileName.rfind('.'));
  EditFileName += Extension(Format);
}

std::string TFormRecord::TargetPath() const { return (fs::path(EditFolder) / EditFileName).string(); }

void TFormRecord::ButtonStartClick() {
  ErrorText.clear();
  TVideoContainer c;
  if (!IsFolder(EditFolder)) {
    ErrorText = "文件夹“" + EditFolder + "”不存在。";
    return;
  }
  if (EditFileName.empty() || EditFileName.find('/') != std::string::npos) {
    ErrorText = "请输入文件名。";
    return;
  }
  if (!VideoContainerOf(EditFileName, c)) {
    ErrorText = "文件名应以 .mp4、.webm 或 .mkv 结尾。";
    return;
  }
  std::string why;
  // The recording runs without a window and without sound of its own.
  if (!job_.Start(program_, {"--show", ShowName, "--record", TargetPath()},
                  {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, why)) {
    ErrorText = "无法开始录制（" + why + "）。";
    return;
  }
  Progress = TRecordProgress{};
  Phase = TPhase::Recording;
}

void TFormRecord::Poll() {
  if (Phase != TPhase::Recording) return;
  job_.Poll();
  Progress = job_.Progress();
  switch (job_.State()) {
    case TRecordJob::TState::Succeeded:
      Phase = TPhase::Done;
      SavedText = "已保存：" + TargetPath();
      break;
    case TRecordJob::TState::Failed:
    case TRecordJob::TState::Cancelled:
      Phase = TPhase::Choosing;
      ErrorText = "录制失败：" + (job_.Message().empty() ? std::string("录制进程意外结束")
                                                          : job_.Message());
      break;
    default:
      break;
  }
}

void TFormRecord::ButtonCancelClick() {
  if (Phase == TPhase::Recording) job_.Cancel();
  Phase = TPhase::Choosing;
  Open = false;
}

void TFormRecord::ButtonOkClick() { Open = false; }
