#pragma once
// The formulas a new library starts with: the built-in indicators and the shipped real-world
// formulas that compile, sorted into categories a trader looks for.

#include <string>
#include <vector>

#include "library/formula_library.h"

namespace vantor {

// The categories of a new library, in their order.
const std::vector<std::string>& SeedCategories();
// Every formula a new library receives; each one compiles.
std::vector<LibraryFormula> SeedFormulas();
// Writes the categories and SeedFormulas() into an empty library in one transaction.
bool SeedLibrary(TFormulaLibrary& lib);

} // namespace vantor
