#include "RecordJob.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

TRecordJob::~TRecordJob() { Cancel(); }

bool TRecordJob::Start(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& env, std::string& error) {
  Cancel();
  progress_ = TRecordProgress{};
  message_.clear();
  pending_.clear();
  cancelling_ = false;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return false;
  }
  std::vector<std::string> envText;
  for (char** e = environ; *e; ++e) envText.emplace_back(*e);
  for (const std::string& add : env) {
    const std::string key = add.substr(0, add.find('=') + 1);
    for (auto it = envText.begin(); it != envText.end();)
      it = it->compare(0, key.size(), key) == 0 ? envText.erase(it) : it + 1;
    envText.push_back(add);
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const int r = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (r != 0) {
    ::close(pipeFds[0]);
    pid_ = -1;
    error = std::strerror(r);
    return false;
  }
  fd_ = pipeFds[0];
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
  state_ = TState::Running;
  return true;
}

void TRecordJob::TakeLine(const std::string& line) {
  if (line.empty()) return;
  TRecordProgress p;
  if (line.find("recording") != std::string::npos && ParseProgressText(line, p)) {
    progress_ = p;
    return;
  }
  message_ = line;
}

void TRecordJob::Poll() {
  if (fd_ >= 0) {
    char buf[4096];
    for (;;) {
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n > 0) {
        for (ssize_t i = 0; i < n; ++i) {
          if (buf[i] == '\n' || buf[i] == '\r') {
            TakeLine(pending_);
            pending_.clear();
          } else if (pending_.size() < 4096) {
            pending_ += buf[i];
          }
        }
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) {  // the process closed its end: it has ended
        TakeLine(pending_);
        pending_.clear();
        ::close(fd_);
        fd_ = -1;
      }
      break;
    }
  }
  Reap(false);
}

void TRecordJob::Reap(bool block) {
  if (pid_ < 0) return;
  int status = 0;
  const pid_t r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  if (r == 0) return;
  pid_ = -1;
  if (fd_ >= 0 && !block) Poll();  // the last words
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (cancelling_) state_ = TState::Cancelled;
  else if (r > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) state_ = TState::Succeeded;
  else state_ = TState::Failed;
}

void TRecordJob::Cancel() {
  if (pid_ < 0) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return;
  }
  cancelling_ = true;
  ::kill(pid_, SIGTERM);
  Reap(true);
}
