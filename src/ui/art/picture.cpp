#include "ui/art/picture.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// A source's parsed picture and the images drawn from it, by size.
struct PictureArt {
    explicit PictureArt(const QString &resourcePath)
        : renderer(resourcePath.isEmpty() ? new QSvgRenderer : new QSvgRenderer(resourcePath))
    {
        renderer->setAspectRatioMode(Qt::KeepAspectRatio);
    }
    std::unique_ptr<QSvgRenderer> renderer;
    QHash<QSize, QPixmap> drawn; // by size in device pixels
};

namespace {

std::shared_ptr<PictureArt> artOf(const QString &resourcePath)
{
    static QHash<QString, std::weak_ptr<PictureArt>> shared;
    if (std::shared_ptr<PictureArt> a = shared.value(resourcePath).lock())
        return a;
    auto a = std::make_shared<PictureArt>(resourcePath);
    shared.insert(resourcePath, a);
    return a;
}

} // namespace

Picture::Picture(const QString &resourcePath, QWidget *parent) : QWidget(parent)
{
    // Nothing of our own behind the picture: the parent's background shows.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setSource(resourcePath);
}

Picture::~Picture() = default;

void Picture::setSource(const QString &resourcePath)
{
    if (art_ && resourcePath == source_)
        return;
    source_ = resourcePath;
    // The renderer of the new path, so a path that fails to load leaves no
    // trace of the previous picture.
    art_ = artOf(resourcePath);
    updateGeometry();
    update();
}

QString Picture::source() const
{
    return source_;
}

bool Picture::isValid() const
{
    return art_->renderer->isValid();
}

QSize Picture::sizeHint() const
{
    // The screens place pictures at fixed sizes; 32 px on the longer side is
    // what the faces are drawn for.
    const QSizeF view = art_->renderer->isValid() ? art_->renderer->viewBoxF().size() : QSizeF();
    if (view.isEmpty())
        return QSize(32, 32);
    const QSizeF scaled = view.scaled(QSizeF(32, 32), Qt::KeepAspectRatio);
    return QSize(qRound(scaled.width()), qRound(scaled.height()));
}

void Picture::paintEvent(QPaintEvent *)
{
    if (!art_->renderer->isValid() || size().isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    QPixmap &image = art_->drawn[pixels];
    if (image.isNull()) {
        image = QPixmap(pixels);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        art_->renderer->render(&p, QRectF(rect()));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, image);
}
