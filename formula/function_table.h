#pragma once
// The function catalogue of every formula program: the names in their fixed order, and
// the handlers, which each family of functions registers from its own file.

#include <string>
#include <unordered_map>

#include "formula/func_list.h"

namespace vantor {

// Handlers by lower-case function name, filled by the families.
using HandlerRegistry = std::unordered_map<std::string, SubFunc>;

// One registration function per family (functions_<family>.cpp). A new family writes its
// handlers with the argument rules of function_args.h, declares its Register function
// here and is called from Registry() in function_table.cpp; the catalogue order stays
// that of the name table there.
void RegisterOperatorFunctions(HandlerRegistry& r);   // BIAO, INPUT
void RegisterArithmeticFunctions(HandlerRegistry& r); // one- and two-operand, integer parts
void RegisterAverageFunctions(HandlerRegistry& r);    // moving windows and smoothing
void RegisterStatisticsFunctions(HandlerRegistry& r); // STD, VAR, DEVSQ, AVEDEV ...
void RegisterConditionFunctions(HandlerRegistry& r);  // IF, CROSS, LONGCROSS, BETWEEN, RANGE
void RegisterCountingFunctions(HandlerRegistry& r);   // COUNT, EXIST, EVERY, FILTER ...
void RegisterBarDistanceFunctions(HandlerRegistry& r); // BARSLAST, HHVBARS, SUMBARS ...
void RegisterReferenceFunctions(HandlerRegistry& r);  // position, TFILT, REFDATE, FINDHIGH ...
void RegisterPatternFunctions(HandlerRegistry& r);    // ZIG, PEAK, SAR, COST, WINNER ...
void RegisterRegressionFunctions(HandlerRegistry& r); // FORCAST, SLOPE
void RegisterBlockFunctions(HandlerRegistry& r);      // text, FINANCE, DYNAINFO, LFS, RGB ...
void RegisterDrawingFunctions(HandlerRegistry& r);    // DRAWLINE and the drawing calls

// Fills an empty catalogue: every data word (no handler) and every function, in order.
// A function whose family is not built yet gets a handler that reports it.
void FillFunctionTable(TFunclist& list);

// True for the drawing calls, whose statements record themselves.
bool IsDrawingCall(const std::string& lowerName);

} // namespace vantor
