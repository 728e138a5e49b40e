// Time of one item display (showCurrentItem) at 1280 x 800, for a
// typical item and for one with six long choices and a long explanation;
// with a bank given, also Next through every item of All Questions, from the
// click until the next item is painted (median and 95th percentile).
//
//   bench_item_display [tcpip.DAT]
#include "BankCompiler.h"
#include "BenchSupport.h"
#include "DataSource.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ExamWindowFixture f;
    f.setUp();
    QString longText;
    for (int i = 0; i < 12; ++i)
        longText += QStringLiteral("A long sentence about routing tables, default gateways and "
                                   "NetBIOS name resolution order on routed networks. ");
    QVector<bank::SourceItem> items;
    bank::SourceItem typical;
    typical.id = 1;
    typical.exam = 1;
    typical.section = 2;
    typical.text = QStringLiteral("Which DHCP option gives the clients their default gateway?");
    typical.explanation = QStringLiteral("Option 003 lists the routers.");
    typical.choices = {
        "003 Router", "006 DNS Servers", "044 WINS/NBNS Servers", "046 WINS/NBT Node Type", "", ""};
    typical.key[0] = true;
    bank::SourceItem heavy = typical;
    heavy.id = 2;
    heavy.text = longText;
    heavy.explanation = longText + longText;
    for (auto& c : heavy.choices)
        c = longText.left(400);
    items << typical << heavy;
    QFile::remove(QStringLiteral("tcpip.DAT"));
    bank::writeBank(items, QStringLiteral("tcpip.DAT"));
    f.create();
    f.form->setWindowState(Qt::WindowNoState);
    f.form->resize(1280, 800);
    f.services.expectModal(QStringLiteral("nameDialog"),
                           [](QWidget*) { return int(QDialog::Accepted); });
    testing::view(*f.form).m_practiceExamActions[0]->trigger();
    for (int id : {1, 2}) {
        f.goToBankItem(id);
        std::vector<double> ms;
        for (int r = 0; r < 201; ++r) {
            QElapsedTimer clock;
            clock.start();
            // The notification that shows an item, as a move raises it.
            emit f.form->currentSetSource()->dataChanged(-1);
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("%s item: median %.3f ms\n", id == 1 ? "typical" : "six long choices",
                    median(ms));
    }
    f.form->closeCurrentExam();
    if (argc > 1) {
        QFile::remove(QStringLiteral("tcpip.DAT"));
        if (!QFile::copy(QString::fromLocal8Bit(argv[1]), QStringLiteral("tcpip.DAT"))) {
            std::fprintf(stderr, "cannot copy %s\n", argv[1]);
            return 1;
        }
        f.create();
        f.form->setWindowState(Qt::WindowNoState);
        f.form->resize(1280, 800);
        std::vector<double> ms;
        for (int round = 0; round < 3; ++round) {
            f.services.expectModal(QStringLiteral("nameDialog"),
                                   [](QWidget*) { return int(QDialog::Accepted); });
            testing::view(*f.form).m_allQuestionsAction->trigger();
            bench::paintNow(f.form.get());
            for (int k = 2; k <= f.form->examSession().itemCount(); ++k) {
                QElapsedTimer clock;
                clock.start();
                testing::view(*f.form).m_nextButton->click();
                bench::paintNow(f.form.get());
                ms.push_back(clock.nsecsElapsed() / 1e6);
            }
            f.form->closeCurrentExam();
        }
        std::printf("Next through All Questions (%zu steps): median %.3f ms, 95th percentile "
                    "%.3f ms\n",
                    ms.size(), bench::median(ms), bench::percentile(ms, 0.95));
    }
    f.tearDown();
    return 0;
}
