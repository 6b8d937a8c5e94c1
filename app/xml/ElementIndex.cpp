#include "ElementIndex.h"

#include <algorithm>
#include <cstring>

namespace xml {

void ElementIndex::reserve(std::uint32_t count) {
  while (capacity_ < count) growStep(count);
}

void ElementIndex::growStep(std::uint32_t target) {
  if (target <= capacity_) return;
  const std::uint32_t fullBefore = segments_.empty() ? 0 : std::uint32_t(segments_.size() - 1) * kSegmentSize;
  const std::uint32_t lastSize = capacity_ - fullBefore;
  if (!segments_.empty() && lastSize < kSegmentSize) {
    const std::uint32_t newSize = std::min<std::uint32_t>(kSegmentSize, target - fullBefore);
    std::unique_ptr<ElementRecord[]> grown(new ElementRecord[newSize]);
    std::memcpy(grown.get(), segments_.back().get(), std::size_t(lastSize) * sizeof(ElementRecord));
    segments_.back() = std::move(grown);
    capacity_ = fullBefore + newSize;
  } else {
    const std::uint32_t newSize = std::min<std::uint32_t>(kSegmentSize, target - capacity_);
    segments_.emplace_back(new ElementRecord[newSize]);
    capacity_ += newSize;
  }
}

void ElementIndex::release() {
  segments_.clear();
  segments_.shrink_to_fit();
  capacity_ = 0;
}

}  // namespace xml
