#include "ui/screenshot_window.h"

#include <QKeyEvent>
#include <QPainter>

namespace vantor {

QRect FitRect(QSize image, QSize area) {
    if (image.isEmpty() || area.isEmpty()) return {};
    const QSize fitted = image.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
                 fitted);
}

ScreenshotWindow::ScreenshotWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QString::fromUtf8(kScreenshotCaption));
    resize(1000, 700);
}

void ScreenshotWindow::ShowFile(const QString& file) {
    image_ = QImage(file);
    setWindowTitle(image_.isNull() ? QString::fromUtf8(kScreenshotCaption) : file);
    update();
    show();
    raise();
    activateWindow();
}

void ScreenshotWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!image_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(FitRect(image_.size(), size()), image_);
        return;
    }
    QFont f = font();
    f.setPointSize(20);
    p.setFont(f);
    p.setPen(Qt::red);
    // The text's top-left corner at (100, 100).
    p.drawText(QRect(100, 100, width(), height()), Qt::AlignLeft | Qt::AlignTop,
               QString::fromUtf8(kMissingScreenshot));
}

void ScreenshotWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace vantor
