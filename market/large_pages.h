#pragma once
// A hint that a large block of fresh memory about to be filled from start to end may be
// backed by large pages: one page fault then serves 2 MiB instead of 4 KiB. Filling the
// bars of a big data file touches some ten megabytes of new memory, and with small pages
// much of the loading time goes to the faults.

#include <cstddef>

namespace vantor {

// Asks the system to back the memory of [data, data + bytes), rounded out to whole large
// pages, with large pages when it can. Changes nothing the program sees: no byte is written,
// and memory of other blocks inside the rounding only takes the same hint. Does nothing for
// blocks smaller than a large page or where there is no such hint.
void PreferLargePages(const void* data, std::size_t bytes);

} // namespace vantor
