// Reading a GIFT file to import: the time to read and parse it and the
// process's peak resident memory (getrusage ru_maxrss), for a file of
// generated questions of a real item's size, and for a file of one large
// question. Prints the file's size, the time (median of the runs) and the
// peak beside the peak before the file was read.
//
//   bench_import [question count] [runs]      (default 10000 5)
//   bench_import --moodle [question count] [runs]   (the same as Moodle XML)
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
    q += "// question " + id + "\n::Item " + id + "::A host on subnet 131.107." + id +
         ".0/24 cannot reach the router at 131.107.2.1 although its address, subnet mask "
         "and default gateway are set by DHCP\\: lease " +
         id +
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

// The same question as a Moodle XML export writes it.
QByteArray xmlQuestion(int n)
{
    QByteArray q;
    const QByteArray id = QByteArray::number(n);
    if (n % 100 == 0)
        q += "  <question type=\"category\">\n    <category><text>$course$/top/Connectivity"
             "</text></category>\n  </question>\n";
    q += "  <question type=\"multichoice\">\n    <name><text>Item " + id +
         "</text></name>\n    <questiontext format=\"html\"><text><![CDATA[<p>A host on "
         "subnet 131.107." +
         id +
         ".0/24 cannot reach the router at 131.107.2.1 although its address, subnet mask and "
         "default gateway are set by DHCP: lease " +
         id +
         ".<br>The other hosts on the segment work.<br>What is the most likely cause?</p>]]>"
         "</text></questiontext>\n    <generalfeedback format=\"html\"><text>Compare the "
         "gateway ipconfig /all shows with the router's address.</text></generalfeedback>\n"
         "    <single>true</single>\n"
         "    <answer fraction=\"100\" format=\"html\"><text>The DHCP scope hands out a wrong "
         "default gateway</text><feedback format=\"html\"><text>right; check the scope's option "
         "003</text></feedback></answer>\n"
         "    <answer fraction=\"0\" format=\"html\"><text>The host's network card has failed"
         "</text><feedback format=\"html\"><text>then no host on the segment could be reached"
         "</text></feedback></answer>\n"
         "    <answer fraction=\"0\" format=\"html\"><text>The WINS server is down</text>"
         "</answer>\n"
         "    <answer fraction=\"0\" format=\"html\"><text>The router does not forward BOOTP "
         "broadcasts (RFC 1542)</text></answer>\n  </question>\n";
    return q;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir dir;
    const bool moodle = args.size() >= 2 && args[1] == QLatin1String("--moodle");
    QStringList rest = args;
    if (moodle)
        rest.removeAt(1);
    const QString path =
        dir.filePath(moodle ? QStringLiteral("bench.xml") : QStringLiteral("bench.gift"));
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
            const int count = rest.size() >= 2 ? rest[1].toInt() : 10000;
            if (rest.size() >= 3)
                runs = std::max(1, rest[2].toInt());
            if (moodle)
                f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n");
            for (int n = 1; n <= count; ++n)
                f.write(moodle ? xmlQuestion(n) : question(n));
            if (moodle)
                f.write("</quiz>\n");
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
    std::printf("%s import of %s (%.1f MB file): median %.0f ms over %d runs (min %.0f, max "
                "%.0f); %zu questions read\n",
                moodle ? "Moodle XML" : "GIFT", qPrintable(what), sizeMb, ms[ms.size() / 2], runs,
                ms.front(), ms.back(), added);
    std::printf("peak resident memory: %.0f MB (%.0f MB before the file was read; %.1f x the "
                "file above that)\n",
                peakMb(), before, (peakMb() - before) / sizeMb);
    std::printf("%s\n", qPrintable(outcome.left(300)));
    return 0;
}
