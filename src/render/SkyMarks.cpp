#include "SkyMarks.h"

bool IsHighlighted(const TSkyMarks& marks, int kind, int number) {
  const int used = UsedEntries(marks.HighlightCount, MaxHighlights);
  for (int i = 1; i <= used; ++i) {
    const THighlight& h = marks.Highlights[i];
    switch (kind) {
      case HighlightKind::Lines:
        if (h.Object == number && h.ShowLines > 0) return true;
        break;
      case HighlightKind::Greek:
        if (h.Object == number && h.ShowGreek > 0) return true;
        break;
      case HighlightKind::Name:
        if (h.Object == number && h.ShowName > 0) return true;
        break;
      case HighlightKind::StarNames:
        if (h.Object == number && h.ShowStarNames > 0) return true;
        break;
      case HighlightKind::Office:
        // In 64 bits: a damaged owner number near the integer limit must not wrap.
        if (h.Object == int64_t{number} + 200) return true;
        break;
      default:
        return false;
    }
  }
  return false;
}
