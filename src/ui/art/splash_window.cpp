#include "ui/art/splash_window.h"

#include "ui/art/art_paths.h"
#include "ui/art/art_version.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSvgRenderer>

#include <iterator>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;

QFont japaneseFont(int pixelSize, int weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("sans-serif")});
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(weight));
    return font;
}

} // namespace

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      version_(QStringLiteral("Version %1").arg(QString::fromUtf8(art::kProgramVersion))),
      ladybird_(new QSvgRenderer(QString::fromUtf8(art::kLadybird), this)),
      person1_(new QSvgRenderer(art::kCountFace(1, 3), this)),
      person2_(new QSvgRenderer(art::kCountFace(2, 3), this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(title());
    setAccessibleName(title());
    setAccessibleDescription(subtitle());
    // No window icon of its own: rendering one at every size would delay
    // the splash's first paint; main() gives the application its icon
    // right after that paint.
    setFixedSize(kWidth, kHeight);
    for (QSvgRenderer *r : {ladybird_, person1_, person2_})
        r->setAspectRatioMode(Qt::KeepAspectRatio);
    centreOnScreen();
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::setVersionText(const QString &text)
{
    version_ = text;
    update();
}

QString SplashWindow::versionText() const
{
    return version_;
}

QString SplashWindow::title()
{
    return QStringLiteral("ナナホシ");
}

QString SplashWindow::subtitle()
{
    return QStringLiteral("二人で楽しむ体重計乗るだけダイエット");
}

void SplashWindow::showEvent(QShowEvent *event)
{
    centreOnScreen();
    QWidget::showEvent(event);
}

void SplashWindow::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Ivory paper warming to light orange, framed in the ladybird's red.
    QLinearGradient paper(0, 0, 0, height());
    paper.setColorAt(0.0, QColor(0xFF, 0xFF, 0xF0));
    paper.setColorAt(1.0, QColor(0xFF, 0xE8, 0xD0));
    p.fillRect(rect(), paper);
    p.setPen(QPen(QColor(0xC8, 0x3A, 0x2E), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));

    // The program's palette as a row of pale stripes along the bottom.
    const QColor stripes[] = {QColor(0xC0, 0xFF, 0xC0), QColor(0xFF, 0xFF, 0xC0),
                              QColor(0xFF, 0xC0, 0xC0), QColor(0xC0, 0xC0, 0xFF),
                              QColor(0xFF, 0xE0, 0xC0)};
    const qreal stripeWidth = (width() - 6.0) / std::size(stripes);
    for (std::size_t i = 0; i < std::size(stripes); ++i)
        p.fillRect(QRectF(3 + i * stripeWidth, height() - 17, stripeWidth, 14), stripes[i]);

    // The mark on a soft round ground.
    const QRectF markGround(34, 62, 156, 156);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF, 200));
    p.drawEllipse(markGround);
    ladybird_->render(&p, markGround.adjusted(18, 14, -18, -22));

    // Name, subtitle and the two of them, smiling.
    const qreal textLeft = 210;
    p.setPen(QColor(0x5A, 0x1A, 0x12));
    p.setFont(japaneseFont(58, QFont::Bold));
    p.drawText(QRectF(textLeft, 52, width() - textLeft - 16, 84),
               Qt::AlignLeft | Qt::AlignVCenter, title());

    p.setPen(QColor(0x6B, 0x4A, 0x2E));
    p.setFont(japaneseFont(16, QFont::Normal));
    p.drawText(QRectF(textLeft, 140, width() - textLeft - 12, 60),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("二人で楽しむ\n体重計乗るだけダイエット"));

    person1_->render(&p, QRectF(textLeft, 200, 36, 36));
    person2_->render(&p, QRectF(textLeft + 42, 200, 36, 36));

    p.setPen(QColor(0x8A, 0x75, 0x60));
    p.setFont(japaneseFont(11, QFont::Normal));
    p.drawText(QRectF(0, height() - 42, width() - 14, 20), Qt::AlignRight | Qt::AlignVCenter,
               version_);
}
