#include "DialogStack.h"

#include <utility>

TDialogStack::~TDialogStack() {
  // The last opened goes first: a view may draw from one below it.
  while (!entries_.empty()) entries_.pop_back();
}

void TDialogStack::Push(std::unique_ptr<TModalForm> view, std::function<void()> closed) {
  entries_.push_back({std::move(closed), std::move(view)});
}

std::function<void()> TDialogStack::PopClosed() {
  if (!TopClosed()) return {};
  std::function<void()> closed = std::move(entries_.back().Closed);
  // The view goes before its completion runs; what the completion keeps
  // alive for the view lives on in the returned function.
  entries_.back().View.reset();
  entries_.pop_back();
  if (!closed) closed = [] {};
  return closed;
}
