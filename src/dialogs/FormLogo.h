// TFormLogo: the splash window shown while the main window is being created
// (a 420x254 picture in a 430x264 bevelled window, on top, centred).
#pragma once

#include <string>

#include "PictureWindow.h"

class TFormLogo {
 public:
  // Loads the picture "Logo" from the program's resource library.
  explicit TFormLogo(const std::string& resourceLibrary = "Resource.rxf");
  void Show();
  void Close();
  bool Showing() const { return window_.Showing(); }

 private:
  std::string library_;
  TPictureWindow window_;
};
