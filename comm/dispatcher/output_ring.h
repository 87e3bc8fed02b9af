// The output ring: bytes handed to SendBlock wait here until the output
// thread writes them. A plain head/tail/count ring: "full" and "empty" are
// told apart by the count, so a full ring that wraps is written exactly once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace comm {

class OutputRing {
 public:
  // Allocates `size` zero-filled bytes; 0 frees the ring.
  void Allocate(std::size_t size);
  bool Allocated() const { return !bytes_.empty(); }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Used() const { return count_; }
  std::size_t Free() const { return bytes_.size() - count_; }
  bool Full() const { return !bytes_.empty() && count_ == bytes_.size(); }

  // Appends all of `data`, or nothing when it does not fit.
  bool Append(std::span<const std::uint8_t> data);
  // The oldest waiting bytes that lie in one piece (empty when none wait).
  std::span<const std::uint8_t> NextBlock() const;
  // Drops `count` bytes from the front (at most what waits).
  void Consume(std::size_t count);
  void Clear() { head_ = tail_ = count_ = 0; }

  std::size_t Head() const { return head_; }
  std::size_t Tail() const { return tail_; }
  // Tests: place the indexes as if earlier writes had moved them.
  void PlaceForTest(std::size_t tail, std::size_t count);

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t head_ = 0;
  std::size_t tail_ = 0;
  std::size_t count_ = 0;
};

}  // namespace comm
