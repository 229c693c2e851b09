// TRecordJob: a recording made by a process of its own (the program run
// again with --record), so the window stays responsive and its own state
// untouched while the video is made. The job reads the process's progress
// lines and its message, and can cancel it: the process then removes its
// temporary file and leaves nothing.
#pragma once

#include <string>
#include <vector>
#include <sys/types.h>

#include "RecordProgress.h"

class TRecordJob {
 public:
  enum class TState { Idle, Running, Succeeded, Failed, Cancelled };
  ~TRecordJob();

  // Starts `program` with `args` (without the program name), its stderr
  // read by the job; the environment gets `env` ("NAME=value") added.
  // False with the reason when the process cannot start.
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::vector<std::string>& env, std::string& error);
  // Reads what the process said since the last call and whether it ended.
  // Never blocks.
  void Poll();
  // Asks the process to stop and waits for it (it removes its file).
  void Cancel();

  TState State() const { return state_; }
  const TRecordProgress& Progress() const { return progress_; }
  // The last line the process said that was not progress (its error).
  const std::string& Message() const { return message_; }

 private:
  void TakeLine(const std::string& line);
  void Reap(bool block);
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string pending_;
  TState state_ = TState::Idle;
  bool cancelling_ = false;
  TRecordProgress progress_;
  std::string message_;
};
