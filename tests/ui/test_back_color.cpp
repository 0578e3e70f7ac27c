#include "ui_tests.h"

#include "ui/back_color.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

namespace {

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return c.name();
}

QColor middleOf(QWidget *w)
{
    return w->grab().toImage().pixelColor(w->width() / 2, w->height() / 2);
}

} // namespace

class TestBackColor : public QObject {
    Q_OBJECT
private slots:
    void buttonShowsAndReadsBackItsColour();
    void labelAndCheckBoxFillTheirBackground();
    void paletteColoursConvert();
};

void TestBackColor::buttonShowsAndReadsBackItsColour()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *plain = new QPushButton(&window);
    auto *button = new ColourButton(&window);
    layout->addWidget(plain);
    layout->addWidget(button);
    window.resize(120, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QColor face = middleOf(plain);

    QVERIFY(!button->backColor().isValid());
    const QColor yellow(0xFF, 0xFF, 0xC0);
    button->setBackColor(yellow);
    QCOMPARE(button->backColor(), yellow);
    QCOMPARE(backColor(button), yellow);
    const QColor shown = middleOf(button);
    QVERIFY2(near(shown, yellow, 2), qPrintable(describe(shown)));
    QVERIFY2(!near(shown, face, 4), qPrintable(describe(shown) + " vs " + describe(face)));

    // An orange toggle on a plain QPushButton through the free function.
    const QColor orange(0xFF, 0xE0, 0xC0);
    setBackColor(plain, orange);
    QVERIFY2(near(middleOf(plain), orange, 2), qPrintable(describe(middleOf(plain))));

    setBackColor(button, QColor());
    QVERIFY(!button->backColor().isValid());
    QCOMPARE(middleOf(button), face);
}

void TestBackColor::labelAndCheckBoxFillTheirBackground()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(&window);
    auto *check = new QCheckBox(&window);
    layout->addWidget(label);
    layout->addWidget(check);
    window.resize(120, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QColor windowColour = window.palette().color(QPalette::Window);

    const QColor red(0xFF, 0xC0, 0xC0);
    setBackColor(label, red);
    setBackColor(check, red);
    QCOMPARE(backColor(label), red);
    QCOMPARE(label->grab().toImage().pixelColor(1, 1), red);
    QCOMPARE(check->grab().toImage().pixelColor(check->width() - 2, 1), red);

    setBackColor(label, QColor());
    QVERIFY(!backColor(label).isValid());
    QCOMPARE(window.grab().toImage().pixelColor(label->geometry().topLeft() + QPoint(1, 1)),
             windowColour);
}

void TestBackColor::paletteColoursConvert()
{
    QCOMPARE(toColor(palette::kGreen), QColor(0xC0, 0xFF, 0xC0));
    QCOMPARE(toColor(palette::kIvory), QColor(0xFF, 0xFF, 0xF0));
    QVERIFY(!toColor(palette::kDefault).isValid());
}

int runBackColorTests(int argc, char **argv)
{
    TestBackColor t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_back_color.moc"
