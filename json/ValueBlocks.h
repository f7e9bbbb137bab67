#pragma once

#include <cstddef>

namespace pavix {

// Memory for the value objects that trees hold by the hundred thousand: every
// byte of a print job is a number. Their blocks are kept for reuse, a cache
// per thread refilled from and spilled to a shared store in batches, instead
// of going through the general heap one by one. A block may be given back on
// any thread. What the store holds beyond its cap goes back to the heap.
namespace value_blocks {

inline constexpr std::size_t kBlockSize = 32;

void* Allocate();                       // kBlockSize bytes, aligned as operator new aligns
void Release(void* block) noexcept;     // a block from Allocate

}  // namespace value_blocks

}  // namespace pavix
