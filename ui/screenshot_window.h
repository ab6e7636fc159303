#pragma once
// The window "交易理由": the chart picture saved with a trade, scaled to fit the window with
// its proportions kept. When the picture is missing the window says so in red. Escape hides
// it.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace vantor {

// The place of a picture of `image` scaled to fit `area` with its proportions kept, centred.
QRect FitRect(QSize image, QSize area);

inline constexpr const char* kScreenshotCaption = "交易理由";
inline constexpr const char* kMissingScreenshot = "当前目录没有找到+#13+图片！";

class ScreenshotWindow : public QWidget {
    Q_OBJECT
public:
    explicit ScreenshotWindow(QWidget* parent = nullptr);
    // Shows the picture of `file` (its path as the caption) or, when it cannot be read, the
    // missing-picture text; then raises the window.
    void ShowFile(const QString& file);
    bool PictureShown() const { return !image_.isNull(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QImage image_;
};

} // namespace vantor
