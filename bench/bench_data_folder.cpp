// The start of an installed program in its data folder: the first start
// (the bank copied), a start with nothing changed, a start after the shipped
// bank's file was touched (hashed once more), an upgrade that carries a note
// on every item, and the rebuild of a damaged copy. On the given bank and on
// banks of 10,000 and 100,000 real-size items.
//
//   bench_data_folder <tcpip.DAT> [item counts...]     (default 10000 100000)
#include "BenchSupport.h"
#include "DataFolder.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

double timed(const std::function<void()>& act)
{
    // As at a start: nothing of the files is known to the process yet.
    platform::TableFile::forgetKeys();
    platform::TableFile::forgetCheckedPages();
    store::Table::forgetReads();
    QElapsedTimer clock;
    clock.start();
    act();
    return double(clock.nsecsElapsed()) / 1e6;
}

void touch(const QString& path, int year)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime(QDate(year, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime);
}

void measure(const QString& bank, const QString& label)
{
    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    const QString data = tmp.filePath(QStringLiteral("data"));
    QDir().mkpath(program);
    QFile::copy(bank, program + QStringLiteral("/tcpip.DAT"));
    const QString copy = data + QStringLiteral("/tcpip.DAT");
    const double first = timed([&] { store::prepareUserData(program, data); });
    std::vector<double> unchanged;
    for (int i = 0; i < 5; ++i)
        unchanged.push_back(timed([&] { store::prepareUserData(program, data); }));
    touch(program + QStringLiteral("/tcpip.DAT"), 2022);
    const double touched = timed([&] { store::prepareUserData(program, data); });

    store::Session session(QString::fromLatin1(store::kSessionName));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    int items = 0;
    {
        store::Table t(session, copy, store::bankSchema());
        t.open();
        items = t.recordCount();
    }
    QHash<qint64, QString> notes;
    for (int id = 1; id <= std::min(items, 10000); ++id)
        notes.insert(id, QStringLiteral("A note of mine on item %1.").arg(id));
    store::writeNotes(session, copy, notes);
    // A newer install: one more byte in the stamp's eyes.
    {
        QFile f(program + QStringLiteral("/tcpip.DAT"));
        f.open(QIODevice::Append);
        f.write(QByteArray(1, '\0'));
    }
    const double upgrade = timed([&] { store::prepareUserData(program, data); });
    {
        QFile f(copy);
        f.open(QIODevice::ReadWrite);
        f.seek(f.size() / 2);
        f.write("damage");
    }
    const double restore = timed([&] { store::prepareUserData(program, data); });
    std::printf("%s (%d items):\n  first start %8.1f ms\n  unchanged   %8.1f ms (median of 5)\n"
                "  touched     %8.1f ms\n  upgrade with %lld notes %8.1f ms\n"
                "  damaged copy restored %8.1f ms\n",
                qPrintable(label), items, first, bench::median(unchanged), touched,
                static_cast<long long>(notes.size()), upgrade, restore);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_data_folder <tcpip.DAT> [item counts...]\n");
        return 2;
    }
    const QString shipped = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(QByteArray(argv[i]).toInt());
    if (sizes.empty())
        sizes = {10000, 100000};
    measure(shipped, QStringLiteral("shipped bank"));
    QTemporaryDir tmp;
    for (int n : sizes) {
        const QString big = tmp.filePath(QStringLiteral("big%1.DAT").arg(n));
        bench::writeRepeatedBank(shipped, big, n);
        measure(big, QStringLiteral("%1 real-size items").arg(n));
    }
    return 0;
}
