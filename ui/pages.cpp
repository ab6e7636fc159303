#include "ui/pages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "practice/practice.h"

namespace vantor {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
void SetText(QLineEdit* e, const std::string& s) {
    if (e->text().toStdString() != s) e->setText(Q(s));
}
} // namespace

ProgressPage::ProgressPage(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    auto* layout = new QVBoxLayout(this);
    auto* rowBox = new QGroupBox(QStringLiteral("开始行"));
    auto* rowLayout = new QFormLayout(rowBox);
    startRow = new QLineEdit;
    startRow->setObjectName("startRow");
    startRow->setToolTip(QStringLiteral("双击此处可以回到第一行"));
    rowLayout->addRow(QStringLiteral("当前行"), startRow);
    rowLayout->addRow(new QLabel(QStringLiteral("输入行号后回车")));
    layout->addWidget(rowBox);

    auto* dateBox = new QGroupBox(QStringLiteral("开始日期"));
    auto* dateLayout = new QFormLayout(dateBox);
    dateFormat = new QLineEdit;
    date = new QDateEdit(QDate::currentDate());
    date->setCalendarPopup(true);
    date->setDisplayFormat("yyyy-MM-dd");
    choose = new QPushButton(QStringLiteral("确定"));
    dateLayout->addRow(QStringLiteral("日期格式"), dateFormat);
    dateLayout->addRow(QStringLiteral("日期"), date);
    dateLayout->addRow(QString(), choose);
    layout->addWidget(dateBox);
    layout->addStretch(1);

    connect(startRow, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.Controls().startRowBox = t.toStdString(); });
    connect(startRow, &QLineEdit::returnPressed, this, [this] { form_.StartRowEnter(); });
    connect(dateFormat, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.Controls().dateFormatBox = t.toStdString(); });
    connect(choose, &QPushButton::clicked, this, [this] {
        const QDate d = date->date();
        form_.ChooseStartDate(d.year(), d.month(), d.day());
    });
    startRow->installEventFilter(this);
}

bool ProgressPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == startRow && event->type() == QEvent::MouseButtonDblClick) {
        form_.StartRowDoubleClick();
        return true;
    }
    if (watched == startRow && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString t = k->text();
        if (!t.isEmpty() && t.at(0).isPrint() && !(k->modifiers() & Qt::ControlModifier)) {
            const QChar ch = t.at(0);
            // Digits, '-' and '.' are typed; any other character is entered as '0'.
            if (!ch.isDigit() && ch != '-' && ch != '.') {
                startRow->insert("0");
                form_.Controls().startRowBox = startRow->text().toStdString();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProgressPage::Sync() {
    SetText(startRow, form_.Controls().startRowBox);
    SetText(dateFormat, form_.Controls().dateFormatBox);
}

QString CodeReferenceText() {
    static const char* const kCodes[][2] = {
        {"ICL9", "中证加权"}, {"IFL9", "沪深加权"}, {"IHL9", "上证加权"}, {"TFL9", "国债加权"},
        {"TL9", "长债加权"},  {"CFL9", "郑棉指数"}, {"FGL9", "玻璃指数"}, {"JRL9", "粳稻指数"},
        {"LRL9", "晚籼指数"}, {"MAL9", "甲醇指数"}, {"MEL9", "甲醇指数"}, {"OIL9", "菜油指数"},
        {"PML9", "普麦指数"}, {"RIL9", "籼稻指数"}, {"RML9", "菜粕指数"}, {"RSL9", "菜籽指数"},
        {"SFL9", "硅铁指数"}, {"SML9", "锰硅指数"}, {"SRL9", "白糖指数"}, {"TAL9", "PTA指数"},
        {"TCL9", "动煤指数"}, {"WHL9", "强麦指数"}, {"ZCL9", "动煤指数"}, {"AL9", "豆一指数"},
        {"BBL9", "胶板指数"}, {"BL9", "豆二指数"},  {"CL9", "玉米指数"},  {"CSL9", "淀粉指数"},
        {"FBL9", "纤板指数"}, {"IL9", "铁矿指数"},  {"JDL9", "鸡蛋指数"}, {"JL9", "焦炭指数"},
        {"JML9", "焦煤指数"}, {"LL9", "乙烯指数"},  {"ML9", "豆粕指数"},  {"PL9", "棕榈指数"},
        {"PPL9", "丙烯指数"}, {"VL9", "PVC指数"},   {"YL9", "豆油指数"},  {"AGL9", "白银指数"},
        {"ALL9", "沪铝指数"}, {"AUL9", "黄金指数"}, {"BUL9", "沥青指数"}, {"CUL9", "沪铜指数"},
        {"FUL9", "燃油指数"}, {"HCL9", "轧板指数"}, {"NIL9", "沪镍指数"}, {"PBL9", "沪铅指数"},
        {"RBL9", "螺纹指数"}, {"RUL9", "橡胶指数"}, {"SNL9", "沪锡指数"}, {"WRL9", "线材指数"},
        {"ZNL9", "沪锌指数"}};
    QString text = QStringLiteral("代码,名称");
    for (const auto& c : kCodes)
        text += "\n" + QString::fromUtf8(c[0]) + "," + QString::fromUtf8(c[1]);
    return text;
}

SettingsPage::SettingsPage(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    auto* layout = new QGridLayout(this);
    struct Group {
        const char* title;
        const char* items[2];
        void (TForm1::*apply)(int);
    };
    const Group kGroups[] = {
        {"基础周期", {"一分钟", "日线"}, &TForm1::SetBasePeriod},
        {"高低点", {"显示", "隐藏"}, &TForm1::SetHighLow},
        {"步长", {"基础周期", "当前周期"}, &TForm1::SetStep},
        {"日期代码", {"显示", "隐藏"}, &TForm1::SetDateAxis},
        {"确认提示", {"显示", "隐藏"}, &TForm1::SetTips},
        {"训练模式", {"二踢脚", "收盘价"}, &TForm1::SetMode},
        {"计费方式", {"按手收费", "按成交额(1：1w)"}, &TForm1::SetFeeModel},
    };
    int i = 0;
    for (const Group& g : kGroups) {
        auto* box = new QGroupBox(QString::fromUtf8(g.title));
        auto* row = new QHBoxLayout(box);
        auto* group = new QButtonGroup(box);
        for (int k = 0; k < 2; ++k) {
            auto* r = new QRadioButton(QString::fromUtf8(g.items[k]));
            group->addButton(r, k);
            row->addWidget(r);
        }
        row->addStretch(1);
        auto apply = g.apply;
        connect(group, &QButtonGroup::idClicked, this,
                [this, apply](int id) { (form_.*apply)(id); });
        groups.push_back(group);
        layout->addWidget(box, i / 2, i % 2);
        ++i;
    }
    auto* boxes = new QGroupBox(QStringLiteral("参数"));
    auto* f = new QFormLayout(boxes);
    initialFunds = new QComboBox;
    initialFunds->setEditable(true);
    initialFunds->addItems({"10000", "100000", "1000000", "10000000"});
    playInterval = new QLineEdit;
    slippage = new QLineEdit;
    f->addRow(QStringLiteral("初始资金"), initialFunds);
    f->addRow(QStringLiteral("播放间隔（0.1秒）"), playInterval);
    f->addRow(QStringLiteral("滑点设置 数值（点数）"), slippage);
    layout->addWidget(boxes, i / 2, i % 2);
    ++i;
    save = new QPushButton(QStringLiteral("保存设置"));
    layout->addWidget(save, (i + 1) / 2, 0);
    layout->setRowStretch((i + 1) / 2 + 1, 1);

    connect(initialFunds, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { form_.SetInitialFunds(t.toStdString()); });
    connect(playInterval, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.SetPlayInterval(t.toStdString()); });
    connect(slippage, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.SetSlippage(t.toStdString()); });
    connect(save, &QPushButton::clicked, this, [this] { form_.SaveSettingsButton(); });
}

void SettingsPage::Sync() {
    const FormControls& c = form_.Controls();
    const int items[] = {c.basePeriod, c.highLow, c.step, c.dateAxis, c.tips, c.mode, c.feeModel};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (auto* b = groups[i]->button(items[i])) {
            const QSignalBlocker block(groups[i]);
            b->setChecked(true);
        }
    }
    if (initialFunds->currentText().toStdString() != c.initialFundsBox) {
        const QSignalBlocker block(initialFunds);
        initialFunds->setCurrentText(Q(c.initialFundsBox));
    }
    SetText(playInterval, c.playIntervalBox);
    SetText(slippage, c.slippageBox);
}

} // namespace vantor
