#pragma once
// TFuncStr: the table of the built-in indicator formulas (name, title, type, source text).

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class TFuncStr {
public:
    // Builds the table with the built-in formulas, in their fixed order.
    TFuncStr();

    // Adds one formula; a name already present (compared in upper case) is ignored.
    void Add(std::string_view GsName, std::string_view Str, unsigned char FType);
    // Appends the names of type FType in table order, or every name when FType is -1.
    void GetList(int FType, std::vector<std::string>& SL) const;
    // The source text of a formula (name compared in upper case); empty when there is none.
    std::string GetStr(std::string_view GsName) const;
    // The title of a formula, empty when there is none.
    std::string GetTitle(std::string_view GsName) const;

    int Count() const { return static_cast<int>(FNameList.size()); }

    std::vector<std::string> FNameList;   // upper case, in the order added
    std::vector<std::string> FTitleList;  // same order
    std::vector<std::string> FFuncStr;    // same order
    std::vector<unsigned char> FFuncType; // 1 indicators, 2 advanced

    // The shared table of built-in formulas, built once; formula references read it.
    static const TFuncStr& Builtins();

private:
    int IndexOf(std::string_view GsName) const;
};

// ASCII upper case; other bytes (UTF-8 text) are kept.
std::string UpperAscii(std::string_view s);

} // namespace vantor
