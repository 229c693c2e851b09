#include "RecordProgress.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void TProgressEstimate::PageTurned(int page, int pages, int64_t frame) {
  if (firstPageFrame_ < 0) firstPageFrame_ = frame;
  page_ = page;
  pages_ = pages;
  pageFrame_ = frame;
}

TRecordProgress TProgressEstimate::At(int64_t frames, double seconds) const {
  TRecordProgress p;
  p.Frames = frames;
  p.Page = page_;
  p.Pages = pages_;
  if (pages_ <= 0 || page_ <= 0) return p;
  // Pages behind: those fully played. The one showing counts as half done
  // once it has run as long as an average page.
  const int behind = page_ - 1;
  double total = 0;
  if (behind > 0) {
    const double perPage = static_cast<double>(pageFrame_ - firstPageFrame_) / behind;
    const double current = static_cast<double>(frames - pageFrame_);
    const double left = perPage * (pages_ - page_) + (current < perPage ? perPage - current : 0);
    total = static_cast<double>(frames) + left;
  }
  if (total > 0) {
    int percent = static_cast<int>(100.0 * static_cast<double>(frames) / total);
    p.Percent = percent > 99 ? 99 : percent;
    if (seconds > 0.5 && frames > 0)
      p.SecondsLeft = static_cast<int>((total - static_cast<double>(frames)) * seconds /
                                           static_cast<double>(frames) + 0.5);
  } else {
    p.Percent = static_cast<int>(100.0 * behind / pages_);
  }
  return p;
}

std::string ClockText(int seconds) {
  char text[32];
  if (seconds >= 3600)
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  else
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
  return text;
}

std::string ProgressText(const TRecordProgress& p) {
  char text[160];
  if (p.Done) {
    std::snprintf(text, sizeof text, "done, %lld frames", static_cast<long long>(p.Frames));
    return text;
  }
  std::string out;
  if (p.Pages > 0) {
    std::snprintf(text, sizeof text, "page %d of %d, ", p.Page, p.Pages);
    out += text;
  }
  if (p.Percent >= 0) out += std::to_string(p.Percent) + "%, ";
  if (p.SecondsLeft >= 0) out += ClockText(p.SecondsLeft) + " left, ";
  out += std::to_string(p.Frames) + " frames";
  return out;
}

bool ParseProgressText(const std::string& line, TRecordProgress& out) {
  TRecordProgress p;
  long long frames = 0;
  const char* s = line.c_str();
  if (const char* done = std::strstr(s, "done, ")) {
    if (std::sscanf(done, "done, %lld frames", &frames) != 1) return false;
    p.Done = true;
    p.Frames = frames;
    out = p;
    return true;
  }
  bool any = false;
  if (const char* page = std::strstr(s, "page ")) {
    if (std::sscanf(page, "page %d of %d", &p.Page, &p.Pages) == 2) any = true;
  }
  // The percent: the number just before '%'.
  if (const char* pc = std::strchr(s, '%')) {
    const char* b = pc;
    while (b > s && b[-1] >= '0' && b[-1] <= '9') --b;
    if (b < pc) {
      p.Percent = std::atoi(b);
      any = true;
    }
  }
  if (const char* left = std::strstr(s, " left")) {
    const char* b = left;
    while (b > s && ((b[-1] >= '0' && b[-1] <= '9') || b[-1] == ':')) --b;
    int h = 0, m = 0, sec = 0;
    if (std::sscanf(b, "%d:%d:%d", &h, &m, &sec) == 3) p.SecondsLeft = h * 3600 + m * 60 + sec;
    else if (std::sscanf(b, "%d:%d", &m, &sec) == 2) p.SecondsLeft = m * 60 + sec;
  }
  if (const char* f = std::strstr(s, " frames")) {
    const char* b = f;
    while (b > s && b[-1] >= '0' && b[-1] <= '9') --b;
    if (b < f) {
      p.Frames = std::atoll(b);
      any = true;
    }
  }
  if (!any) return false;
  out = p;
  return true;
}
