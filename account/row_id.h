#pragma once
// Row identifiers of the journal and the contract-parameter database, also used as the
// file names of trade screenshots.

#include <string>

namespace vantor {

// A fresh random GUID in its text form without braces, cut to its first 31 characters, with
// the hyphens removed: 27 upper-case hexadecimal digits.
std::string NewRowId();

} // namespace vantor
