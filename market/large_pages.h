#pragma once
// A hint that a large block of fresh memory about to be filled from start to end may be
// backed by large pages: one page fault then serves 2 MiB instead of 4 KiB. Filling the
// bars of a big data file touches some ten megabytes of new memory, and on a small-page
// system most of the loading time would go to the faults.

#include <cstddef>

namespace vantor {

// Asks the system to back the whole large pages inside [data, data + bytes) with large pages
// when it can. Changes nothing the program sees; does nothing where there is no such hint.
void PreferLargePages(const void* data, std::size_t bytes);

} // namespace vantor
