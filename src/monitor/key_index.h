// The row store's index: PID -> row, in one flat open-addressing table
// (linear probing, deletion by backward shift).  Each slot holds the PID
// beside the row pointer, so a lookup touches one slot and no row — the
// refresh looks up every row five times a second, and a node-based map
// would add a cache miss to each of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvar {

// `Row` answers its key by Key().
template <typename Row>
class KeyIndex {
 public:
  // The row with that key, or nullptr.
  Row* Find(std::int32_t key) const {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = Home(key);; i = Next(i)) {
      const Slot& s = slots_[i];
      if (!s.row) return nullptr;
      if (s.key == key) return s.row;
    }
  }

  // Adds a row whose key is not in the index yet.
  void Insert(Row* row) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place(row->Key(), row);
    ++count_;
  }

  void Erase(const Row* row) {
    std::size_t i = Home(row->Key());
    while (slots_[i].row != row) i = Next(i);
    // Backward shift: later slots of the same run move up into the hole
    // when the hole lies between their home and where they stand.
    for (std::size_t j = Next(i);; j = Next(j)) {
      if (!slots_[j].row) break;
      const std::size_t home = Home(slots_[j].key);
      const bool movable = i <= j ? (home <= i || home > j) : (home <= i && home > j);
      if (movable) {
        slots_[i] = slots_[j];
        i = j;
      }
    }
    slots_[i] = Slot{};
    --count_;
  }

 private:
  struct Slot {
    std::int32_t key = 0;
    Row* row = nullptr;
  };

  // Fibonacci hashing spreads consecutive PIDs over the table.
  std::size_t Home(std::int32_t key) const {
    const std::uint64_t h = static_cast<std::uint32_t>(key) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> 32) & (slots_.size() - 1);
  }
  std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

  void Place(std::int32_t key, Row* row) {
    std::size_t i = Home(key);
    while (slots_[i].row) i = Next(i);
    slots_[i] = Slot{key, row};
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    for (const Slot& s : old)
      if (s.row) Place(s.key, s.row);
  }

  std::vector<Slot> slots_;  // a power of two long, at most half full
  std::size_t count_ = 0;
};

}  // namespace kelvar
