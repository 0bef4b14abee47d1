#include "core/io/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace zeltrix {

void AdviseLargePages(void* data, std::size_t size) {
  constexpr std::uintptr_t kLargePage = 2 * 1024 * 1024;
  if (size < 2 * kLargePage) return;
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kLargePage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace zeltrix
