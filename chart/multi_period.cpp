#include "chart/multi_period.h"

#include <filesystem>

#include "market/data_files.h"

namespace vantor {

TWeekStyle MultiPeriodOf(int k, bool minuteBase, TWeekStyle created) {
    if (minuteBase) return static_cast<TWeekStyle>(k);
    return k < 8 ? static_cast<TWeekStyle>(k + 7) : created;
}

QRect MultiPeriodCell(int layoutCount, int c, int r, int w, int h) {
    int cw = w / 2, ch = h / 2;
    if (layoutCount == 6) cw = w / 3;
    if (layoutCount == 9) {
        cw = w / 3;
        ch = h / 3;
    }
    return QRect(c * cw, r * ch, cw, ch);
}

TfrmDzq::TfrmDzq(TGP::ProgramFactory factory, int techWindows, const std::string& programDir) {
    for (auto& chart : charts) {
        chart = std::make_unique<TGP>(factory);
        chart->BeginUpdate();
        chart->SetShowBoard(false);
        chart->SetShowLeft(true);
        chart->SetShowRight(true);
        chart->SetShowTab(false);
        chart->SetShowHighLow(false);
        chart->SetTechWindows(techWindows);
        for (int w = 0; w < 3 && !programDir.empty(); ++w) {
            std::string file = FindPathNoCase(programDir, std::to_string(w) + ".zb");
            std::error_code ec;
            if (std::filesystem::is_regular_file(file, ec)) chart->SetWFCFile(w, file);
        }
        chart->ClearData();
        chart->EndUpdate();
    }
}

void TfrmDzq::AssignPeriods(bool minuteBase) {
    for (int k = 0; k < 9; ++k) {
        TGP& chart = *charts[static_cast<size_t>(k)];
        chart.SetZhouQi(MultiPeriodOf(k, minuteBase, chart.ZhouQi()));
    }
}

void TfrmDzq::RePosition(int w, int h) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            QRect cell = MultiPeriodCell(layoutCount, c, r, w, h);
            charts[static_cast<size_t>(3 * r + c)]->SetSize(cell.width(), cell.height());
        }
}

void TfrmDzq::drawdzq(const Tstock& store, bool openOnly) {
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            ShowPeriodBars(*charts[static_cast<size_t>(3 * r + c)], store, openOnly);
}

std::vector<std::string> TfrmDzq::MenuCaptions() {
    std::vector<std::string> items;
    for (int p = 0; p < kCachedPeriods; ++p)
        items.emplace_back(PeriodCaption(static_cast<TWeekStyle>(p)));
    for (const char* c : {"-", "四图", "六图", "九图", "-", "指标用法注释", "调整指标参数",
                          "修改指标公式", "恢复默认指标", "显示指标栏", "-", "保存EXCEL",
                          "保存全部EXCEL", "-", "删除窗口", "联系方式"})
        items.emplace_back(c);
    return items;
}

bool TfrmDzq::MenuCommand(int k, const std::string& caption, const Tstock& store, bool openOnly,
                          int w, int h) {
    if (k < 0 || k >= 9) return false;
    const std::pair<const char*, int> layouts[] = {{"四图", 4}, {"六图", 6}, {"九图", 9}};
    for (const auto& [name, count] : layouts)
        if (caption == name) {
            layoutCount = count;
            RePosition(w, h);
            return true;
        }
    for (int p = 0; p < kCachedPeriods; ++p)
        if (caption == PeriodCaption(static_cast<TWeekStyle>(p))) {
            charts[static_cast<size_t>(k)]->SetZhouQi(static_cast<TWeekStyle>(p));
            drawdzq(store, openOnly);
            return true;
        }
    return false;
}

} // namespace vantor
