// rafo-verify [--fingerprint F[,F...]] [--commitment C[,C...]] [event folder]: replays the event's
// draw journal and says whether every draw follows from its seed, nothing
// was changed, left out or discarded, and the results agree.
#include "data/JournalVerifier.h"
#include "platform/EventFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    JournalVerifier::Options options;
    while (args.size() >= 2 &&
           (args[0] == QLatin1String("--fingerprint") || args[0] == QLatin1String("--commitment"))) {
        QStringList& given =
            args[0] == QLatin1String("--fingerprint") ? options.fingerprints : options.commitments;
        given += args[1].split(QLatin1Char(','), Qt::SkipEmptyParts);
        args = args.mid(2);
    }
    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "usage: rafo-verify [--fingerprint XXXX-XXXX-XXXX-XXXX[,...]] "
                             "[--commitment XXXX-...-XXXX[,...]] [event folder]\n");
        return JournalVerifier::UsageError;
    }
    const QString folder = args.isEmpty() ? QDir::currentPath() : args[0];
    if (!QFileInfo(folder).isDir() || !QFileInfo(folder).isExecutable()) {
        std::fprintf(stderr, "rafo-verify: cannot open %s\n", qPrintable(folder));
        return JournalVerifier::UsageError;
    }
    const JournalVerifier::Report report = JournalVerifier::verify(EventFolder(folder), options);
    for (const QString& line : report.lines)
        std::printf("%s\n", line.toUtf8().constData());
    return report.exitCode;
}
