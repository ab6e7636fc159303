#include "ui/chart_menu.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <map>

#include "chart/tgp.h"

namespace vantor {

namespace {
constexpr int kStrip = 20; // the grey strip at the left of every item

// Paints the command menu's items: measured 20 pixels wider than their text, a button-face
// strip at the left, white ground, the selection framed and filled in blue, a red check mark.
class ChartMenuStyle : public QProxyStyle {
public:
    ChartMenuStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* opt, const QSize& size,
                           const QWidget* w) const override {
        if (type != CT_MenuItem) return QProxyStyle::sizeFromContents(type, opt, size, w);
        const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
        if (mi && mi->menuItemType == QStyleOptionMenuItem::Separator) return {size.width(), 5};
        const QFontMetrics fm(mi ? mi->font : QApplication::font());
        QString text = mi ? mi->text : QString();
        const int tab = text.indexOf('\t');
        int width = fm.horizontalAdvance(tab < 0 ? text : text.left(tab)) + kStrip + 3 + 20;
        if (tab >= 0) width += fm.horizontalAdvance(text.mid(tab + 1)) + 11 + 16;
        if (mi && mi->menuItemType == QStyleOptionMenuItem::SubMenu) width += 16;
        return {width, std::max(fm.height() + 6, 20)};
    }

    int pixelMetric(PixelMetric m, const QStyleOption* opt, const QWidget* w) const override {
        if (m == PM_MenuPanelWidth || m == PM_MenuHMargin || m == PM_MenuVMargin) return 1;
        return QProxyStyle::pixelMetric(m, opt, w);
    }

    void drawControl(ControlElement el, const QStyleOption* opt, QPainter* p,
                     const QWidget* w) const override {
        const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
        if (el != CE_MenuItem || !mi) return QProxyStyle::drawControl(el, opt, p, w);
        const QRect r = mi->rect;
        const QColor face = QApplication::palette().color(QPalette::Button);
        p->save();
        p->fillRect(QRect(r.left(), r.top(), kStrip, r.height()), face);
        p->fillRect(QRect(r.left() + kStrip, r.top(), r.width() - kStrip, r.height()), Qt::white);
        if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
            p->setPen(face);
            int y = r.top() + r.height() / 2;
            p->drawLine(r.left() + kStrip, y, r.right(), y);
            p->restore();
            return;
        }
        const bool selected = (mi->state & State_Selected) && (mi->state & State_Enabled);
        if (selected) {
            p->fillRect(r, QColor(198, 211, 239));
            p->setPen(QColor(49, 105, 198));
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
        if (mi->checked) {
            // A sunken square box with a red check mark of three strokes.
            const int s = std::min(r.height() - 4, kStrip - 4);
            QRect box(r.left() + (kStrip - s) / 2, r.top() + (r.height() - s) / 2, s, s);
            p->fillRect(box, Qt::white);
            p->setPen(face.darker(160));
            p->drawLine(box.topLeft(), box.topRight());
            p->drawLine(box.topLeft(), box.bottomLeft());
            p->setPen(face.lighter(130));
            p->drawLine(box.bottomLeft(), box.bottomRight());
            p->drawLine(box.topRight(), box.bottomRight());
            p->setPen(QPen(QColor(255, 0, 0), 1));
            const int x0 = box.left() + 3, y0 = box.top() + s / 2 - 1;
            for (int k = 0; k < 3; ++k) {
                p->drawLine(x0, y0 + k, x0 + 2, y0 + 2 + k);
                p->drawLine(x0 + 2, y0 + 2 + k, x0 + s - 6, y0 - s / 2 + 4 + k);
            }
        }
        QString text = mi->text;
        QString shortcut;
        if (int tab = text.indexOf('\t'); tab >= 0) {
            shortcut = text.mid(tab + 1);
            text = text.left(tab);
        }
        p->setPen((mi->state & State_Enabled) ? Qt::black : Qt::gray);
        p->setFont(mi->font);
        QRect textRect(r.left() + kStrip + 3, r.top(), r.width() - kStrip - 3, r.height());
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text);
        if (!shortcut.isEmpty())
            p->drawText(r.adjusted(0, 0, -11, 0), Qt::AlignRight | Qt::AlignVCenter, shortcut);
        if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
            QStyleOptionMenuItem arrow = *mi;
            arrow.rect = QRect(r.right() - 14, r.top(), 12, r.height());
            arrow.palette.setColor(QPalette::ButtonText, Qt::black);
            proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, p, w);
        }
        p->restore();
    }
};

ChartMenuStyle* MenuStyle() {
    static ChartMenuStyle* style = new ChartMenuStyle; // shared by every command menu
    return style;
}
} // namespace

QMenu* BuildChartMenu(TGP& chart, QWidget* parent, std::function<void()> onRun) {
    auto* root = new QMenu(parent);
    root->setObjectName("chartMenu");
    std::map<int, QMenu*> menus{{-1, root}};
    const auto& items = chart.FITEM();
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& m = items[i];
        QMenu* into = menus.count(m.parent) ? menus[m.parent] : root;
        if (m.separator) {
            into->addSeparator();
            continue;
        }
        const QString caption = QString::fromStdString(m.caption);
        if (m.submenu) {
            QMenu* sub = into->addMenu(caption);
            sub->setStyle(MenuStyle());
            menus[static_cast<int>(i)] = sub;
            continue;
        }
        QAction* a = into->addAction(caption);
        if (!m.shortcut.empty()) a->setShortcut(QKeySequence(QString::fromStdString(m.shortcut)));
        if (m.checkable) {
            a->setCheckable(true);
            a->setChecked(m.checked);
        }
        QObject::connect(a, &QAction::triggered, root, [&chart, i, onRun] {
            chart.RunMenuItem(static_cast<int>(i));
            if (onRun) onRun();
        });
    }
    root->setStyle(MenuStyle());
    return root;
}

} // namespace vantor
