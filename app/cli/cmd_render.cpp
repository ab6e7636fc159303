// vantor-cli render FILE --out PNG [--period P] [--start ROW] [--last ROW] [--width W]
//   [--height H] [--windows N] [--open-only] [--cursor BAR] [--high-low]
// Renders the chart with its default windows as the practice shows it with those bars
// revealed, and writes the image (PNG, or JPEG for a .jpg/.jpeg name). --cursor draws the
// keyboard cursor on bar BAR (0 the first bar handed to the chart) with its lines and
// boxes; --high-low labels the local highs and lows.

#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <memory>
#include <optional>

#include "chart/tgp.h"
#include "cli/cli_common.h"
#include "cli/commands.h"

namespace vantor::cli {

int CmdRender(int argc, char** argv) {
    Args args = ParseArgs(
        argc, argv, 0, {"period", "start", "last", "width", "height", "windows", "out", "cursor"},
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
    chart.BeginUpdate();
    chart.SetSize(width, height);
    chart.UseMainWindowSettings();
    chart.SetTechWindows(windows);
    chart.ClearData();
    chart.SetStkName("训练");
    chart.SetStkLabel("000001");
    chart.SetZhouQi(period);
    ShowPeriodBars(chart, store, args.has("open-only"));
    if (args.has("high-low")) chart.SetShowHighLow(true);
    if (cursor) chart.SetKeyboardCursor(*cursor);
    chart.EndUpdate();

    QString name = QString::fromStdString(*out);
    bool jpeg =
        name.endsWith(".jpg", Qt::CaseInsensitive) || name.endsWith(".jpeg", Qt::CaseInsensitive);
    if (!chart.Image().save(name, jpeg ? "JPG" : "PNG", jpeg ? 95 : -1))
        return Failure("无法写入图像文件: " + *out);
    return 0;
}

} // namespace vantor::cli
