#pragma once
// A batch CSV that cannot be read twice (a pipe, a process substitution, a device) is read
// once into memory, counted while it comes in: reading stops as soon as the line limit is
// certainly exceeded, at the end-of-file mark 0x1A, or at a byte limit, so an endless
// input costs neither time nor memory. Toolkit-free.

#include <cstddef>
#include <string>

namespace quorvex {

// Ample for 5,001 lines of any real statement file.
inline constexpr std::size_t kMaxPipeBytes = std::size_t{32} << 20;

enum class PipeRead { Complete, TooManyLines, TooLarge, ReadError, Interrupted };

// Reads `fd` until its end into `bytes`. TooManyLines once more than `maxLines` lines end
// in LF (the line reader would count more than maxLines); TooLarge past `maxBytes`;
// Interrupted when a read is broken off by a signal and PendingInterrupt() is set.
PipeRead ReadPipeInput(int fd, std::size_t maxLines, std::size_t maxBytes, std::string& bytes);

}  // namespace quorvex
