// The program's own windows, wired as at start-up, on the shipped bank and
// on real-size banks of n items: each step from the event to the window
// painted, beside floors measured here on the same machine and disk.
//
//   bench_program <tcpip.DAT> [item counts...]     (default 10000)
//
// Steps: All Questions from the click to item 1 painted (first start in a
// run and later), Next, an answer until painted, the resume question (read
// the kept exam and check it still fits its tables), grading until the
// report is painted, and the History window with 1,000 attempts.
// Floors: copying the same rows into a new encrypted file, one fdatasync of
// a small write, and a bare window repainting three labels.
#include "AppOwner.h"
#include "BenchSupport.h"
#include "ExamSession.h"
#include "ExamWindow.h"
#include "ExamWindowView.h"
#include "History.h"
#include "HistoryWindow.h"
#include "ProgramDir.h"
#include "SavedExam.h"
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"
#include "TableFile.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QThreadPool>
#include <QVBoxLayout>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Processor time of the process: the work a step does, which other
// processes on a busy machine do not stretch (disk waits are not in it).
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void line(const char* what, const std::vector<double>& v, double floor = 0)
{
    if (v.empty())
        return;
    if (floor > 0)
        std::printf("  %-34s median %8.2f ms  p99 %8.2f ms   %.2fx its floor\n", what,
                    bench::median(v), bench::percentile(v, 0.99), bench::median(v) / floor);
    else
        std::printf("  %-34s median %8.2f ms  p99 %8.2f ms\n", what, bench::median(v),
                    bench::percentile(v, 0.99));
}

// One fdatasync of a small write, as one answer kept costs at least.
std::vector<double> syncFloor(int runs)
{
    std::vector<double> out;
    const QByteArray path = QDir::current().absoluteFilePath(QStringLiteral("sync.floor")).toLocal8Bit();
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    char page[4096] = {};
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        if (::pwrite(fd, page, sizeof page, 0) < 0 || ::fdatasync(fd) != 0)
            std::perror("sync floor");
        out.push_back(ms(t));
    }
    ::close(fd);
    ::unlink(path.constData());
    return out;
}

// Reading the bank's rows and writing the same rows, in key order, into a
// new encrypted file that replaces an old one in one transaction, with the
// old one's key: what an exam start cannot do with less.
double copyFloor(const QString& bank, int runs)
{
    const QStringList key{QString::fromLatin1(store::kTablePassword)};
    const QString to = QDir::current().absoluteFilePath(QStringLiteral("copy.floor"));
    QFile::remove(to);
    platform::TableFile(to, key, true, platform::TableFile::Missing::Create, store::bankSchema());
    std::vector<double> out;
    for (int r = 0; r < runs + 1; ++r) {
        QElapsedTimer t;
        t.start();
        std::vector<platform::RowValues> rows;
        {
            platform::TableFile source(bank, key, false, platform::TableFile::Missing::Fail,
                                       store::bankSchema());
            rows = source.selectAll();
        }
        std::unique_ptr<platform::TableFile> target = platform::TableFile::replacement(
            to, key, true, platform::TableFile::Missing::Create, store::bankSchema());
        for (const platform::RowValues& row : rows)
            target->insert(row);
        target->commitReplacement();
        // The first run derives the key; the program holds it by then.
        if (r > 0)
            out.push_back(ms(t));
    }
    QFile::remove(to);
    return bench::median(out);
}

std::vector<double> bareRepaint(int runs)
{
    QWidget w;
    auto* v = new QVBoxLayout(&w);
    QLabel* labels[3] = {new QLabel(&w), new QLabel(&w), new QLabel(&w)};
    for (QLabel* l : labels) {
        l->setWordWrap(true);
        v->addWidget(l);
    }
    w.resize(1280, 800);
    w.show();
    bench::paintNow(&w);
    std::vector<double> out;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        for (QLabel* l : labels)
            l->setText(QStringLiteral("Item %1 of %2: which utility shows the route table?")
                           .arg(r)
                           .arg(runs));
        bench::paintNow(&w);
        out.push_back(ms(t));
    }
    return out;
}

struct Program {
    testing::ScriptedServices services;
    std::unique_ptr<app::AppOwner> owner;
    std::uint64_t seed = 1;

    explicit Program(const QString& dir)
    {
        owner = std::make_unique<app::AppOwner>(services, dir);
        exam()->setSeedSource([this] { return seed++; });
        exam()->setWindowState(Qt::WindowNoState);
        exam()->resize(1280, 800);
        exam()->show();
        bench::paintNow(exam());
    }
    session::ExamWindow* exam() const { return owner->examWindow(); }

    double lastCpu = 0;
    double startAllQuestions()
    {
        const double cpu = cpuMs();
        services.expectModal(QStringLiteral("nameDialog"),
                             [](QWidget*) { return int(QDialog::Accepted); });
        QElapsedTimer t;
        t.start();
        testing::view(*exam()).m_allQuestionsAction->trigger();
        bench::paintNow(exam());
        const double took = ms(t);
        lastCpu = cpuMs() - cpu;
        if (exam()->mode() != session::ExamWindow::ModeExam) {
            std::fprintf(stderr, "the exam did not start: %s\n",
                         qPrintable(services.problems().join(QLatin1Char('\n'))));
            std::exit(1);
        }
        return took;
    }
};

void measure(const QString& dir, const QString& bank, const QString& label, int starts)
{
    const double floor = copyFloor(bank, 3);
    std::vector<double> first, later, firstCpu, laterCpu;
    for (int r = 0; r < starts; ++r) {
        // As a new run of the program: nothing derived or read yet, and the
        // start-up's work ahead done while the user looks at the start window.
        platform::TableFile::forgetKeys();
        platform::TableFile::forgetCheckedPages();
        store::Table::forgetReads();
        Program fresh(dir);
        QThreadPool::globalInstance()->waitForDone();
        first.push_back(fresh.startAllQuestions());
        firstCpu.push_back(fresh.lastCpu);
        fresh.exam()->closeCurrentExam();
    }
    Program p(dir);
    for (int r = 0; r < starts; ++r) {
        later.push_back(p.startAllQuestions());
        laterCpu.push_back(p.lastCpu);
        if (r + 1 < starts)
            p.exam()->closeCurrentExam();
    }
    exam::ExamSession& s = p.exam()->examSession();
    std::printf("%s, All Questions (%d items); copy floor %.1f ms:\n", qPrintable(label),
                s.itemCount(), floor);
    line("first start: click -> item 1 painted", first, floor);
    line("later start: click -> item 1 painted", later, floor);
    line("  first start in processor time", firstCpu, 0);
    line("  later start in processor time", laterCpu, 0);

    const std::vector<double> bare = bareRepaint(200);
    auto view = testing::view(*p.exam());
    std::vector<double> next;
    for (int r = 0; r < 200 && r + 1 < s.itemCount(); ++r) {
        QElapsedTimer t;
        t.start();
        view.m_nextButton->click();
        bench::paintNow(p.exam());
        next.push_back(ms(t));
    }
    line("Next -> painted", next, bench::median(bare));

    std::vector<double> answer;
    for (int r = 0; r < 100; ++r) {
        QRadioButton* choice = view.m_choiceRadios[r % 2];
        if (!choice->isVisible()) {
            view.m_nextButton->click();
            continue;
        }
        QElapsedTimer t;
        t.start();
        choice->click();
        bench::paintNow(p.exam());
        answer.push_back(ms(t));
        view.m_nextButton->click();
    }
    const std::vector<double> sync = syncFloor(100);
    line("answer -> painted", answer, 0);
    line("  floor: one fdatasync", sync, 0);

    std::vector<double> resume, resumeCpu;
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer t;
        const double cpu = cpuMs();
        t.start();
        const std::optional<store::SavedExamState> kept = s.readKeptExam();
        const bool fits = kept && s.keptExamFits(*kept);
        resume.push_back(ms(t));
        resumeCpu.push_back(cpuMs() - cpu);
        if (!fits) {
            std::fprintf(stderr, "the kept exam does not fit its tables\n");
            std::exit(1);
        }
    }
    line("resume question (read + check)", resume, 0);
    line("  the same in processor time", resumeCpu, 0);

    std::vector<double> grading;
    {
        QElapsedTimer t;
        p.services.expectMessage(QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"), platform::Ok);
        p.services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
            bench::paintNow(w);
            grading.push_back(ms(t));
            return int(QDialog::Rejected);
        });
        t.start();
        view.m_gradeButton->click();
    }
    line("grade -> report painted", grading, 0);
    p.services.reset();
    p.exam()->closeCurrentExam();
}

void measureHistory(const QString& dir, int attempts)
{
    {
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::HistoryFile h(s);
        h.removeAll();
        for (int a = 0; a < attempts; ++a) {
            store::Attempt at;
            at.when = 46000 + a;
            at.title = QStringLiteral("Practice Exam %1").arg(QChar(u'A' + a % 7));
            at.candidate = QStringLiteral("Sam Lee");
            at.itemCount = 50;
            at.score = 500 + (a * 37) % 500;
            at.pass = at.score >= 850;
            for (auto& sec : at.sections)
                sec = {5, 8};
            at.secondsUsed = 3000;
            for (int i = 0; i < 50; ++i)
                at.items.push_back({1 + (a + i) % 350, i % 3 != 0, i % 7 == 0, false});
            h.add(at);
        }
    }
    Program p(dir);
    std::vector<double> open;
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer t;
        p.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            bench::paintNow(w);
            open.push_back(ms(t));
            return int(QDialog::Rejected);
        });
        t.start();
        testing::view(*p.exam()).m_historyAction->trigger();
    }
    std::printf("History, %d attempts:\n", attempts);
    line("History -> painted", open, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && QByteArray(argv[1]) == "--write") {
        QCoreApplication app(argc, argv);
        bench::writeRepeatedBank(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]),
                                 QByteArray(argv[2]).toInt());
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_program <tcpip.DAT> [item counts...]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString shipped = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(QByteArray(argv[i]).toInt());
    if (sizes.empty())
        sizes = {10000};

    testing::ProgramDir dir;
    const QString bank = dir.file(QStringLiteral("tcpip.DAT"));
    QFile::remove(bank);
    if (!QFile::copy(shipped, bank)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    measure(dir.path(), bank, QStringLiteral("shipped bank"), 7);
    measureHistory(dir.path(), 1000);
    for (int n : sizes) {
        QFile::remove(bank);
        const int rc = QProcess::execute(QCoreApplication::applicationFilePath(),
                                         {QStringLiteral("--write"), QString::number(n), shipped, bank});
        if (rc != 0) {
            std::fprintf(stderr, "cannot write a bank of %d items\n", n);
            return 1;
        }
        measure(dir.path(), bank, QStringLiteral("%1 real-size items").arg(n), n >= 100000 ? 3 : 5);
    }
    return 0;
}
