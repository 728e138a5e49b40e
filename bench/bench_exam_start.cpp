// Time from OK in the name dialog until the exam window is in exam mode on
// item 1, for All Questions of a given bank and of a generated 10,000-item
// bank. Prints the medians.
#include "BankCompiler.h"
#include "ExamWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QVector<bank::SourceItem> generated(int n)
{
    QVector<bank::SourceItem> items;
    for (int i = 1; i <= n; ++i) {
        bank::SourceItem it;
        it.id = i;
        it.exam = 1 + i % 7;
        it.section = 1 + i % 5;
        it.text = QStringLiteral("Generated question %1 about subnet masks and routers?").arg(i);
        it.explanation = QStringLiteral("Explanation %1.").arg(i);
        for (int c = 0; c < 5; ++c)
            it.choices[size_t(c)] = QStringLiteral("Choice %1 of item %2").arg(c).arg(i);
        it.key[size_t(i % 5)] = true;
        items << it;
    }
    return items;
}

double measure(ExamWindowFixture& f, int runs)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer clock;
        // The clock starts when the dialog returns OK.
        f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget*) {
            clock.start();
            return int(QDialog::Accepted);
        });
        f.form->m_allQuestionsAction->trigger();
        const double elapsed = clock.nsecsElapsed() / 1e6;
        if (f.form->mode != 1 || f.form->currentSet().recNo() != 1) {
            std::fprintf(stderr, "exam did not start\n");
            std::exit(1);
        }
        ms.push_back(elapsed);
        f.form->closeCurrentExam();
    }
    return median(ms);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString shipped = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    ExamWindowFixture f;
    f.setUp();
    if (!shipped.isEmpty()) {
        QFile::remove(QStringLiteral("tcpip.DAT"));
        if (!QFile::copy(shipped, QStringLiteral("tcpip.DAT"))) {
            std::fprintf(stderr, "cannot copy %s\n", argv[1]);
            return 1;
        }
        f.create();
        std::printf(
            "shipped bank, All Questions (%d items): median %.1f ms\n",
            [&] {
                f.services.expectModal(QStringLiteral("nameDialog"),
                                       [](QWidget*) { return int(QDialog::Accepted); });
                f.form->m_allQuestionsAction->trigger();
                const int n = f.form->itemCount;
                f.form->closeCurrentExam();
                return n;
            }(),
            measure(f, 11));
    }
    QFile::remove(QStringLiteral("tcpip.DAT"));
    bank::writeBank(generated(10000), QStringLiteral("tcpip.DAT"));
    f.create();
    std::printf("generated bank, All Questions (10000 items): median %.1f ms\n", measure(f, 5));
    f.tearDown();
    return 0;
}
