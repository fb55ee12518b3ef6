#pragma once
// One copy of the diagram face's font file for every drawing thread. The font engine opens
// a face per thread, and each face maps the file on its own: about 2 MiB of it resident per
// thread, counted once per mapping. Loaded into memory once and registered as the same
// family, the file is shared by every thread's face instead.

namespace quorvex {

// Resident bytes one thread's face keeps of a mapped font file (measured with the IPA
// faces at the diagram sizes).
inline constexpr long long kMappedFontBytesPerThread = 2LL << 20;
// Larger files are never read into memory.
inline constexpr long long kMaxSharedFontBytes = 64LL << 20;

// Before `threads` threads draw at once: loads the resolved diagram face's file into memory
// when that costs less than the threads' mappings (threads x kMappedFontBytesPerThread above
// the file's size) and the family is one face in one file, so the pictures stay exactly the
// same. Once per process; true when the face is shared (now or earlier).
bool ShareDiagramFontData(int threads);

}  // namespace quorvex
