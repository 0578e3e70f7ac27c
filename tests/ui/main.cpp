#include "ui_tests.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    int failed = 0;
    failed += runGridTests(argc, argv);
    failed += runLineChartTests(argc, argv);
    failed += runMonthCalendarTests(argc, argv);
    failed += runBackColorTests(argc, argv);
    return failed;
}
