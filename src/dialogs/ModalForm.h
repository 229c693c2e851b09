// TModalForm: what the frame needs of an open dialog. The dialog's own
// class keeps its state and handlers; a view drawing it with ImGui
// implements this.
#pragma once

class TModalForm {
 public:
  virtual ~TModalForm() = default;
  // The dialog stays over the stage (drawn by every frame) while this is
  // true.
  virtual bool IsOpen() const = 0;
  // The dialog's ImGui calls for one frame (drawn over the stage).
  virtual void DrawView() = 0;
  // The program cannot go on with the dialog open (the window closed, the
  // script ended): close it as its cancel button would.
  virtual void CloseByHost() = 0;
  // True while the dialog changes without any input (a recording running in
  // the background): the frame draws it every period instead of waiting for
  // an event.
  virtual bool Busy() const { return false; }
};
