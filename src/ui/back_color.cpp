#include "ui/back_color.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>

namespace {

// Where the colour the program set is kept, so that it reads back exactly
// (the style may shade what it paints).
constexpr char kProperty[] = "nanahoshiBackColor";

// Push and tool buttons paint their own bevel from the Button role; filling
// the widget rectangle behind them would show square corners around it.
bool paintsOwnBevel(const QWidget *w)
{
    return qobject_cast<const QPushButton *>(w) || qobject_cast<const QToolButton *>(w);
}

// Fusion pales a button's colour (a quarter less saturation, then a
// gradient towards white), so #FFFFC0 would show as a washed-out cream.
// A coloured push button keeps the style's frame and label and gets a flat
// face in the colour itself, as the screens expect.
class FlatFacePainter final : public QObject {
public:
    using QObject::QObject;

    static FlatFacePainter *instance()
    {
        static QPointer<FlatFacePainter> painter;
        if (!painter)
            painter = new FlatFacePainter(QCoreApplication::instance());
        return painter;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        const QColor c = backColor(button);
        if (!button || !c.isValid())
            return false;
        paint(button, c);
        return true;
    }

private:
    static void paint(QPushButton *b, const QColor &c)
    {
        QStylePainter p(b);
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.features = QStyleOptionButton::None;
        if (b->isFlat())
            opt.features |= QStyleOptionButton::Flat;
        if (b->menu())
            opt.features |= QStyleOptionButton::HasMenu;
        if (b->autoDefault() || b->isDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        if (b->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        const bool down = b->isDown() || (b->menu() && b->menu()->isVisible());
        if (down)
            opt.state |= QStyle::State_Sunken;
        if (b->isChecked())
            opt.state |= QStyle::State_On;
        if (!b->isFlat() && !down)
            opt.state |= QStyle::State_Raised;
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();

        p.drawControl(QStyle::CE_PushButtonBevel, opt);
        const bool pressed = opt.state & (QStyle::State_Sunken | QStyle::State_On);
        p.fillRect(opt.rect.adjusted(2, 2, -2, -2), pressed ? c.darker(112) : c);
        p.drawControl(QStyle::CE_PushButtonLabel, opt);
        if (opt.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(opt);
            focus.rect = b->style()->subElementRect(QStyle::SE_PushButtonFocusRect, &opt, b);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
};

void setRole(QPalette &pal, QPalette::ColorRole role, const QBrush &brush)
{
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setBrush(group, role, brush);
}

} // namespace

void setBackColor(QWidget *w, const QColor &c)
{
    if (!w)
        return;
    QPalette pal = w->palette();
    if (c.isValid()) {
        w->setProperty(kProperty, c);
        setRole(pal, QPalette::Button, c);
        if (qobject_cast<QPushButton *>(w))
            w->installEventFilter(FlatFacePainter::instance());
        if (!paintsOwnBevel(w)) {
            setRole(pal, QPalette::Window, c);
            w->setAutoFillBackground(true);
        }
    } else {
        w->setProperty(kProperty, QVariant());
        if (qobject_cast<QPushButton *>(w))
            w->removeEventFilter(FlatFacePainter::instance());
        // Back to what the widget would inherit had nothing been set.
        const QPalette base =
            w->parentWidget() ? w->parentWidget()->palette() : QApplication::palette(w);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            pal.setBrush(group, QPalette::Button, base.brush(group, QPalette::Button));
            pal.setBrush(group, QPalette::Window, base.brush(group, QPalette::Window));
        }
        if (!paintsOwnBevel(w))
            w->setAutoFillBackground(false);
    }
    w->setPalette(pal);
}

QColor backColor(const QWidget *w)
{
    if (!w)
        return {};
    const QVariant v = w->property(kProperty);
    return v.isValid() ? v.value<QColor>() : QColor();
}

QColor toColor(Rgb rgb)
{
    if (rgb == palette::kDefault)
        return {};
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

QColor buttonFaceColor()
{
    return QApplication::palette().color(QPalette::Button);
}

ColourButton::ColourButton(QWidget *parent) : QPushButton(parent) {}

ColourButton::ColourButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

void ColourButton::setBackColor(const QColor &c)
{
    ::setBackColor(this, c);
}

QColor ColourButton::backColor() const
{
    return ::backColor(this);
}
