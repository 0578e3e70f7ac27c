// Renders the program's SVG icon as a square PNG for the icon themes that
// want fixed sizes. Run by the build.
//   nanahoshi_render_icon <icon.svg> <size> <out.png>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        QTextStream(stderr) << "usage: nanahoshi_render_icon <icon.svg> <size> <out.png>\n";
        return 2;
    }
    const int size = QByteArray(argv[2]).toInt();
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid() || size < 16 || size > 1024) {
        QTextStream(stderr) << "cannot render " << argv[1] << " at " << argv[2] << "\n";
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, size, size));
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        QTextStream(stderr) << "cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
