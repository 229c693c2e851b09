// TFormAbout: the about box. The picture "AboutPic" of the program's
// resource library, the product line with the version of this build, the
// licence and the lines that say who made the program; "关闭" closes it.
#pragma once

#include <string>
#include <vector>

class TFormAbout {
 public:
  void FormShow() { Open = true; }
  void Button1Click() { Open = false; }  // 关闭 (the default button)

  bool Open = false;

  static const char* ImageName() { return "AboutPic"; }  // Image1, 121x166
  // "Skyloom  " and the version the build was made from.
  static std::string ProductLine();
  // Publisher lines: the project, the rights notice, the licence (UTF-8).
  static std::vector<std::string> PublisherLines();
  static std::vector<std::string> Captions();
};
