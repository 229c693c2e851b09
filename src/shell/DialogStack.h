// The stage's open dialogs, one over the other, the last opened shown.
// Each entry owns its view and what is to happen when it closes (its
// completion, which also keeps alive what the view draws from and is not
// kept between showings).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ModalForm.h"

class TDialogStack {
 public:
  TDialogStack() = default;
  TDialogStack(const TDialogStack&) = delete;
  TDialogStack& operator=(const TDialogStack&) = delete;
  ~TDialogStack();

  void Push(std::unique_ptr<TModalForm> view, std::function<void()> closed);
  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }
  // The dialog shown (the last opened); null when none is.
  TModalForm* Top() const { return entries_.empty() ? nullptr : entries_.back().View.get(); }
  // The top dialog has closed and waits for the frame to run its completion.
  bool TopClosed() const { return !entries_.empty() && !entries_.back().View->IsOpen(); }
  // Takes the top dialog off the stack if it has closed; its completion is
  // handed back to be run (empty when nothing closed).
  std::function<void()> PopClosed();

 private:
  struct TEntry {
    std::function<void()> Closed;      // destroyed after the view that may refer to it
    std::unique_ptr<TModalForm> View;
  };
  std::vector<TEntry> entries_;
};
