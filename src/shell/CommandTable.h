// The command table: every command code the planetarium serves, once, with
// the handler that serves it, whether a show that holds the view refuses it,
// and whether it leaves the sky model stale (to be brought up to date before
// the next picture). Codes without a row are accepted and do nothing.
#pragma once

#include <span>

class TViewState;

struct TCommandRow {
  int Code;
  void (TViewState::*Handler)(int code);
  bool LockedByShow;   // refused while a playing show holds the view
  bool MakesSkyStale;  // the sky model is stale after the handler ran
};

// The row of a code, or null.
const TCommandRow* FindCommand(int code);
// Every row, in code order.
std::span<const TCommandRow> CommandRows();
