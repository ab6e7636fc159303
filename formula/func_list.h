#pragma once
// TFunclist: the function catalogue through which compiler and evaluator find functions.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "market/host.h"

namespace vantor {

class TGS;

// Argument slots of a call: at most 38 arguments, then the attribute slot "::" + attributes.
constexpr int kArgSlots = 40;
constexpr int kMaxCallArgs = kArgSlots - 2;

// The argument texts of one call, lower case, each a name, a number or a string literal.
struct TXX {
    std::array<std::string, kArgSlots> item;
    int count = 0; // number of arguments; item[count] holds "::" + the attribute list
    const std::string& operator[](int i) const { return item[static_cast<size_t>(i)]; }
};

// A function handler: result name, function name as written, argument texts.
using SubFunc = bool (*)(TGS& gs, const std::string& Name, const std::string& Func, const TXX& XX);

class TFunclist {
public:
    static constexpr int kCapacity = 396;

    std::vector<std::string> namelist; // lower case, in the order added
    std::vector<std::string> notelist;
    std::vector<SubFunc> sf;
    const Host* host = nullptr; // shows messages to the user

    // Adds a function; a name already held is reported and ignored, and so is any name
    // offered when the catalogue is full.
    void Add(std::string_view name, SubFunc sf1, std::string_view note);
    // The handler of a name, or nullptr (also for data words and unknown names).
    SubFunc getfunc(std::string_view name) const;
    // True when the name is in the catalogue, with or without a handler.
    bool has(std::string_view name) const { return IndexOf(name) >= 0; }
    int IndexOf(std::string_view name) const;
    std::string getnote(std::string_view name) const;
    void getfunclist(std::vector<std::string>* Funclist) const;

private:
    std::unordered_map<std::string, int> index_;
};

} // namespace vantor
