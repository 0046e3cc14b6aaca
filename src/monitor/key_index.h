// The row store's key index: row key -> row, in one flat open-addressing
// table (linear probing, deletion by backward shift).  Each slot holds the
// key's hash beside the row pointer, so a lookup touches one slot and then
// only the row it is after — the refresh looks up every row five times a
// second, and a node-based map would add a cache miss to each of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvar {

template <typename Row>
class KeyIndex {
 public:
  // The row with that key (its `key` member), or nullptr.
  Row* Find(std::string_view key) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t h = Hash(key);
    for (std::size_t i = Home(h);; i = Next(i)) {
      const Slot& s = slots_[i];
      if (!s.row) return nullptr;
      if (s.hash == h && s.row->key == key) return s.row;
    }
  }

  // Adds a row whose key is not in the index yet.
  void Insert(Row* row) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place(Hash(row->key), row);
    ++count_;
  }

  void Erase(const Row* row) {
    const std::uint64_t h = Hash(row->key);
    std::size_t i = Home(h);
    while (slots_[i].row != row) i = Next(i);
    // Backward shift: later slots of the same run move up into the hole
    // when the hole lies between their home and where they stand.
    for (std::size_t j = Next(i);; j = Next(j)) {
      if (!slots_[j].row) break;
      const std::size_t home = Home(slots_[j].hash);
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
    std::uint64_t hash = 0;
    Row* row = nullptr;
  };

  static std::uint64_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }
  std::size_t Home(std::uint64_t h) const { return static_cast<std::size_t>(h) & (slots_.size() - 1); }
  std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

  void Place(std::uint64_t h, Row* row) {
    std::size_t i = Home(h);
    while (slots_[i].row) i = Next(i);
    slots_[i] = Slot{h, row};
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    for (const Slot& s : old)
      if (s.row) Place(s.hash, s.row);
  }

  std::vector<Slot> slots_;  // a power of two long, at most half full
  std::size_t count_ = 0;
};

}  // namespace kelvar
