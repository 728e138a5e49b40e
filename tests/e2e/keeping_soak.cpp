// Soak test of the kept exam: a child process takes an exam in the real exam
// window (scripted services, offscreen) and logs each action it begins and
// each it completes; the parent kills it with SIGKILL at a random moment,
// then checks that the state file opens, holds every response and move of
// the completed actions (the one in flight may or may not be in), and that
// the exam window resumes it with exactly those responses.
//
//   keeping_soak [runs] [seed]        (defaults: 200 runs, seed from the clock)
#include "ExamWindow.h"
#include "NameDialog.h"
#include "ProgramDir.h"
#include "ProgressWindow.h"
#include "SavedExam.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"
#include "TimeCounter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const kLog = "soak.log";
const char* const kExams[] = {"practiceExamA", "allQuestionsAction", "randomExamAction",
                              "userExamAction"};

struct Item {
    int bits = 0;
    bool marked = false;
};

bool operator==(const Item& a, const Item& b)
{
    return a.bits == b.bits && a.marked == b.marked;
}

struct Expected {
    bool started = false;
    int completed = 0; // actions
    int count = 0;
    int current = 1;
    std::vector<Item> items;
};

int bitsOf(const std::array<bool, 6>& choice)
{
    int bits = 0;
    for (size_t i = 0; i < choice.size(); ++i)
        bits |= choice[i] ? 1 << i : 0;
    return bits;
}

// One line, in one write(2): whatever the kill, a line is whole or absent.
void logLine(int fd, const QByteArray& line)
{
    const QByteArray l = line + '\n';
    if (::write(fd, l.constData(), size_t(l.size())) != l.size())
        std::_Exit(3);
}

// The child: takes an exam until killed.
int child(const char* exam, std::uint64_t seed)
{
    const int log = ::open(kLog, O_WRONLY | O_APPEND | O_CREAT, 0600);
    testing::ScriptedServices services;
    widgets::ProgressWindow progress;
    session::NameDialog names(services);
    session::ExamWindow form(services);
    form.setNameDialog(&names);
    form.setProgressWindow(&progress);
    form.setSeedSource([seed] { return seed; });
    form.resize(1280, 800);
    form.show();
    services.expectModal(QStringLiteral("nameDialog"), [](QWidget* w) {
        auto* f = static_cast<session::NameDialog*>(w);
        f->m_timeBox->setValue(60);
        if (f->m_questionCountBox->isEnabled())
            f->m_questionCountBox->setValue(8);
        return int(QDialog::Accepted);
    });
    form.findChild<QAction*>(QLatin1String(exam))->trigger();
    if (form.mode() != session::ExamWindow::ModeExam)
        return 2;
    logLine(log, "S " + QByteArray::number(form.examSession().itemCount()));
    std::mt19937_64 rng(seed);
    auto* ticker = static_cast<testing::ScriptedTicker*>(form.keepTicker());
    for (int step = 0; step < 100000; ++step) {
        const int k = form.currentSet().recNo();
        const store::ItemResponse& r = form.examSession().responses()[size_t(k - 1)];
        const int action = int(rng() % 10);
        // B: what the action will leave behind if it completes.
        if (action < 5) {
            std::vector<int> shown;
            for (int i = 0; i < 6; ++i)
                if (form.m_choiceLabels[i]->isVisibleTo(form.m_itemContent))
                    shown.push_back(i);
            if (shown.empty())
                continue;
            const int row = shown[rng() % shown.size()];
            const bool box = form.m_choiceBoxes[row]->isVisibleTo(form.m_itemContent);
            const int bits = box ? bitsOf(r.Choice) ^ (1 << row) : 1 << row;
            logLine(log, QByteArray("B ") + QByteArray::number(k) + ' ' + QByteArray::number(bits) +
                             ' ' + QByteArray::number(r.Marked) + ' ' + QByteArray::number(k));
            if (box)
                form.m_choiceBoxes[row]->click();
            else
                form.m_choiceRadios[row]->click();
        } else if (action < 6) {
            logLine(log, QByteArray("B ") + QByteArray::number(k) + ' ' +
                             QByteArray::number(bitsOf(r.Choice)) + ' ' +
                             QByteArray::number(!r.Marked) + ' ' + QByteArray::number(k));
            form.m_markBox->click();
        } else if (action < 9) {
            QPushButton* b = action < 8 ? form.m_nextButton : form.m_previousButton;
            if (!b->isEnabled())
                continue;
            const int to = b == form.m_nextButton ? k + 1 : k - 1;
            logLine(log, QByteArray("B ") + QByteArray::number(k) + ' ' +
                             QByteArray::number(bitsOf(r.Choice)) + ' ' +
                             QByteArray::number(r.Marked) + ' ' + QByteArray::number(to));
            b->click();
        } else {
            services.clock += 1.0 / 86400;
            ticker->fire();
            continue;
        }
        // D: completed, with what the window now holds.
        const int now = form.currentSet().recNo();
        const store::ItemResponse& done = form.examSession().responses()[size_t(k - 1)];
        logLine(log, QByteArray("D ") + QByteArray::number(k) + ' ' +
                         QByteArray::number(bitsOf(done.Choice)) + ' ' +
                         QByteArray::number(done.Marked) + ' ' + QByteArray::number(now));
    }
    return 0;
}

// The state after the completed actions, and the one action in flight.
Expected replay(QString* problem, Expected* inFlight)
{
    Expected e;
    QFile f(QString::fromLatin1(kLog));
    if (!f.open(QIODevice::ReadOnly))
        return e;
    bool pending = false;
    Expected next;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> p = line.split(' ');
        if (p.value(0) == "S") {
            e.started = true;
            e.count = p.value(1).toInt();
            e.items.assign(size_t(e.count), Item());
        } else if (p.size() == 5 && (p[0] == "B" || p[0] == "D")) {
            Expected& target = p[0] == "B" ? next : e;
            if (p[0] == "B")
                next = e;
            const int k = p[1].toInt();
            target.items[size_t(k - 1)] = {p[2].toInt(), p[3].toInt() != 0};
            target.current = p[4].toInt();
            if (p[0] == "D" && (e.items != next.items || e.current != next.current) && problem)
                *problem = QStringLiteral("the window did not do what the action meant");
            pending = p[0] == "B";
            e.completed += p[0] == "D" ? 1 : 0;
        }
    }
    *inFlight = pending ? next : e;
    return e;
}

Expected fromState(const store::SavedExamState& s)
{
    Expected e;
    e.started = true;
    e.count = int(s.items.size());
    e.current = s.currentItem;
    for (const store::SavedItem& item : s.items)
        e.items.push_back({bitsOf(item.choice), item.marked});
    return e;
}

bool same(const Expected& a, const Expected& b)
{
    return a.count == b.count && a.current == b.current && a.items == b.items;
}

// Resumes in a new exam window and returns what it restored.
Expected resume(const store::SavedExamState& s, QString* problem)
{
    testing::ScriptedServices services;
    session::ExamWindow form(services);
    services.expectMessage(
        QStringLiteral("Do you want to resume the interrupted exam \"%1\"?\rItem %2 of %3, %4 "
                       "left, answered %5.\rNo discards it for good; Cancel keeps it for later.")
            .arg(s.title)
            .arg(s.currentItem)
            .arg(s.items.size())
            .arg(exam::formatDuration(std::max(0.0, s.timeLimit - s.timeUsed)))
            .arg(s.answered()),
        platform::Yes);
    form.offerInterruptedExam();
    if (!services.done())
        *problem = services.problems().join(QLatin1Char(' '));
    Expected e;
    e.count = form.examSession().itemCount();
    e.current = form.currentSet().isOpen() ? form.currentSet().recNo() : 0;
    for (const store::ItemResponse& r : form.examSession().responses())
        e.items.push_back({bitsOf(r.Choice), r.Marked});
    return e;
}

QString describe(const Expected& e)
{
    QStringList items;
    for (const Item& i : e.items)
        items << QStringLiteral("%1%2").arg(i.bits).arg(i.marked ? QStringLiteral("m") : QString());
    return QStringLiteral("item %1 of %2 [%3]").arg(e.current).arg(e.count).arg(items.join(' '));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 4 && QByteArray(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return child(argv[2], std::strtoull(argv[3], nullptr, 10));
    }
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10)
                                        : std::uint64_t(QDateTime::currentMSecsSinceEpoch());
    std::mt19937_64 rng(seed);
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    testing::ProgramDir dir; // the working folder of parent and child
    {
        store::Session s(QString::fromLatin1(store::kSessionName));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(s, QString::fromLatin1(store::kUserSetFile), store::userSetSchema());
        t.open();
        for (int i = 0; i < 6; ++i) {
            t.append();
            t.setValue(QStringLiteral("Q_SECT"), 1 + i % 5);
            t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("User question %1").arg(i + 1));
            t.setValue(QStringLiteral("Q_TYPE"), i % 2 == 1);
            for (int c = 1; c <= 4; ++c)
                t.setValue(QStringLiteral("Q%1").arg(c), QStringLiteral("choice %1").arg(c));
            t.setValue(QStringLiteral("A1"), true);
            t.post();
        }
    }
    std::printf("keeping soak: %d runs, seed %llu, in %s\n", runs, (unsigned long long)seed,
                qPrintable(dir.path()));
    QElapsedTimer clock;
    clock.start();
    int failures = 0, killedBeforeStart = 0, completedActions = 0, inFlightKept = 0;
    for (int run = 0; run < runs; ++run) {
        for (const char* f : {kLog, store::kCurrentSetFile, store::kSavedExamFile})
            QFile::remove(QString::fromLatin1(f));
        const char* exam = kExams[run % 4];
        const QByteArray childSeed = QByteArray::number(qulonglong(rng()));
        const char* args[] = {self.constData(), "--child", exam, childSeed.constData(), nullptr};
        pid_t pid = 0;
        // The child's warnings (the offscreen platform's) would drown the report.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        const int spawned =
            posix_spawn(&pid, self.constData(), &quiet, nullptr, const_cast<char**>(args), environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (spawned != 0) {
            std::perror("posix_spawn");
            return 1;
        }
        // Mostly during the exam, now and then while it starts.
        const bool early = rng() % 10 == 0;
        QElapsedTimer wait;
        wait.start();
        if (!early) {
            while (wait.elapsed() < 20000) {
                QFile f(QString::fromLatin1(kLog));
                if (f.open(QIODevice::ReadOnly) && f.readAll().startsWith("S "))
                    break;
                QThread::msleep(2);
            }
        }
        QThread::usleep(static_cast<unsigned long>(rng() % (early ? 400000 : 600000)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        QString problem;
        Expected inFlight;
        Expected done = replay(&problem, &inFlight);
        std::optional<store::SavedExamState> saved;
        try {
            store::Session s(QString::fromLatin1(store::kSessionName));
            s.registerPassword(QString::fromLatin1(store::kTablePassword));
            store::SavedExamFile file(s);
            saved = file.read();
        } catch (const std::exception& e) {
            problem =
                QStringLiteral("the state does not open: %1").arg(QString::fromUtf8(e.what()));
        }
        if (!killed && problem.isEmpty())
            problem = QStringLiteral("the child ended by itself (status %1)").arg(status);
        if (problem.isEmpty() && done.started && !saved)
            problem = QStringLiteral("the exam had started but no state was kept");
        if (saved && !done.started) {
            // Killed after the exam was kept but before it said so: a
            // fresh exam.
            done.count = int(saved->items.size());
            done.items.assign(saved->items.size(), Item());
            inFlight = done;
        }
        if (problem.isEmpty() && saved) {
            const Expected got = fromState(*saved);
            if (same(got, inFlight) && !same(got, done))
                ++inFlightKept;
            else if (!same(got, done))
                problem = QStringLiteral("kept %1, expected %2").arg(describe(got), describe(done));
            if (problem.isEmpty()) {
                const Expected resumed = resume(*saved, &problem);
                if (problem.isEmpty() && !same(resumed, got))
                    problem =
                        QStringLiteral("resumed %1 from %2").arg(describe(resumed), describe(got));
            }
        }
        if (!done.started)
            ++killedBeforeStart;
        completedActions += done.completed;
        if (!problem.isEmpty()) {
            ++failures;
            std::printf("run %d (%s): FAIL: %s\n", run + 1, exam, qPrintable(problem));
        }
    }
    std::printf("keeping soak: %d runs, %d failures, %d killed before the exam started, %d "
                "actions completed before the kills, %d kills with the action in flight "
                "already kept, %.1f s\n",
                runs, failures, killedBeforeStart, completedActions, inFlightKept,
                clock.elapsed() / 1000.0);
    return failures == 0 ? 0 : 1;
}
