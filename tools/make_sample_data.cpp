// Writes the sample data directory used by scripts/demo.
//   nanahoshi_sample_data <empty folder> [yyyy/mm/dd of the last day]
#include "sample_data.h"

#include "store/dates.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: nanahoshi_sample_data <folder> [yyyy/mm/dd]\n";
        return 2;
    }
    QDate last = QDate::currentDate();
    if (argc >= 3) {
        const auto d = dates::parse(QString::fromLocal8Bit(argv[2]));
        if (!d) {
            QTextStream(stderr) << "not a date: " << argv[2] << "\n";
            return 2;
        }
        last = *d;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.absolutePath());
    const QString error = writeSampleData(dir, last);
    if (!error.isEmpty()) {
        QTextStream(stderr) << error << "\n";
        return 1;
    }
    return 0;
}
