#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/art/splash_window.h"

#include <QCheckBox>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QSvgRenderer>
#include <QtTest>

namespace {

int opaquePixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return n;
}

QImage renderWidget(QWidget &w)
{
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren); // no background of its own
    return image;
}

} // namespace

class TestArt : public QObject {
    Q_OBJECT
private slots:
    void everyPictureRendersAtFaceSize_data();
    void everyPictureRendersAtFaceSize();
    void namedPathsAndResourcesAgree();
    void countFaceFollowsTheNumberOfWeighings_data();
    void countFaceFollowsTheNumberOfWeighings();
    void dayFaceFollowsTheDaysMark();
    void pictureKeepsAspectRatioAndForgetsABadPath();
    void helpToggleIconHasTwoLooks();
    void splashIsAFramelessCentredWindowThatPaints();
};

void TestArt::everyPictureRendersAtFaceSize_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &path : art::allPaths())
        QTest::newRow(qPrintable(path)) << path;
}

void TestArt::everyPictureRendersAtFaceSize()
{
    QFETCH(QString, path);
    QSvgRenderer renderer(path);
    QVERIFY2(renderer.isValid(), qPrintable(path));
    const QPixmap pm = art::pixmap(path, QSize(32, 32));
    QCOMPARE(pm.size(), QSize(32, 32));
    // At least a tenth of the square is drawn: not blank, not a speck.
    QVERIFY2(opaquePixels(pm.toImage()) > 32 * 32 / 10, qPrintable(path));
    QVERIFY(!art::icon(path).pixmap(24, 24).isNull());
}

void TestArt::namedPathsAndResourcesAgree()
{
    const QStringList named = art::allPaths();
    QCOMPARE(QSet<QString>(named.begin(), named.end()).size(), named.size()); // no name twice
    QSet<QString> stored;
    const QStringList entries = QDir(QStringLiteral(":/art")).entryList(QDir::Files);
    for (const QString &name : entries)
        stored.insert(QStringLiteral(":/art/") + name);
    QCOMPARE(stored, QSet<QString>(named.begin(), named.end()));
}

void TestArt::countFaceFollowsTheNumberOfWeighings_data()
{
    QTest::addColumn<int>("person");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("p1 0 未登録") << 1 << 0 << QString(art::kCount1None);
    QTest::newRow("p1 1 ムスッ") << 1 << 1 << QString(art::kCount1Sulk);
    QTest::newRow("p1 2 ニコ") << 1 << 2 << QString(art::kCount1Smile);
    QTest::newRow("p1 3 すごくニコニコ") << 1 << 3 << QString(art::kCount1Beam);
    QTest::newRow("p1 7") << 1 << 7 << QString(art::kCount1Beam);
    QTest::newRow("p2 0") << 2 << 0 << QString(art::kCount2None);
    QTest::newRow("p2 1") << 2 << 1 << QString(art::kCount2Sulk);
    QTest::newRow("p2 2") << 2 << 2 << QString(art::kCount2Smile);
    QTest::newRow("p2 3") << 2 << 3 << QString(art::kCount2Beam);
    QTest::newRow("p2 7") << 2 << 7 << QString(art::kCount2Beam);
    QTest::newRow("p2 negative") << 2 << -1 << QString(art::kCount2None);
}

void TestArt::countFaceFollowsTheNumberOfWeighings()
{
    QFETCH(int, person);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(art::kCountFace(person, count), expected);
}

void TestArt::dayFaceFollowsTheDaysMark()
{
    QCOMPARE(art::kDayFace(QStringLiteral("↓")), QString(art::kFaceLaugh));
    QCOMPARE(art::kDayFace(QStringLiteral("→")), QString(art::kFaceSmile));
    QCOMPARE(art::kDayFace(QStringLiteral("↑")), QString(art::kFaceSulk));
    QCOMPARE(art::kDayFace(QString()), QString(art::kFaceNone));
}

void TestArt::pictureKeepsAspectRatioAndForgetsABadPath()
{
    // The BMI marker is 32 x 24: in a 64 x 64 widget it fills the width and
    // leaves an empty band of 8 px above and below.
    Picture picture(QString(art::kBmiMarker));
    picture.resize(64, 64);
    QVERIFY(picture.isValid());
    QCOMPARE(picture.source(), QString(art::kBmiMarker));
    QImage image = renderWidget(picture);
    QCOMPARE(opaquePixels(image.copy(0, 0, 64, 7)), 0);
    QCOMPARE(opaquePixels(image.copy(0, 57, 64, 7)), 0);
    QVERIFY(opaquePixels(image.copy(0, 8, 64, 48)) > 64 * 48 / 4);

    picture.setSource(QStringLiteral(":/art/no_such_picture.svg"));
    QVERIFY(!picture.isValid());
    QCOMPARE(picture.source(), QStringLiteral(":/art/no_such_picture.svg"));
    QCOMPARE(opaquePixels(renderWidget(picture)), 0);

    picture.setSource(art::kCountFace(2, 2));
    QVERIFY(picture.isValid());
    QVERIFY(opaquePixels(renderWidget(picture)) > 0);

    // Pictures of one source share what they draw from; another picture
    // changing its source leaves this one as it was.
    Picture twin(art::kCountFace(2, 2));
    twin.resize(64, 64);
    const QImage before = renderWidget(picture);
    QCOMPARE(renderWidget(twin), before);
    twin.setSource(QString(art::kBmiMarker));
    QVERIFY(renderWidget(twin) != before);
    QCOMPARE(renderWidget(picture), before);
    QVERIFY(picture.isValid());
}

void TestArt::helpToggleIconHasTwoLooks()
{
    const QIcon icon = art::toggleIcon(QString(art::kHelpOn), QString(art::kHelpOff));
    const QImage on = icon.pixmap(QSize(24, 24), QIcon::Normal, QIcon::On).toImage();
    const QImage off = icon.pixmap(QSize(24, 24), QIcon::Normal, QIcon::Off).toImage();
    // Ticked is a coloured smile; not ticked is grey.
    const QColor centreOn = on.pixelColor(12, 6);
    const QColor centreOff = off.pixelColor(12, 6);
    QVERIFY(centreOn.hsvSaturation() > 100);
    QVERIFY(centreOff.hsvSaturation() < 30);

    // A check box draws only one look of an icon, so the bound one is swapped
    // whenever the state changes, also when the program sets it.
    QCheckBox box;
    art::bindToggleIcon(&box, QString(art::kHelpOn), QString(art::kHelpOff));
    auto saturation = [&box] {
        return box.icon().pixmap(QSize(24, 24)).toImage().pixelColor(12, 6).hsvSaturation();
    };
    QVERIFY(saturation() < 30);
    box.setChecked(true);
    QVERIFY(saturation() > 100);
    box.click();
    QVERIFY(saturation() < 30);
}

void TestArt::splashIsAFramelessCentredWindowThatPaints()
{
    SplashWindow splash;
    QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
    QVERIFY(splash.isWindow());
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash.size(), QSize(480, 300));
    QVERIFY(splash.versionText().contains(QStringLiteral("0.")));
    splash.show();
    const QRect screen = splash.screen()->availableGeometry();
    QVERIFY((splash.geometry().center() - screen.center()).manhattanLength() <= 2);

    const QImage shot = splash.grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4)
            colours.insert(shot.pixel(x, y));
    QVERIFY(colours.size() > 50); // the mark, the name and the stripes, not a blank box
}

QTEST_MAIN(TestArt)
#include "test_art.moc"
