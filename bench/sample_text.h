#pragma once

#include <cstddef>
#include <string>

namespace zeltrix::bench {

/**
 * A Windows-1251 text of about the given size: Russian and Latin words,
 * lines of some 60 characters ending in CR LF. The same size gives the same text.
 */
std::string SampleText(std::size_t bytes);

}  // namespace zeltrix::bench
