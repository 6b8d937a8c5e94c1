#pragma once
// The element index: one 32-byte record per element, in segments of 65,536 records.
#include <cstdint>
#include <memory>
#include <vector>

namespace xml {

struct ElementRecord {
  std::uint32_t start;        // offset of the element's '<' in the text, in UTF-16 units
  std::uint32_t length;       // to the end of the end tag, or of the start tag when there is none
  std::uint32_t tagLengths;   // bits 0-21 start tag length, bits 22-31 end tag length
  std::uint32_t levelFlags;   // bits 0-15 nesting level, and the ELEMENT_ flags below
  std::uint32_t parent;
  std::uint32_t firstChild;   // 0 when none
  std::uint32_t nextSibling;  // 0 after the last sibling
  std::uint32_t prevSibling;  // for the first child: the last child (a ring)
};
static_assert(sizeof(ElementRecord) == 32);

inline constexpr std::uint32_t ELEMENT_LEVEL_MASK = 0xFFFF;
inline constexpr std::uint32_t ELEMENT_FIRST_CHILD = 0x80000;
inline constexpr std::uint32_t ELEMENT_UNENDED = 0x100000;
inline constexpr std::uint32_t ELEMENT_HAS_ERROR = 0x200000;
inline constexpr std::uint32_t ELEMENT_DOC_NOT_WELL_FORMED = 0x800000;  // record 0 only

inline constexpr std::uint32_t kStartTagLengthMax = 0x3FFFFF;  // bits 0-21
inline constexpr std::uint32_t kEndTagLengthMax = 0x3FF;       // bits 22-31

class ElementIndex {
 public:
  static constexpr std::uint32_t kSegmentBits = 16;
  static constexpr std::uint32_t kSegmentSize = 1u << kSegmentBits;

  ElementRecord& operator[](std::uint32_t i) { return segments_[i >> kSegmentBits][i & (kSegmentSize - 1)]; }
  const ElementRecord& operator[](std::uint32_t i) const {
    return segments_[i >> kSegmentBits][i & (kSegmentSize - 1)];
  }

  bool built() const { return !segments_.empty(); }
  std::uint32_t capacity() const { return capacity_; }
  std::size_t segmentCount() const { return segments_.size(); }

  // Makes room for at least `count` records, one growth step after another.
  void reserve(std::uint32_t count);
  // One growth step towards `target` records: the last segment is reallocated up to the
  // full segment size, or one new segment is added. Full segments never move.
  void growStep(std::uint32_t target);
  // Grows by half of `count` (at least one record) when `count` has reached the capacity.
  void ensureSlot(std::uint32_t count) {
    if (count >= capacity_) growStep(count + count / 2 + 1);
  }
  void release();

 private:
  std::vector<std::unique_ptr<ElementRecord[]>> segments_;
  std::uint32_t capacity_ = 0;
};

}  // namespace xml
