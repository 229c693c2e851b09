// The ImGui view of the star tool: draws TFormStarTool's state and calls its
// handlers; the frame shows it over the stage while it is open.
#pragma once

#include <string>

#include "FormStarTool.h"
#include "ModalForm.h"

class TStarToolView : public TModalForm {
 public:
  TStarToolView(TFormStarTool& form, std::string caption)
      : form_(form), caption_(std::move(caption)) {}
  bool IsOpen() const override { return form_.Open; }
  void DrawView() override;
  void CloseByHost() override { form_.Button6Click(); }

 private:
  void DrawShowPage();
  void DrawObjectPage();
  TFormStarTool& form_;
  std::string caption_;
};
