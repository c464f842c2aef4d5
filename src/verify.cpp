// rafo-verify [event folder]: replays the event's draw journal and says
// whether every draw follows from its seed and the results agree.
#include "data/JournalVerifier.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 || (args.size() == 2 && args[1].startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "usage: rafo-verify [event folder]\n");
        return 2;
    }
    if (args.size() == 2 && !QDir::setCurrent(args[1])) {
        std::fprintf(stderr, "rafo-verify: cannot open %s\n", qPrintable(args[1]));
        return 2;
    }
    const JournalVerifier::Report report = JournalVerifier::verify();
    for (const QString& line : report.lines)
        std::printf("%s\n", line.toUtf8().constData());
    return report.ok ? 0 : 1;
}
