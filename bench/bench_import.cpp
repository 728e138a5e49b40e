// Reading a GIFT file to import: the time to read and parse it and the
// process's peak resident memory (getrusage ru_maxrss), for a file of
// generated questions of a real item's size, and for a file of one large
// question. Prints the file's size, the time (median of the runs) and the
// peak beside the peak before the file was read.
//
//   bench_import [question count] [runs]      (default 10000 5)
//   bench_import --single MB                  (one question of MB megabytes)
#include "QuestionFormats.h"
#include "UserSetExchange.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

double peakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024; // kilobytes on Linux
}

// A question of about the shipped bank's size: a title, a text of three
// lines, four choices, feedback on two and general feedback, under a
// category every hundred questions.
QByteArray question(int n)
{
    QByteArray q;
    if (n % 100 == 0)
        q += "$CATEGORY: $course$/top/Connectivity\n\n";
    const QByteArray id = QByteArray::number(n);
    q += "// question " + id + "\n::Item " + id +
         "::A host on subnet 131.107." + id +
         ".0/24 cannot reach the router at 131.107.2.1 although its address, subnet mask "
         "and default gateway are set by DHCP\\: lease " + id +
         ".\nThe other hosts on the segment work.\nWhat is the most likely cause? {\n"
         "\t=The DHCP scope hands out a wrong default gateway # right; check the scope's "
         "option 003\n"
         "\t~The host's network card has failed # then no host on the segment could be "
         "reached\n"
         "\t~The WINS server is down\n"
         "\t~The router does not forward BOOTP broadcasts (RFC 1542)\n"
         "\t####Compare the gateway ipconfig /all shows with the router's address.\n}\n\n";
    return q;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.gift"));
    int runs = 5;
    QString what;
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        if (args.size() >= 3 && args[1] == QLatin1String("--single")) {
            const qint64 bytes = args[2].toLongLong() * 1024 * 1024;
            runs = 1;
            f.write("::Big::");
            const QByteArray chunk(1024 * 1024, 'x');
            for (qint64 written = 0; written < bytes; written += chunk.size())
                f.write(chunk);
            f.write(" {=a ~b}\n");
            what = QStringLiteral("one question of %1 MB").arg(args[2]);
        } else {
            const int count = args.size() >= 2 ? args[1].toInt() : 10000;
            if (args.size() >= 3)
                runs = std::max(1, args[2].toInt());
            for (int n = 1; n <= count; ++n)
                f.write(question(n));
            what = QStringLiteral("%1 questions").arg(count);
        }
    }
    const double sizeMb = double(QFile(path).size()) / (1024 * 1024);
    const double before = peakMb();
    std::vector<double> ms;
    size_t added = 0;
    QString outcome;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        try {
            const formats::ImportPlan plan = formats::readImportFile(path);
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            added = plan.result.questions.size();
            outcome = formats::importSummary(plan.result, 3);
        } catch (const formats::ExchangeError& e) {
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            outcome = e.message();
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("GIFT import of %s (%.1f MB file): median %.0f ms over %d runs (min %.0f, max "
                "%.0f); %zu questions read\n",
                qPrintable(what), sizeMb, ms[ms.size() / 2], runs, ms.front(), ms.back(), added);
    std::printf("peak resident memory: %.0f MB (%.0f MB before the file was read; %.1f x the "
                "file above that)\n",
                peakMb(), before, (peakMb() - before) / sizeMb);
    std::printf("%s\n", qPrintable(outcome.left(300)));
    return 0;
}
