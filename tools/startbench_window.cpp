// The yardstick of tools/startbench: the least a Qt desktop program does to
// show a window with Japanese text. The bench compares the program's
// splash and main window with this window's first paint.
#include "app/first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    reportPaintTimesWhenAsked();
    QMainWindow window;
    window.setObjectName(QStringLiteral("startbenchWindow"));
    window.setWindowTitle(QStringLiteral("ナナホシ"));
    window.setCentralWidget(new QLabel(QStringLiteral("二人で楽しむ体重計乗るだけダイエット"), &window));
    window.resize(480, 300);
    window.show();
    return app.exec();
}
