// Soak test of the kept exam: a child process takes an exam in the real exam
// window (scripted services, offscreen) and logs each action it begins and
// each it completes; the parent kills it with SIGKILL at a random moment,
// then checks that the state file opens, holds every response and move of
// the completed actions (the one in flight may or may not be in), and that
// the exam window resumes it with exactly those responses. The actions
// include answering the two simulations (logged as done when the program
// says "saved") and grading; every fourth run a second child resumes the
// kept exam and grades it, and is killed in its turn. After every kill the
// history must read whole, and a graded exam must be in it or still kept.
//
//   keeping_soak [runs] [seed]        (defaults: 200 runs, seed from the clock)
#include "ExamWindow.h"
#include "ExamWindowView.h"
#include "History.h"
#include "NameDialog.h"
#include "PrintingSimulation.h"
#include "ProgramDir.h"
#include "ProgressWindow.h"
#include "SavedExam.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "SimTile.h"
#include "SubnetMaskSimulation.h"
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
    bool gradeAsked = false; // the candidate confirmed Grade
    bool graded = false;     // the program said it was graded
    int completed = 0;       // actions
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
    session::PrintingSimulation printing;
    session::SubnetMaskSimulation subnets;
    form.setNameDialog(&names);
    form.setProgressWindow(&progress);
    form.setSeedSource([seed] { return seed; });
    form.setSimulationWindows(&printing, &subnets);
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
        // Now and then the exam is graded: G when the candidate confirms, H
        // once the program has said it is graded. The child then idles.
        if (step > 20 && rng() % 300 == 0) {
            services.expectMessage(QStringLiteral("This will end your practice exam.\rAre you sure "
                                                  "to end this exam?"),
                                   platform::Ok);
            logLine(log, "G");
            testing::view(form).m_gradeButton->click();
            logLine(log, "H");
            for (;;)
                ::pause();
        }
        // A simulation: its outcome is done once the program says so.
        if (action < 5 && testing::view(form).m_simulationButton->isVisibleTo(
                              testing::view(form).m_itemContent)) {
            const bool sim1 = form.examSession().currentItem().simulation == QLatin1String("SIM1");
            QDialog* window = sim1 ? static_cast<QDialog*>(&printing) : &subnets;
            const bool confirm = rng() % 3 != 0;
            const int marked = r.Marked;
            services.expectModal(window->objectName(), [&](QWidget*) {
                const QList<session::SimTile*> tiles = window->findChildren<session::SimTile*>();
                for (int d = 0; d < 3; ++d) {
                    session::SimTile* a = tiles.value(int(rng() % tiles.size()));
                    session::SimTile* b = tiles.value(int(rng() % tiles.size()));
                    if (sim1)
                        printing.dropOn(a, b);
                    else
                        subnets.dropOn(a, b);
                }
                const bool right =
                    confirm && (sim1 ? printing.targetsHoldKey() : subnets.targetsHoldKey());
                const int bits = confirm ? (right ? 32 : 16) : 0;
                logLine(log, QByteArray("B ") + QByteArray::number(k) + ' ' +
                                 QByteArray::number(bits) + ' ' + QByteArray::number(marked) + ' ' +
                                 QByteArray::number(k));
                services.onMessage = [&, bits](const QString&) {
                    logLine(log, QByteArray("D ") + QByteArray::number(k) + ' ' +
                                     QByteArray::number(bits) + ' ' + QByteArray::number(marked) +
                                     ' ' + QByteArray::number(k));
                };
                return confirm ? int(QDialog::Accepted) : int(QDialog::Rejected);
            });
            services.expectMessage(confirm ? QStringLiteral("Your response has been saved.")
                                           : QStringLiteral("Your response is not complete."),
                                   platform::Ok);
            testing::view(form).m_simulationButton->click();
            services.onMessage = nullptr;
            continue;
        }
        // B: what the action will leave behind if it completes.
        if (action < 5) {
            std::vector<int> shown;
            for (int i = 0; i < 6; ++i)
                if (testing::view(form).m_choiceLabels[i]->isVisibleTo(
                        testing::view(form).m_itemContent))
                    shown.push_back(i);
            if (shown.empty())
                continue;
            const int row = shown[rng() % shown.size()];
            const bool box = testing::view(form).m_choiceBoxes[row]->isVisibleTo(
                testing::view(form).m_itemContent);
            const int bits = box ? bitsOf(r.Choice) ^ (1 << row) : 1 << row;
            logLine(log, QByteArray("B ") + QByteArray::number(k) + ' ' + QByteArray::number(bits) +
                             ' ' + QByteArray::number(r.Marked) + ' ' + QByteArray::number(k));
            if (box)
                testing::view(form).m_choiceBoxes[row]->click();
            else
                testing::view(form).m_choiceRadios[row]->click();
        } else if (action < 6) {
            logLine(log, QByteArray("B ") + QByteArray::number(k) + ' ' +
                             QByteArray::number(bitsOf(r.Choice)) + ' ' +
                             QByteArray::number(!r.Marked) + ' ' + QByteArray::number(k));
            testing::view(form).m_markBox->click();
        } else if (action < 9) {
            QPushButton* b = action < 8 ? testing::view(form).m_nextButton
                                        : testing::view(form).m_previousButton;
            if (!b->isEnabled())
                continue;
            const int to = b == testing::view(form).m_nextButton ? k + 1 : k - 1;
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

QString resumeQuestion(const store::SavedExamState& s)
{
    return QStringLiteral("Do you want to resume the interrupted exam \"%1\"?\rItem %2 of %3, %4 "
                          "left, answered %5.\rNo discards it for good; Cancel keeps it for later.")
        .arg(s.title)
        .arg(s.currentItem)
        .arg(s.items.size())
        .arg(exam::formatDuration(s.untimed ? 0.0 : std::max(0.0, s.timeLimit - s.timeUsed)))
        .arg(s.answered());
}

std::optional<store::SavedExamState> readKept()
{
    store::Session s(QString::fromLatin1(store::kSessionName));
    s.registerPassword(QString::fromLatin1(store::kTablePassword));
    store::SavedExamFile file(s);
    return file.read();
}

// The second child: resumes the kept exam and grades it at once, logging R
// once resumed, G when grading is confirmed and H once it is done.
int resumeAndGrade()
{
    const int log = ::open(kLog, O_WRONLY | O_APPEND | O_CREAT, 0600);
    const std::optional<store::SavedExamState> kept = readKept();
    if (!kept)
        return 2;
    testing::ScriptedServices services;
    session::ExamWindow form(services);
    form.resize(1280, 800);
    form.show();
    services.expectMessage(resumeQuestion(*kept), platform::Yes);
    form.offerInterruptedExam();
    if (form.mode() != session::ExamWindow::ModeExam)
        return 2;
    logLine(log, "R");
    services.expectMessage(
        QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
        platform::Ok);
    logLine(log, "G");
    testing::view(form).m_gradeButton->click();
    logLine(log, "H");
    for (;;)
        ::pause();
}

// What a kill may leave of a graded exam: the history reads whole, names
// only real items, and holds the exam once it was said to be graded; until
// then the exam is in the history or still kept.
QString checkGrading(const Expected& done, bool kept)
{
    std::vector<store::Attempt> attempts;
    QStringList bad;
    try {
        store::Session s(QString::fromLatin1(store::kSessionName));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        attempts = store::HistoryFile(s).readAll(&bad);
    } catch (const std::exception& e) {
        return QStringLiteral("the history does not open: %1").arg(QString::fromUtf8(e.what()));
    }
    if (!bad.isEmpty())
        return QStringLiteral("the history has unreadable records: %1").arg(bad.join(' '));
    for (const store::Attempt& a : attempts)
        for (const store::AttemptItem& item : a.items)
            if (item.id <= 0)
                return QStringLiteral("an attempt names item %1").arg(item.id);
    if (done.graded && attempts.empty())
        return QStringLiteral("the exam was said to be graded but is not in the history");
    if (done.gradeAsked && attempts.empty() && !kept)
        return QStringLiteral("the graded exam is neither in the history nor kept");
    return {};
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
        if (p.value(0) == "G") {
            e.gradeAsked = true;
        } else if (p.value(0) == "H") {
            e.graded = true;
        } else if (p.value(0) == "S") {
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
    services.expectMessage(resumeQuestion(s), platform::Yes);
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
    if (argc >= 2 && QByteArray(argv[1]) == "--resume-and-grade") {
        QApplication app(argc, argv);
        return resumeAndGrade();
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
    int gradedRuns = 0, resumedAndGraded = 0, resumedAndKilled = 0;
    for (int run = 0; run < runs; ++run) {
        for (const char* f :
             {kLog, store::kCurrentSetFile, store::kSavedExamFile, store::kHistoryFile})
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
        if (problem.isEmpty())
            problem = checkGrading(done, bool(saved));
        if (problem.isEmpty() && done.started && !saved && !done.gradeAsked)
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
        // Every fourth run, a second child resumes what was kept and grades
        // it, and is killed in its turn.
        if (problem.isEmpty() && saved && run % 4 == 3) {
            QFile::remove(QString::fromLatin1(kLog));
            const char* again[] = {self.constData(), "--resume-and-grade", nullptr};
            pid_t second = 0;
            posix_spawn_file_actions_t mute;
            posix_spawn_file_actions_init(&mute);
            posix_spawn_file_actions_addopen(&mute, 2, "/dev/null", O_WRONLY, 0);
            if (posix_spawn(&second, self.constData(), &mute, nullptr, const_cast<char**>(again),
                            environ) != 0) {
                std::perror("posix_spawn");
                return 1;
            }
            posix_spawn_file_actions_destroy(&mute);
            // Killed while it grades: once it has resumed, within the time
            // grading takes.
            QElapsedTimer resumed;
            resumed.start();
            while (resumed.elapsed() < 20000) {
                QFile f(QString::fromLatin1(kLog));
                if (f.open(QIODevice::ReadOnly) && f.readAll().startsWith("R"))
                    break;
                QThread::msleep(2);
            }
            QThread::usleep(static_cast<unsigned long>(rng() % 60000));
            ::kill(second, SIGKILL);
            ::waitpid(second, &status, 0);
            Expected ignored;
            const Expected graded = replay(nullptr, &ignored);
            resumedAndGraded += graded.graded ? 1 : 0;
            resumedAndKilled += graded.gradeAsked && !graded.graded ? 1 : 0;
            problem = checkGrading(graded, bool(readKept()));
            if (!problem.isEmpty())
                problem = QStringLiteral("after resuming and grading: ") + problem;
        }
        gradedRuns += done.graded ? 1 : 0;
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
                "already kept, %d graded before the kill, %d resumed and graded before the "
                "second kill, %d resumed and killed while grading, %.1f s\n",
                runs, failures, killedBeforeStart, completedActions, inFlightKept, gradedRuns,
                resumedAndGraded, resumedAndKilled, clock.elapsed() / 1000.0);
    return failures == 0 ? 0 : 1;
}
