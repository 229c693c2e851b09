// The ImGui views of the dialogs: each draws its dialog's state in one
// window over the stage and calls the dialog's handlers; none keeps state
// of its own beyond what drawing needs. Every dialog answers Esc (cancel or
// close), Enter (confirm) and Tab (the next field).
#pragma once

#include <string>
#include <vector>

#include "FormAbout.h"
#include "FormConfig.h"
#include "FormHelp.h"
#include "ModalForm.h"

class TConfigView : public TModalForm {
 public:
  explicit TConfigView(TFormConfig& form) : form_(form) {}
  bool IsOpen() const override { return form_.Open; }
  void DrawView() override;
  void CloseByHost() override { form_.Button2Click(); }

 private:
  void DrawTimePage();
  void DrawPlacePage();
  void DrawNamesPage();
  void DrawLinesPage();
  void DrawOtherPage();
  void DrawCalendar();
  TFormConfig& form_;
  int shownPage_ = -1;   // the page ImGui shows; a handler may ask for another
};

class THelpView : public TModalForm {
 public:
  explicit THelpView(TFormHelp& form) : form_(form) {}
  bool IsOpen() const override { return form_.Open; }
  void DrawView() override;
  void CloseByHost() override { form_.Close(); }

 private:
  TFormHelp& form_;
  int scrolledTo_ = -1;  // the topic whose text was scrolled to its top
};

class TAboutView : public TModalForm {
 public:
  // `picture` is the ImGui texture of the about picture (nullptr: none).
  TAboutView(TFormAbout& form, void* picture, int width, int height)
      : form_(form), picture_(picture), width_(width), height_(height) {}
  bool IsOpen() const override { return form_.Open; }
  void DrawView() override;
  void CloseByHost() override { form_.Button1Click(); }

 private:
  TFormAbout& form_;
  void* picture_;
  int width_, height_;
};

// A message for the person at the screen: a title, lines of text, "确定".
class TMessageView : public TModalForm {
 public:
  TMessageView(std::string title, std::vector<std::string> lines)
      : title_(std::move(title)), lines_(std::move(lines)) {}
  bool IsOpen() const override { return open_; }
  void DrawView() override;
  void CloseByHost() override { open_ = false; }

 private:
  std::string title_;
  std::vector<std::string> lines_;
  bool open_ = true;
};

// Every text the dialogs draw besides the data (for the font's glyphs and
// its coverage check).
std::vector<std::string> DialogTexts();
// The texts the dialogs draw in the title font.
std::string DialogTitleTexts();
