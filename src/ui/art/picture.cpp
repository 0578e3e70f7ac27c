#include "ui/art/picture.h"

#include <QPainter>
#include <QSvgRenderer>

Picture::Picture(const QString &resourcePath, QWidget *parent)
    : QWidget(parent), m_renderer(nullptr)
{
    // Nothing of our own behind the picture: the parent's background shows.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setSource(resourcePath);
}

Picture::~Picture() = default;

void Picture::setSource(const QString &resourcePath)
{
    if (m_renderer && resourcePath == m_source)
        return;
    m_source = resourcePath;
    // A fresh renderer, so a path that fails to load leaves no trace of the
    // previous picture.
    delete m_renderer;
    m_renderer = resourcePath.isEmpty() ? new QSvgRenderer(this)
                                        : new QSvgRenderer(resourcePath, this);
    m_renderer->setAspectRatioMode(Qt::KeepAspectRatio);
    updateGeometry();
    update();
}

QString Picture::source() const
{
    return m_source;
}

bool Picture::isValid() const
{
    return m_renderer->isValid();
}

QSize Picture::sizeHint() const
{
    // The screens place pictures at fixed sizes; 32 px on the longer side is
    // what the faces are drawn for.
    const QSizeF view = m_renderer->isValid() ? m_renderer->viewBoxF().size() : QSizeF();
    if (view.isEmpty())
        return QSize(32, 32);
    const QSizeF scaled = view.scaled(QSizeF(32, 32), Qt::KeepAspectRatio);
    return QSize(qRound(scaled.width()), qRound(scaled.height()));
}

void Picture::paintEvent(QPaintEvent *)
{
    if (!m_renderer->isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer->render(&painter, QRectF(rect()));
}
