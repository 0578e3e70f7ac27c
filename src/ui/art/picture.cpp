#include "ui/art/picture.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace {

std::shared_ptr<QSvgRenderer> rendererOf(const QString &resourcePath)
{
    static QHash<QString, std::weak_ptr<QSvgRenderer>> shared;
    if (std::shared_ptr<QSvgRenderer> r = shared.value(resourcePath).lock())
        return r;
    auto r = resourcePath.isEmpty() ? std::make_shared<QSvgRenderer>()
                                    : std::make_shared<QSvgRenderer>(resourcePath);
    r->setAspectRatioMode(Qt::KeepAspectRatio);
    shared.insert(resourcePath, r);
    return r;
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
    if (renderer_ && resourcePath == source_)
        return;
    source_ = resourcePath;
    // The renderer of the new path, so a path that fails to load leaves no
    // trace of the previous picture.
    renderer_ = rendererOf(resourcePath);
    updateGeometry();
    update();
}

QString Picture::source() const
{
    return source_;
}

bool Picture::isValid() const
{
    return renderer_->isValid();
}

QSize Picture::sizeHint() const
{
    // The screens place pictures at fixed sizes; 32 px on the longer side is
    // what the faces are drawn for.
    const QSizeF view = renderer_->isValid() ? renderer_->viewBoxF().size() : QSizeF();
    if (view.isEmpty())
        return QSize(32, 32);
    const QSizeF scaled = view.scaled(QSizeF(32, 32), Qt::KeepAspectRatio);
    return QSize(qRound(scaled.width()), qRound(scaled.height()));
}

void Picture::paintEvent(QPaintEvent *)
{
    if (!renderer_->isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer_->render(&painter, QRectF(rect()));
}
