#include "ui/formula_editor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "formula/func_str.h"
#include "formula/gs.h"
#include "library/formula_check.h"
#include "library/formula_text.h"
#include "ui/formula_input.h"

namespace vantor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString JoinLines(const std::vector<std::string>& lines) {
    return Q(JoinTextLines(lines));
}

} // namespace

TEditFunc1::TEditFunc1(QWidget* parent) : QDialog(parent) {
    setObjectName("TEditFunc1");
    setWindowTitle(QStringLiteral("公式编辑器"));
    resize(760, 520);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 0);
    auto* head = new QHBoxLayout;
    name_ = new QLineEdit;
    name_->setObjectName("Name");
    title_ = new QLineEdit;
    title_->setObjectName("Title");
    drawk_ = new QCheckBox(QStringLiteral("显示K线"));
    drawk_->setObjectName("drawk");
    drawk_->setChecked(true);
    head->addWidget(new QLabel(QStringLiteral("公式名称:")));
    head->addWidget(name_, 1);
    head->addWidget(new QLabel(QStringLiteral("公式描述:")));
    head->addWidget(title_, 2);
    head->addWidget(drawk_);
    root->addLayout(head);

    auto* body = new QHBoxLayout;
    auto* panes = new QSplitter(Qt::Vertical);
    memo1_ = new QPlainTextEdit;
    memo1_->setObjectName("Memo1");
    memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo2_ = new QPlainTextEdit;
    memo2_->setObjectName("Memo2");
    memo2_->setLineWrapMode(QPlainTextEdit::NoWrap);
    panes->addWidget(memo1_);
    panes->addWidget(memo2_);
    panes->setStretchFactor(0, 1);
    panes->setSizes({360, 113});
    funclist_ = new QListWidget;
    funclist_->setObjectName("Funclist");
    funclist_->setFixedWidth(103);
    body->addWidget(panes, 1);
    body->addWidget(funclist_);
    root->addLayout(body, 1);

    // The catalogue's names, upper case and sorted.
    TGS gs;
    std::vector<std::string> names;
    gs.Getfunc().getfunclist(&names);
    for (std::string& n : names) n = UpperAscii(n);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) funclist_->addItem(Q(n));

    auto* buttons = new QHBoxLayout;
    struct Cmd {
        const char* object;
        const char* caption;
        void (TEditFunc1::*slot)();
    };
    const Cmd cmds[] = {{"FlatGP5", "插入参数", &TEditFunc1::InsertParameter},
                        {"FlatGP6", "插入颜色", &TEditFunc1::InsertColour},
                        {"FlatGP3", "大写", &TEditFunc1::UpperCase},
                        {"FlatGP7", "清除", &TEditFunc1::ClearAll},
                        {"FlatGP8", "转换", &TEditFunc1::Convert},
                        {"BtnTest", "测试公式", &TEditFunc1::TestClick},
                        {"FlatGP2", "确定", &TEditFunc1::OkClick},
                        {"FlatGP1", "取消", &TEditFunc1::reject}};
    for (const Cmd& c : cmds) {
        if (c.slot == &TEditFunc1::OkClick) buttons->addStretch(1);
        auto* b = new QPushButton(QString::fromUtf8(c.caption));
        b->setObjectName(c.object);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, c.slot);
        buttons->addWidget(b);
    }
    root->addLayout(buttons);

    auto* status = new QStatusBar;
    status->setSizeGripEnabled(false);
    for (QLabel*& p : panels_) {
        p = new QLabel;
        p->setFixedWidth(50);
        status->addWidget(p);
    }
    root->addWidget(status);

    connect(name_, &QLineEdit::textEdited, this, &TEditFunc1::NameChange);
    connect(title_, &QLineEdit::textEdited, this, &TEditFunc1::TitleChange);
    connect(drawk_, &QCheckBox::clicked, this, &TEditFunc1::DrawKClick);
    connect(funclist_, &QListWidget::currentRowChanged, this, &TEditFunc1::FuncListClick);
    connect(memo1_, &QPlainTextEdit::cursorPositionChanged, this, &TEditFunc1::ShowMemo1Caret);
    connect(memo2_, &QPlainTextEdit::cursorPositionChanged, this, &TEditFunc1::ShowMemo2Caret);

    chooseColour = [this] { return QColorDialog::getColor(Qt::red, this); };
}

QPushButton* TEditFunc1::Button(const QString& caption) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

std::string TEditFunc1::Text() const {
    return memo1_->toPlainText().toStdString();
}

void TEditFunc1::SetText(const std::string& text) {
    memo1_->setPlainText(Q(text));
}

void TEditFunc1::showEvent(QShowEvent* e) {
    ReadHeaderLines();
    QDialog::showEvent(e);
}

void TEditFunc1::ReadHeaderLines() {
    const std::string text = Text();
    const bool on = DrawKOf(text);
    if (drawk_->isChecked() != on) drawk_->setChecked(on);
    const std::string name = HeaderField(HeaderValue(text, kNameKey));
    if (name != UpperAscii(name_->text().toStdString())) name_->setText(Q(name));
    const std::string title = HeaderField(HeaderValue(text, kTitleKey));
    if (title != UpperAscii(title_->text().toStdString())) title_->setText(Q(title));
}

void TEditFunc1::NameChange() {
    const std::string text = Text(), next = WithName(text, name_->text().toStdString());
    if (next != text) SetText(next);
}

void TEditFunc1::TitleChange() {
    const std::string text = Text(), next = WithTitle(text, title_->text().toStdString());
    if (next != text) SetText(next);
}

void TEditFunc1::DrawKClick() {
    const std::string text = Text(), next = WithDrawK(text, drawk_->isChecked());
    if (next != text) SetText(next);
}

void TEditFunc1::UpperCase() {
    SetText(UpperAscii(Text()));
}

void TEditFunc1::ClearAll() {
    memo1_->clear();
    name_->clear();
    title_->clear();
    drawk_->setChecked(false);
}

void TEditFunc1::Convert() {
    std::vector<std::string> lines = SplitTextLines(memo2_->toPlainText().toStdString());
    memo2_->setPlainText(JoinLines(ConvertCompiled(lines)));
}

void TEditFunc1::InsertParameter() {
    TFInput input(this);
    if (input.exec() != QDialog::Accepted) return;
    const std::string cur = std::to_string(input.Fcur()->value());
    const std::string line = InputDeclaration(input.Name()->text().trimmed().toStdString(),
                                              std::to_string(input.Fmin()->value()),
                                              std::to_string(input.Fmax()->value()), cur);
    QTextCursor c(memo1_->document());
    c.movePosition(QTextCursor::Start);
    c.insertText(Q(line) + "\n");
}

void TEditFunc1::InsertColour() {
    const QColor c = chooseColour ? chooseColour() : QColor();
    if (!c.isValid()) return;
    memo1_->textCursor().insertText(Q(ColorWordText(c.red(), c.green(), c.blue())));
}

void TEditFunc1::TestClick() {
    const FormulaCheck check = TestFormula(Text());
    memo2_->setPlainText(JoinLines(TestReport(check)));
    if (check.ok || check.errorLine < 0) return;
    // The line the message names is selected, so the trainee sees where to look.
    QTextBlock block = memo1_->document()->findBlockByNumber(check.errorLine);
    if (!block.isValid()) return;
    QTextCursor c(block);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    memo1_->setTextCursor(c);
    memo1_->setFocus();
}

void TEditFunc1::FuncListClick() {
    memo2_->clear();
    QListWidgetItem* item = funclist_->currentItem();
    if (!item) return;
    memo2_->setPlainText(JoinLines(ReferenceEntry(item->text().toStdString())));
}

void TEditFunc1::OkClick() {
    const std::string text = WithoutBlankLines(Text());
    if (text != Text()) SetText(text);
    const FormulaCheck check = CompileFormula(text);
    if (!check.ok) {
        const QString question =
            QStringLiteral("公式编译错误: ") + Q(check.error) + QStringLiteral("\n是否仍然保存?");
        if (QMessageBox::question(this, QStringLiteral("提示"), question,
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    accept();
}

void TEditFunc1::ShowMemo1Caret() {
    const QTextCursor c = memo1_->textCursor();
    panels_[0]->setText(QString::asprintf("(%d,%d)", c.blockNumber(), c.positionInBlock()));
}

void TEditFunc1::ShowMemo2Caret() {
    const QTextCursor c = memo2_->textCursor();
    panels_[0]->setText(QString::number(c.blockNumber() + 1));
    panels_[1]->setText(QString::number(c.positionInBlock() + 1));
}

bool QtFormulaHost::EditFormula(FormulaEdit& edit) {
    TEditFunc1 editor(parent_);
    if (!edit.caption.empty()) editor.setWindowTitle(editor.windowTitle() + Q(edit.caption));
    editor.Name()->setText(Q(edit.name));
    editor.Title()->setText(Q(edit.title));
    editor.Memo1()->setPlainText(Q(edit.text));
    if (editor.exec() != QDialog::Accepted) return false;
    edit.name = editor.Name()->text().toStdString();
    edit.title = editor.Title()->text().toStdString();
    edit.text = editor.Memo1()->toPlainText().toStdString();
    return true;
}

bool QtFormulaHost::AskWarning(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Critical, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtFormulaHost::Message(const std::string& text) {
    QMessageBox::information(parent_, QStringLiteral("提示"), Q(text));
}

} // namespace vantor
