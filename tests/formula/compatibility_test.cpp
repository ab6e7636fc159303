// Formulas written before the language grew its other spellings keep their exact meaning:
// every fuzz seed, every built-in formula and every corpus formula that compiled then
// compiles now to the same program, line for line, as recorded in
// data/compiled_programs.txt. Setting VANTOR_WRITE_COMPILED=1 rewrites that record (only
// ever from a compiler known to be right).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formula/func_str.h"
#include "formula/gs.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

const std::string kRecord = VANTOR_TEST_DATA "/compiled_programs.txt";

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Source name -> formula text, in a fixed order.
std::map<std::string, std::string> Sources() {
    std::map<std::string, std::string> out;
    for (const std::string& name : TFuncStr::Builtins().FNameList)
        out["builtin/" + name] = TFuncStr::Builtins().GetStr(name);
    for (const auto& [dir, prefix] :
         {std::pair{VANTOR_FUZZ_CORPUS, "fuzz/"}, std::pair{VANTOR_TEST_DATA "/corpus", "corpus/"}})
        for (const fs::directory_entry& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".txt")
                out[prefix + e.path().filename().string()] = ReadFile(e.path());
    return out;
}

// Name -> compiled lines of every source that compiles.
std::map<std::string, std::vector<std::string>> Compiled() {
    std::map<std::string, std::vector<std::string>> out;
    for (const auto& [name, text] : Sources()) {
        TGS gs;
        std::vector<std::string> source, compiled;
        if (gs.CompileText(text, source, compiled)) out[name] = compiled;
    }
    return out;
}

std::map<std::string, std::vector<std::string>> Recorded() {
    std::map<std::string, std::vector<std::string>> out;
    std::ifstream in(kRecord, std::ios::binary);
    std::string line;
    std::vector<std::string>* cur = nullptr;
    while (std::getline(in, line)) {
        if (line.starts_with("== "))
            cur = &out[line.substr(3)];
        else if (cur)
            cur->push_back(line);
    }
    return out;
}

TEST(Compatibility, FormulasValidBeforeCompileToTheSamePrograms) {
    const auto now = Compiled();
    if (std::getenv("VANTOR_WRITE_COMPILED")) {
        std::ofstream out(kRecord, std::ios::binary);
        for (const auto& [name, lines] : now) {
            out << "== " << name << "\n";
            for (const std::string& l : lines) out << l << "\n";
        }
    }
    const auto before = Recorded();
    ASSERT_GT(before.size(), 150u);
    for (const auto& [name, lines] : before) {
        auto it = now.find(name);
        ASSERT_NE(it, now.end()) << name << " no longer compiles";
        EXPECT_EQ(it->second, lines) << name;
    }
}

} // namespace
} // namespace vantor
