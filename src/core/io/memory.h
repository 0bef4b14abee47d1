#pragma once

#include <cstddef>

namespace zeltrix {

/**
 * Asks the system to back a large buffer that is about to be filled with
 * large pages, which saves most of the page faults of filling it. Harmless
 * where large pages are not available.
 */
void AdviseLargePages(void* data, std::size_t size);

}  // namespace zeltrix
