#include "comm/dispatcher/output_ring.h"

#include <algorithm>
#include <cstring>

namespace comm {

void OutputRing::Allocate(std::size_t size) {
  std::vector<std::uint8_t>(size, 0).swap(bytes_);
  Clear();
}

bool OutputRing::Append(std::span<const std::uint8_t> data) {
  if (data.size() > Free()) return false;
  const std::size_t first = std::min(data.size(), bytes_.size() - head_);
  if (first > 0) std::memcpy(bytes_.data() + head_, data.data(), first);
  if (data.size() > first) std::memcpy(bytes_.data(), data.data() + first, data.size() - first);
  head_ = (head_ + data.size()) % std::max<std::size_t>(bytes_.size(), 1);
  count_ += data.size();
  return true;
}

std::span<const std::uint8_t> OutputRing::NextBlock() const {
  if (count_ == 0) return {};
  const std::size_t length = std::min(count_, bytes_.size() - tail_);
  return {bytes_.data() + tail_, length};
}

void OutputRing::Consume(std::size_t count) {
  count = std::min(count, count_);
  if (bytes_.empty()) return;
  tail_ = (tail_ + count) % bytes_.size();
  count_ -= count;
  if (count_ == 0) head_ = tail_ = 0;
}

void OutputRing::PlaceForTest(std::size_t tail, std::size_t count) {
  tail_ = tail % bytes_.size();
  count_ = std::min(count, bytes_.size());
  head_ = (tail_ + count_) % bytes_.size();
}

}  // namespace comm
