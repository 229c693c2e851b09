// Table1: a fixed-capacity table indexed from 1, as every table of the sky
// model is. An index outside 1..N never touches memory outside the table: it
// lands on a spare slot 0 that is cleared before each such access, so a bad
// star number in a file reads as an empty record and writes go nowhere.
#pragma once

#include <array>
#include <cstddef>

template <typename T, int N>
struct Table1 {
  static constexpr int Count = N;

  T& operator[](int i) {
    if (i >= 1 && i <= N) return slots_[static_cast<size_t>(i)];
    slots_[0] = T{};
    return slots_[0];
  }
  const T& operator[](int i) const {
    if (i >= 1 && i <= N) return slots_[static_cast<size_t>(i)];
    return empty_;
  }
  static constexpr bool InRange(int i) { return i >= 1 && i <= N; }

  // The records 1..N as one contiguous block, in file order.
  T* data() { return slots_.data() + 1; }
  const T* data() const { return slots_.data() + 1; }
  static constexpr size_t Bytes() { return sizeof(T) * N; }

 private:
  std::array<T, N + 1> slots_{};
  static inline const T empty_{};
};
