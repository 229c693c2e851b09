#include "Lecture.h"

TLecture Lecture;

void TLecture::Reset() {
  Current = 0;
  Count = 0;
}
