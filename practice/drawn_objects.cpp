// The trainee's drawn objects kept with the instrument: saved to a small file per code under
// the program folder when the instrument or the program is closed, and put back on the chart
// when the same instrument is loaded again.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "chart/objects/object_file.h"
#include "practice/practice.h"

namespace vantor {

namespace {
// A code names a file of its own only when it holds no path parts.
bool PlainCode(const std::string& code) {
    return !code.empty() && code.find_first_of("/\\:") == std::string::npos && code != "." &&
           code != "..";
}
} // namespace

std::string TForm1::DrawnObjectsFile(const std::string& code) const {
    if (!PlainCode(code)) return {};
    return (std::filesystem::path(programDir_) / kLinesFolder / (code + ".txt")).string();
}

void TForm1::SaveDrawnObjects() {
    const std::string path = DrawnObjectsFile(loadedCode_);
    if (path.empty()) return;
    const auto objects = chart_.UserObjects();
    const bool none = std::all_of(objects.begin(), objects.end(),
                                  [](const std::vector<XXLine>& w) { return w.empty(); });
    std::error_code ec;
    if (none) { // nothing drawn: nothing to keep
        std::filesystem::remove(path, ec);
        return;
    }
    // Written beside the file and renamed over it, so a failed write never leaves half a file.
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const std::string temp = path + ".tmp";
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << WriteObjects(objects);
        out.close();
        ok = static_cast<bool>(out);
    }
    if (ok) {
        std::filesystem::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
        Fail("画线保存失败：" + path);
    }
}

void TForm1::RestoreDrawnObjects() {
    WindowObjects objects;
    const std::string path = DrawnObjectsFile(loadedCode_);
    std::error_code ec;
    if (!path.empty() && std::filesystem::exists(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in || !ReadObjects(text.str(), objects)) {
            objects = {};
            Fail("画线文件格式有误，已忽略：" + path);
        }
    }
    chart_.SetUserObjects(objects);
}

} // namespace vantor
