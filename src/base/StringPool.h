// The process-wide allocator of string buffers: small blocks come from free lists of size
// classes carved out of 4096-byte pages, larger ones take whole pages. Blocks report their
// usable size, which strings keep as their capacity. Pages are never returned to the system.
#pragma once

#include <cstddef>

// A block of at least `size` bytes, or null when memory is exhausted; *usable receives the
// block's real size.
char* poolAllocate(std::size_t size, std::size_t* usable);

// Returns a block obtained from poolAllocate with its usable size.
void poolRelease(char* block, std::size_t usable);

// The usable size poolAllocate would give for a request of `size` bytes.
std::size_t poolBlockSize(std::size_t size);
