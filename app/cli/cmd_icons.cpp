// vantor-cli icons --out PNG [--zoom N]
// Writes a contact sheet of the chart's icon set: every icon enlarged N times (default 3)
// without smoothing, at its own size beside it, and its name, on the chart's black ground.

#include <QGuiApplication>
#include <QPainter>
#include <cstdlib>
#include <optional>

#include "chart/icons.h"
#include "cli/cli_common.h"
#include "cli/commands.h"

namespace vantor::cli {

int CmdIcons(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0, {"out", "zoom"}, {});
    if (!args.error.empty()) return UsageError(args.error);
    auto out = args.get("out");
    if (!out || out->empty()) return UsageError("icons needs --out IMAGE");
    int zoom = 3;
    if (auto z = args.get("zoom")) {
        auto v = ParseInt(*z);
        if (!v || *v < 1 || *v > 16) return UsageError("--zoom needs a number from 1 to 16");
        zoom = *v;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char qtName[] = "vantor-cli";
    char* qtArgv[] = {qtName, nullptr};
    std::optional<QGuiApplication> app;
    if (!QGuiApplication::instance()) app.emplace(qtArgc, qtArgv);

    const auto names = IconNames();
    const int big = kIconSize * zoom, cellW = big + kIconSize + 24, cellH = big + 26, columns = 7;
    const int rows = (static_cast<int>(names.size()) + columns - 1) / columns;
    QImage sheet(columns * cellW, rows * cellH, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter g(&sheet);
    QFont font("DejaVu Sans");
    font.setPixelSize(12);
    g.setFont(font);
    g.setPen(QColor(220, 220, 220));
    for (size_t i = 0; i < names.size(); ++i) {
        const int x = static_cast<int>(i % columns) * cellW + 8,
                  y = static_cast<int>(i / columns) * cellH + 6;
        const QImage& icon = Icon(names[i]);
        g.drawImage(QRect(x, y, big, big), icon);
        g.drawImage(x + big + 8, y + big - kIconSize, icon);
        g.drawText(QRect(x, y + big + 2, cellW - 8, 16), Qt::AlignLeft,
                   QString::fromStdString(names[i]));
    }
    g.end();
    if (!sheet.save(QString::fromStdString(*out), "PNG"))
        return Failure("无法写入图像文件: " + *out);
    return 0;
}

} // namespace vantor::cli
