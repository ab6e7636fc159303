#include "ui/chart_dialogs.h"

#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

#include "chart/tgp.h"
#include "practice/formula_editing.h"
#include "ui/formula_editor.h"

namespace vantor {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

// --- TTTiao ---

TTTiao::TTTiao(TGP& chart, ChartWindow& window, QWidget* parent)
    : QDialog(parent), adjust_(chart, window) {
    setWindowTitle(QStringLiteral("指标参数调整"));
    setObjectName("TTTiao");
    auto* label = new QLabel(QStringLiteral("请设置计算参数:"), this);
    label->move(8, 2);
    const auto& rows = adjust_.Rows();
    for (size_t r = 0; r < rows.size(); ++r) {
        const int y = static_cast<int>(r) * 25 + 20;
        const Param& p = rows[r].param;
        auto* lb = new QLabel(Q(rows[r].label), this);
        lb->setGeometry(4, y, 50, 21);
        lb->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* ed = new QSpinBox(this);
        ed->setObjectName(Q(rows[r].label));
        ed->setGeometry(56, y, 64, 21);
        ed->setRange(std::min(p.min1, p.max1), std::max(p.min1, p.max1));
        ed->setValue(p.val1);
        ed->setKeyboardTracking(true);
        ed->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
        auto* range = new QLabel(QString::asprintf("%d--%d", p.min1, p.max1), this);
        range->setGeometry(125, y, 90, 21);
        ed_.push_back(ed);
        connect(ed, &QSpinBox::valueChanged, this, [this, r] { EdChange(static_cast<int>(r)); });
    }
    auto* restore = new QPushButton(QStringLiteral("恢复缺省"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    restore->setObjectName("FlatGP2");
    close->setObjectName("FlatGP1");
    restore->setGeometry(24, 160, 80, 25);
    close->setGeometry(118, 160, 80, 25);
    connect(restore, &QPushButton::clicked, this, &TTTiao::FlatGP2Click);
    connect(close, &QPushButton::clicked, this, [this] { done(1); });
    setFixedSize(222, 191);
}

void TTTiao::EdChange(int row) {
    // The spinner holds its value inside the range; the core clamps once more.
    int used = adjust_.SetValue(static_cast<size_t>(row), ed_[static_cast<size_t>(row)]->value());
    if (used != ed_[static_cast<size_t>(row)]->value())
        ed_[static_cast<size_t>(row)]->setValue(used);
    if (parentWidget()) parentWidget()->update();
}

void TTTiao::FlatGP2Click() {
    const auto& rows = adjust_.Rows();
    for (size_t r = 0; r < rows.size(); ++r) ed_[r]->setValue(rows[r].param.def1);
    adjust_.RestoreDefaults();
    if (parentWidget()) parentWidget()->update();
}

// --- TNotes ---

TNotes::TNotes(const std::string& caption, const std::string& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName("TNotes");
    setWindowTitle(Q(caption));
    resize(353, 263);
    memo1_ = new QPlainTextEdit;
    memo1_->setObjectName("Memo1");
    memo1_->setFont(QFont(QStringLiteral("宋体"), 10));
    memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1_->setPlainText(Q(lines));
    auto* clear = new QPushButton(QStringLiteral("清除"));
    auto* save = new QPushButton(QStringLiteral("保存"));
    auto* close = new QPushButton(QStringLiteral("关闭"));
    clear->setObjectName("FlatGP3");
    save->setObjectName("FlatGP2");
    close->setObjectName("FlatGP1");
    connect(clear, &QPushButton::clicked, memo1_, &QPlainTextEdit::clear);
    connect(save, &QPushButton::clicked, this, [this] { done(6); });
    connect(close, &QPushButton::clicked, this, [this] { done(1); });
    auto* bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(clear);
    bar->addWidget(save);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo1_, 1);
    layout->addLayout(bar);
}

std::string TNotes::Lines() const {
    return memo1_->toPlainText().toStdString();
}

// --- QtChartHost ---

QtChartHost::QtChartHost(QWidget* parent, std::string programDir)
    : parent_(parent), programDir_(std::move(programDir)),
      formulas_(std::make_unique<QtFormulaHost>(parent)) {}

QtChartHost::~QtChartHost() = default;

void QtChartHost::Message(const std::string& text) {
    QMessageBox::information(parent_, QStringLiteral("提示"), Q(text));
}

bool QtChartHost::Confirm(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent_, Q(title), Q(text), QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

bool QtChartHost::ChooseColor(TColor initial, TColor& chosen) {
    QColor c = QColorDialog::getColor(ToQColor(initial), parent_);
    if (!c.isValid()) return false;
    chosen = RGBColor(c.red(), c.green(), c.blue());
    return true;
}

bool QtChartHost::OpenFileName(const FileOpenRequest& r, std::string& path) {
    QFileDialog d(parent_, Q(r.title), Q(r.folder),
                  Q(r.filterName) + " (" + Q(r.pattern) + " " + Q(r.pattern).toLower() + ")");
    d.setFileMode(QFileDialog::ExistingFile);
    d.setDefaultSuffix(Q(r.defaultExt));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;
    path = d.selectedFiles().first().toStdString();
    return true;
}

void QtChartHost::OpenPath(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

void QtChartHost::PutImageOnClipboard(const QImage& image) {
    if (QGuiApplication::clipboard())
        QGuiApplication::clipboard()->setImage(image.convertToFormat(QImage::Format_RGB888));
}

bool QtChartHost::EditFormula(TGP& chart) {
    return EditWindowFormula(chart, *formulas_, programDir_);
}

void QtChartHost::AdjustParams(TGP& chart, ChartWindow& window) {
    TTTiao d(chart, window, parent_);
    d.exec();
}

bool QtChartHost::EditNotes(const std::string& caption, std::string& lines) {
    TNotes d(caption, lines, parent_);
    if (d.exec() != 6) return false;
    lines = d.Lines();
    return true;
}

} // namespace vantor
