// TFormRecord: "录制视频" — a show of the star tool recorded as a video.
// The person chooses a folder (starting at their videos folder) and a file
// name with its kind (MP4 or WebM); the recording then runs as a process of
// its own while the dialog shows its progress (page, share done, time
// left) and a cancel button. A cancelled or failed recording leaves no file.
//
// State and handlers only; TRecordView draws it with ImGui. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "RecordJob.h"

class TFormRecord {
 public:
  enum class TPhase { Choosing, Recording, Done };

  // Opens the dialog for the show `showName` (a file name of the show
  // folder without ".shw"), choosing in `folder`; `program` is the program
  // to run for the recording.
  void FormShow(const std::string& showName, const std::string& folder, const std::string& program);
  void FolderUpClick();                 // "上一级"
  void FolderListClick(int index);      // a subfolder chosen: go into it
  void EditFolderChange(const std::string& text);
  void FormatClick(int format);         // 0 MP4, 1 WebM: the file name's extension follows
  void ButtonStartClick();              // "开始录制"
  void ButtonCancelClick();             // "取消": cancels a running recording, closes
  void ButtonOkClick();                 // "确定" after the recording
  // Called every frame while the dialog shows: the recording's progress.
  void Poll();

  // The file the recording goes to.
  std::string TargetPath() const;

  // Widget state.
  bool Open = false;
  TPhase Phase = TPhase::Choosing;
  std::string ShowName;
  std::string EditFolder;
  std::vector<std::string> FolderList;  // subfolders of EditFolder, sorted
  std::string EditFileName;
  int Format = 0;
  std::string ErrorText;
  std::string SavedText;                // "已保存：..." when done
  TRecordProgress Progress;

 private:
  void FillFolderList();
  std::string program_;
  TRecordJob job_;
};

// The videos folder of the user: what `xdg-user-dir VIDEOS` says, else
// ~/Videos (made when missing), else the home folder.
std::string UserVideoFolder();
