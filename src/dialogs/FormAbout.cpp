#include "FormAbout.h"

#ifndef SKYLOOM_VERSION
#error "SKYLOOM_VERSION is given by the build"
#endif

std::string TFormAbout::ProductLine() { return std::string("Skyloom  ") + SKYLOOM_VERSION; }

std::vector<std::string> TFormAbout::PublisherLines() {
  return {
      "天文节目 —— 教学用天象仪",
      "Skyloom 项目组 编写",
      "版权所有 © 2026 Skyloom 项目的作者们",
      "",
      // One short line each: the box is narrow and does not break words.
      "本程序是自由软件，依照 GNU 通用公共许可证",
      "第 2 版或（由您选择）任何更新的版本发布，",
      "您可以再发布和修改它。本程序不附带任何担保。",
      "许可证全文见源代码中的 COPYING.md。",
      "",
      "数据的来源见源代码中的 data/ATTRIBUTION.md。",
  };
}

std::vector<std::string> TFormAbout::Captions() {
  std::vector<std::string> out = PublisherLines();
  out.push_back(ProductLine());
  out.push_back("关于天文节目");
  out.push_back("关闭");
  return out;
}
