#include "practice/formula_editing.h"

#include <filesystem>
#include <fstream>

#include "chart/tgp.h"
#include "formula/func_str.h"

namespace vantor {

bool EditWindowFormula(TGP& chart, FormulaHost& host, const std::string& programDir) {
    ChartWindow* w = chart.CurrentWindow();
    if (!w || !w->prog) return false;
    FormulaEdit edit;
    edit.text = UpperAscii(w->prog->ProgText());
    edit.caption = " - " + w->FFileName;
    if (!host.EditFormula(edit)) return true;
    const std::string file = w->FFileName.empty() ? "temp.zb" : w->FFileName;
    std::filesystem::path path(file);
    if (path.is_relative()) path = std::filesystem::path(programDir) / path;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << edit.text;
        if (!out) {
            host.Message("无法保存公式文件：" + path.string());
            return false;
        }
    }
    chart.SetWFCCurFile(path.string());
    w->FFileName = file;
    chart.ReDraw();
    return true;
}

} // namespace vantor
