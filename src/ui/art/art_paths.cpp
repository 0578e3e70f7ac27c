#include "ui/art/art_paths.h"

#include <QAbstractButton>
#include <QIcon>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <initializer_list>

namespace art {

QString kCountFace(int person, int count)
{
    static constexpr const char *person1[] = {kCount1None, kCount1Sulk, kCount1Smile, kCount1Beam};
    static constexpr const char *person2[] = {kCount2None, kCount2Sulk, kCount2Smile, kCount2Beam};
    const int level = count < 0 ? 0 : (count > 3 ? 3 : count);
    return QString::fromUtf8(person == 2 ? person2[level] : person1[level]);
}

QString kDayFace(const QString &mark)
{
    if (mark == QStringLiteral("↓"))
        return QString::fromUtf8(kFaceLaugh);
    if (mark == QStringLiteral("→"))
        return QString::fromUtf8(kFaceSmile);
    if (mark == QStringLiteral("↑"))
        return QString::fromUtf8(kFaceSulk);
    return QString::fromUtf8(kFaceNone);
}

QStringList allPaths()
{
    QStringList paths;
    for (const char *p : {kFaceLaugh, kFaceSmile, kFaceSulk, kFaceNone, kCount1None, kCount1Sulk,
                          kCount1Smile, kCount1Beam, kCount2None, kCount2Sulk, kCount2Smile,
                          kCount2Beam, kSave, kHelpOn, kHelpOff, kBmiMarker, kLadybird,
                          kBallPerson1, kBallPerson2, kToolEntry, kToolCompare, kToolAnalysis,
                          kToolGraph, kToolCalendar, kToolSearch, kToolNotes, kToolSettings, kToolPace,
                          kToolPrintScreen, kToolPrintSheet, kToolHelp, kToolExit})
        paths << QString::fromUtf8(p);
    return paths;
}

QPixmap pixmap(const QString &path, const QSize &size)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || size.isEmpty())
        return QPixmap();
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

namespace {

constexpr int kIconSizes[] = {16, 20, 22, 24, 32, 40, 48, 64, 96};

void addRenderings(QIcon &icon, const QString &path, QIcon::State state)
{
    for (int side : kIconSizes) {
        const QPixmap pm = pixmap(path, QSize(side, side));
        if (!pm.isNull())
            icon.addPixmap(pm, QIcon::Normal, state);
    }
}

} // namespace

QIcon icon(const QString &path)
{
    // Rendering a picture at every size costs more than the rest of a
    // button; each picture is rendered once per run and then shared.
    static QHash<QString, QIcon> rendered;
    auto it = rendered.find(path);
    if (it == rendered.end()) {
        QIcon result;
        addRenderings(result, path, QIcon::Off);
        it = rendered.insert(path, result);
    }
    return it.value();
}

QIcon toggleIcon(const QString &on, const QString &off)
{
    static QHash<QString, QIcon> rendered;
    const QString key = on + u'|' + off;
    auto it = rendered.find(key);
    if (it == rendered.end()) {
        QIcon result;
        addRenderings(result, off, QIcon::Off);
        addRenderings(result, on, QIcon::On);
        it = rendered.insert(key, result);
    }
    return it.value();
}

void bindToggleIcon(QAbstractButton *button, const QString &on, const QString &off)
{
    const QIcon onIcon = icon(on);
    const QIcon offIcon = icon(off);
    button->setIcon(button->isChecked() ? onIcon : offIcon);
    QObject::connect(button, &QAbstractButton::toggled, button,
                     [button, onIcon, offIcon](bool checked) {
                         button->setIcon(checked ? onIcon : offIcon);
                     });
}

} // namespace art
