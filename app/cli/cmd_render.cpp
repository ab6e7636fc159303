// vantor-cli render FILE --out PNG [--period P] [--start ROW] [--last ROW] [--width W]
//   [--height H] [--windows N] [--open-only] [--formula WINDOW=FORMULA]... [--home DIR]
//   [--cursor BAR] [--high-low]
// Renders the chart with its default windows as the practice shows it with those bars
// revealed, and writes the image (PNG, or JPEG for a .jpg/.jpeg name). --formula puts a
// formula file (or a built-in formula by name) into a window, 0 being the main window;
// --home is the program folder the pictures and index files are read from (default: the
// folder above FILE's). --cursor draws the keyboard cursor on bar BAR (0 the first bar
// handed to the chart) with its lines and boxes; --high-low labels the local highs and lows.

#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "chart/tgp.h"
#include "cli/cli_common.h"
#include "cli/commands.h"

namespace vantor::cli {

int CmdRender(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0,
                          {"period", "start", "last", "width", "height", "windows", "out",
                           "formula", "home", "cursor"},
                          {"open-only", "high-low"});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.size() > 1) return UsageError("render takes one FILE");
    auto out = args.get("out");
    if (!out || out->empty()) return UsageError("render needs --out IMAGE");
    int width = 1200, height = 700, windows = 3;
    struct Opt {
        const char* name;
        int* value;
        int min, max;
    };
    for (const Opt& o : {Opt{"width", &width, 10, 16384}, Opt{"height", &height, 10, 16384},
                         Opt{"windows", &windows, 1, 10}}) {
        if (auto s = args.get(o.name)) {
            auto v = ParseInt(*s);
            if (!v || *v < o.min || *v > o.max)
                return UsageError(std::string("--") + o.name + " needs a number from " +
                                  std::to_string(o.min) + " to " + std::to_string(o.max));
            *o.value = *v;
        }
    }
    std::optional<int> cursor;
    if (auto s = args.get("cursor")) {
        cursor = ParseInt(*s);
        if (!cursor || *cursor < 0) return UsageError("--cursor needs a bar number from 0");
    }
    // The formulas by window, read before anything is loaded.
    struct Formula {
        int window;
        std::string text, builtin;
    };
    std::vector<Formula> formulas;
    for (const auto& entry : args.all("formula")) {
        const auto eq = entry.find('=');
        const auto win = eq == std::string::npos ? std::nullopt : ParseInt(entry.substr(0, eq));
        if (!win || *win < 0 || *win >= windows)
            return UsageError("--formula needs WINDOW=FILE with WINDOW from 0 to " +
                              std::to_string(windows - 1) + ": " + entry);
        const std::string file = entry.substr(eq + 1);
        std::ifstream in(file, std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            formulas.push_back({*win, text.str(), {}});
        } else if (!TFuncStr::Builtins().GetStr(UpperAscii(file)).empty()) {
            formulas.push_back({*win, {}, file});
        } else {
            return Failure("公式文件不存在: " + file);
        }
    }
    Tstock store;
    TWeekStyle period = wsDay;
    if (int rc = LoadStore(args, store, period)) return rc;

    // Painting text needs a GUI application; the command runs without a display. It ends
    // with the command so the font caches go with it.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char qtName[] = "vantor-cli";
    char* qtArgv[] = {qtName, nullptr};
    std::optional<QGuiApplication> app;
    if (!QGuiApplication::instance()) app.emplace(qtArgc, qtArgv);
    TGP chart;
    std::string errors;
    Host host;
    host.message = [&errors](const std::string& e) { errors = e; };
    chart.SetHost(&host);
    if (auto home = args.get("home")) {
        chart.SetProgramDir(*home);
    } else {
        const auto folder = std::filesystem::path(args.positional[0]).parent_path().parent_path();
        chart.SetProgramDir(folder.empty() ? "." : folder.string());
    }
    chart.BeginUpdate();
    chart.SetSize(width, height);
    chart.UseMainWindowSettings();
    chart.SetTechWindows(windows);
    chart.ClearData();
    chart.SetStkName("训练");
    chart.SetStkLabel("000001");
    chart.SetZhouQi(period);
    for (const auto& f : formulas) {
        const bool ok = f.builtin.empty() ? chart.SetWFCString(f.window, f.text)
                                          : chart.SetWFCZY(f.window, f.builtin);
        if (!ok) {
            const std::string& why = chart.WindowOf(f.window)->prog->ErrorString();
            return Failure("公式错误 (窗口 " + std::to_string(f.window) +
                           "): " + (why.empty() ? errors : why));
        }
    }
    ShowPeriodBars(chart, store, args.has("open-only"));
    if (args.has("high-low")) chart.SetShowHighLow(true);
    if (cursor) chart.SetKeyboardCursor(*cursor);
    chart.EndUpdate();

    // A formula that compiled may still fail on the bars (a function it does not have).
    const QImage& image = chart.Image();
    for (const auto& f : formulas) {
        const std::string& why = chart.WindowOf(f.window)->prog->ErrorString();
        if (!why.empty())
            return Failure("公式错误 (窗口 " + std::to_string(f.window) + "): " + why);
    }
    QString name = QString::fromStdString(*out);
    bool jpeg =
        name.endsWith(".jpg", Qt::CaseInsensitive) || name.endsWith(".jpeg", Qt::CaseInsensitive);
    if (!image.save(name, jpeg ? "JPG" : "PNG", jpeg ? 95 : -1))
        return Failure("无法写入图像文件: " + *out);
    return 0;
}

} // namespace vantor::cli
