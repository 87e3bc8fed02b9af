// Checks on an enhanced metafile in its file form, the page image the store
// keeps: the header's type, signature and recorded length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace report {

constexpr std::uint32_t kEmrHeaderType = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEmfSignatureOffset = 40;
constexpr std::size_t kEmfLengthOffset = 48;
// The header fields every enhanced metafile has, up to its millimetre size.
constexpr std::size_t kEmfMinimalHeaderSize = 88;

// What is wrong with a metafile image whose header (at least its first
// kEmfMinimalHeaderSize bytes) is given and that should be expectedLength
// bytes long; empty when nothing is.
std::string MetafileImageFault(std::span<const std::uint8_t> header, std::int64_t expectedLength);

}  // namespace report
