#pragma once
// A table with one entry per key number (rows 0..87, row 0 belongs to no key) and level
// (0 = Level 1, 1 = Level 2). table[key][level] reads as a two-dimensional array; the entries
// lie as one block in which index key * 2 + level addresses [key][level], so a window can
// copy the whole table out and back.

#include <array>
#include <cstddef>
#include <span>

inline constexpr int kKeyRows = 88;  // key numbers 0..87
inline constexpr int kLevels = 2;

constexpr bool isKeySlot(int key, int level) {
    return key >= 0 && key < kKeyRows && level >= 0 && level < kLevels;
}

template <typename T>
class PerKeyTable {
public:
    static constexpr std::size_t kBlockSize = std::size_t(kKeyRows) * kLevels;  // 176

    // The two levels of key number `key` (0..87, unchecked, as for a built-in array).
    std::span<T, kLevels> operator[](int key) {
        return std::span<T, kLevels>(cells_.data() + std::size_t(key) * kLevels, kLevels);
    }
    std::span<const T, kLevels> operator[](int key) const {
        return std::span<const T, kLevels>(cells_.data() + std::size_t(key) * kLevels, kLevels);
    }

    // Checked access: nullptr when key or level is out of range.
    T* find(int key, int level) { return isKeySlot(key, level) ? &cells_[index(key, level)] : nullptr; }
    const T* find(int key, int level) const {
        return isKeySlot(key, level) ? &cells_[index(key, level)] : nullptr;
    }

    // All 176 entries in index order key * 2 + level.
    std::span<T, kBlockSize> block() { return cells_; }
    std::span<const T, kBlockSize> block() const { return cells_; }

    void fill(const T& value) { cells_.fill(value); }

private:
    static constexpr std::size_t index(int key, int level) {
        return std::size_t(key) * kLevels + std::size_t(level);
    }
    std::array<T, kBlockSize> cells_{};
};
