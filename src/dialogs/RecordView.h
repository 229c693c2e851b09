// The ImGui view of "录制视频": draws TFormRecord's state, calls its
// handlers, and polls the running recording every frame.
#pragma once

#include "FormRecord.h"
#include "ModalForm.h"

class TRecordView : public TModalForm {
 public:
  explicit TRecordView(TFormRecord& form) : form_(form) {}
  bool IsOpen() const override { return form_.Open; }
  void DrawView() override;
  void CloseByHost() override { form_.ButtonCancelClick(); }
  bool Busy() const override { return form_.Phase == TFormRecord::TPhase::Recording; }

 private:
  void DrawChoosing();
  void DrawRecording();
  TFormRecord& form_;
};

// Every character the dialog shows of its own (UTF-8).
const char* RecordGlyphs();
