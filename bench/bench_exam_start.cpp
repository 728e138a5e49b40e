// All Questions from the click to the exam window painted on item 1, on a
// given bank (the shipped one) and on 10,000 and 100,000 real-size items (the
// given bank's items repeated under new ids). For each: the first start in
// the run (no key derived yet) and a later one, split at the name dialog.
// Prints medians, and the resident memory after the largest start.
//
//   bench_exam_start <tcpip.DAT> [item counts...]     (default 10000 100000)
#include "BenchSupport.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "Table.h"
#include "TableFile.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <ctime>

namespace {

struct Start {
    double toDialog = 0; // click until the name dialog is shown
    double toItem = 0;   // OK until item 1 is painted
    // The same in processor time: the work done, which the machine's load
    // does not stretch (disk waits are not in it).
    double cpuToDialog = 0;
    double cpuToItem = 0;
};

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Start startOnce(ExamWindowFixture& f)
{
    Start s;
    QElapsedTimer clock;
    double cpu = 0;
    f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget*) {
        s.toDialog = clock.nsecsElapsed() / 1e6;
        s.cpuToDialog = cpuMs() - cpu;
        clock.restart();
        cpu = cpuMs();
        return int(QDialog::Accepted);
    });
    cpu = cpuMs();
    clock.start();
    testing::view(*f.form).m_allQuestionsAction->trigger();
    bench::paintNow(f.form.get());
    s.toItem = clock.nsecsElapsed() / 1e6;
    s.cpuToItem = cpuMs() - cpu;
    if (f.form->mode() != session::ExamWindow::ModeExam || f.form->currentSet().recNo() != 1) {
        std::fprintf(stderr, "exam did not start\n");
        std::exit(1);
    }
    return s;
}

void report(const char* label, const std::vector<Start>& runs)
{
    std::vector<double> dialog, item, cpuDialog, cpuItem;
    for (const Start& s : runs) {
        dialog.push_back(s.toDialog);
        item.push_back(s.toItem);
        cpuDialog.push_back(s.cpuToDialog);
        cpuItem.push_back(s.cpuToItem);
    }
    std::printf("  %-12s click->dialog %7.1f ms (cpu %6.1f)   OK->item 1 painted %7.1f ms (cpu "
                "%6.1f)   median of %zu\n",
                label, bench::median(dialog), bench::median(cpuDialog), bench::median(item),
                bench::median(cpuItem), runs.size());
}

void measure(ExamWindowFixture& f, const QString& label, int runs)
{
    f.create();
    f.form->setWindowState(Qt::WindowNoState);
    f.form->resize(1280, 800);
    bench::paintNow(f.form.get());
    std::vector<Start> first, later;
    for (int r = 0; r < runs; ++r) {
        // As at the first start of a run: no key derived, no file read yet.
        platform::TableFile::forgetKeys();
        platform::TableFile::forgetCheckedPages();
        store::Table::forgetReads();
        first.push_back(startOnce(f));
        f.form->closeCurrentExam();
    }
    for (int r = 0; r < runs; ++r) {
        later.push_back(startOnce(f));
        if (r + 1 < runs)
            f.form->closeCurrentExam();
    }
    std::printf("%s, All Questions (%d items):\n", qPrintable(label),
                f.form->examSession().itemCount());
    report("first start", first);
    report("later start", later);
    const auto [rss, peak] = bench::residentMb();
    std::printf("  resident %.0f MB with the exam open, peak %.0f MB\n", rss, peak);
    f.form->closeCurrentExam();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && QByteArray(argv[1]) == "--write") {
        // Run as a child, so that writing a big bank leaves no trace in the
        // measuring process's memory.
        QCoreApplication app(argc, argv);
        bench::writeRepeatedBank(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]),
                                 QByteArray(argv[2]).toInt());
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_exam_start <tcpip.DAT> [item counts...]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString shipped = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(QByteArray(argv[i]).toInt());
    if (sizes.empty())
        sizes = {10000, 100000};

    ExamWindowFixture f;
    f.setUp();
    QFile::remove(QStringLiteral("tcpip.DAT"));
    if (!QFile::copy(shipped, QStringLiteral("tcpip.DAT"))) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    measure(f, QStringLiteral("shipped bank"), 11);
    for (int n : sizes) {
        QFile::remove(QStringLiteral("tcpip.DAT"));
        const int rc =
            QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--write"), QString::number(n), shipped,
                               QDir::current().absoluteFilePath(QStringLiteral("tcpip.DAT"))});
        if (rc != 0) {
            std::fprintf(stderr, "cannot write a bank of %d items\n", n);
            return 1;
        }
        measure(f, QStringLiteral("%1 real-size items").arg(n), n >= 100000 ? 3 : 5);
    }
    f.tearDown();
    return 0;
}
