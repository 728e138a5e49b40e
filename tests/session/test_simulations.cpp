// The two select-and-place exercises: their windows and diagram, dragging
// tiles, and the exam window's button that opens them and stores the outcome.
#include "BankCompiler.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "PrintingSimulation.h"
#include "SavedExam.h"
#include "SimDiagram.h"
#include "SimTile.h"
#include "SubnetMaskSimulation.h"

#include <QAction>
#include <QDropEvent>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <cmath>

using session::ExamWindow;
using session::PrintingSimulation;
using session::SimTile;
using session::SubnetMaskSimulation;

// A drop of tile `second` onto tile `first`, both numbered 1..8.
using Drops = QList<QPair<int, int>>;
Q_DECLARE_METATYPE(Drops)

namespace {

const QStringList kStart1 = {
    "TCP/IP Printing Service", "LPR", "LPQ", "LPD Service", "", "", "", ""};
const QStringList kStart2 = {
    "255.255.255.252", "255.255.252.0", "255.255.255.240", "255.255.0.0", "", "", "", ""};

// The drops that put every key text on its target.
const Drops kRight1 = {{5, 3}, {6, 1}, {7, 2}, {8, 4}};
const Drops kRight2 = {{5, 4}, {6, 3}, {7, 2}, {8, 1}};

bank::SourceItem simItem(int id, const QString& tag)
{
    bank::SourceItem it;
    it.id = id;
    it.exam = 1;
    it.section = 3;
    it.text = QStringLiteral("Simulation item %1.").arg(id);
    it.explanation = QStringLiteral("Explanation of item %1.").arg(id);
    it.key[5] = true;
    it.sim = tag;
    return it;
}

// Items 1 and 3 share the printing-services exercise; item 4 names no
// exercise the program has.
QVector<bank::SourceItem> bankItems()
{
    QVector<bank::SourceItem> v;
    v << simItem(1, QStringLiteral("SIM1")) << simItem(2, QStringLiteral("SIM2"))
      << simItem(3, QStringLiteral("SIM1")) << simItem(4, QStringLiteral("SIM3"));
    bank::SourceItem plain = simItem(5, QString());
    plain.choices[0] = QStringLiteral("yes");
    plain.choices[1] = QStringLiteral("no");
    plain.key = {true, false, false, false, false, false};
    v << plain;
    return v;
}

qreal rectDistance(const QRect& a, const QRect& b)
{
    const int dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
    const int dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
    return std::hypot(qreal(dx), qreal(dy));
}

} // namespace

class TestSimulations : public QObject {
    Q_OBJECT
    ExamWindowFixture f;
    std::unique_ptr<PrintingSimulation> sim1;
    std::unique_ptr<SubnetMaskSimulation> sim2;

    QDialog* window(int which)
    {
        return which == 1 ? static_cast<QDialog*>(sim1.get()) : static_cast<QDialog*>(sim2.get());
    }
    static QString formName(int which)
    {
        return which == 1 ? QStringLiteral("printingSimulation")
                          : QStringLiteral("subnetMaskSimulation");
    }
    static QString tileName(int which, int n)
    {
        return (which == 1 ? QStringLiteral("printingTile%1") : QStringLiteral("maskTile%1"))
            .arg(n);
    }
    SimTile* tile(int which, int n)
    {
        return window(which)->findChild<SimTile*>(tileName(which, n));
    }
    QStringList captions(int which)
    {
        QStringList c;
        for (int n = 1; n <= 8; ++n)
            c << tile(which, n)->text();
        return c;
    }
    static const QStringList& start(int which) { return which == 1 ? kStart1 : kStart2; }

    // Delivers a drop as the platform would: the drag enters the target,
    // which becomes the drop target only if it accepts, and is dropped.
    static void sendDrop(SimTile* target, const QString& sourceName)
    {
        QMimeData data;
        data.setData(SimTile::mimeType(), sourceName.toUtf8());
        QDragEnterEvent enter(QPoint(4, 4), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(4, 4), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
    }
    void arrange(int which, const Drops& drops, bool direct = false)
    {
        for (const auto& [target, source] : drops) {
            if (!direct)
                sendDrop(tile(which, target), tileName(which, source));
            else if (which == 1)
                sim1->dropOn(tile(1, target), tile(1, source));
            else
                sim2->dropOn(tile(2, target), tile(2, source));
        }
    }
    static void closeWindow(QDialog* d, const QString& how)
    {
        if (how == QLatin1String("OK"))
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        else if (how == QLatin1String("Cancel"))
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                              Qt::LeftButton);
        else if (how == QLatin1String("close box"))
            d->close();
        else
            QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(!d->isVisible());
    }

    void start()
    {
        f.answerNameDialog(true);
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }
    const store::ItemResponse& responseOf(int bankId)
    {
        const int index = f.examItems().indexOf(bankId);
        if (index < 0)
            qFatal("bank item %d is not in the exam", bankId);
        return f.form->examSession().responses()[size_t(index)];
    }
    void clickSimButton()
    {
        QVERIFY(testing::view(*f.form).m_simulationButton->isVisibleTo(
            testing::view(*f.form).m_itemContent));
        QTest::mouseClick(testing::view(*f.form).m_simulationButton, Qt::LeftButton);
    }

private slots:
    void init()
    {
        f.dir = std::make_unique<testing::ProgramDir>();
        bank::writeBank(bankItems(), QStringLiteral("tcpip.DAT"));
        f.create();
        sim1 = std::make_unique<PrintingSimulation>();
        sim2 = std::make_unique<SubnetMaskSimulation>();
        f.form->setSimulationWindows(sim1.get(), sim2.get());
        f.form->setResetSimulations([this] {
            sim1->resetTiles();
            sim2->resetTiles();
        });
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        f.tearDown();
        sim1.reset();
        sim2.reset();
    }

    void controlsSitWhereTheyBelong_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry"); // in the parent's coordinates
        QTest::newRow("1 diagram panel") << 1 << "diagramPanel" << QRect(0, 0, 592, 361);
        QTest::newRow("1 diagram") << 1 << "diagram" << QRect(0, 0, 592, 361);
        QTest::newRow("1 tile tray") << 1 << "tileTray" << QRect(0, 361, 592, 70);
        const QPoint sources1[4] = {{4, 8}, {168, 8}, {4, 40}, {168, 40}};
        const QPoint targets1[4] = {{52, 46}, {334, 33}, {41, 275}, {291, 298}};
        for (int i = 0; i < 4; ++i) {
            QTest::addRow("1 printingTile%d", i + 1)
                << 1 << tileName(1, i + 1) << QRect(sources1[i], QSize(158, 27));
            QTest::addRow("1 printingTile%d", i + 5)
                << 1 << tileName(1, i + 5) << QRect(targets1[i], QSize(157, 27));
        }
        QTest::newRow("1 OK") << 1 << "okButton" << QRect(399, 36, 91, 30);
        QTest::newRow("1 Cancel") << 1 << "cancelButton" << QRect(495, 36, 92, 30);

        QTest::newRow("2 instruction band") << 2 << "instructionBand" << QRect(0, 0, 579, 46);
        QTest::newRow("2 instruction") << 2 << "instructionLabel" << QRect(3, 3, 573, 40);
        QTest::newRow("2 button band") << 2 << "buttonBand" << QRect(0, 254, 579, 37);
        QTest::newRow("2 mask column") << 2 << "maskColumn" << QRect(0, 46, 150, 208);
        QTest::newRow("2 network table") << 2 << "networkTable" << QRect(150, 46, 429, 208);
        const int sourceTops[4] = {29, 62, 94, 127};
        const int rowTops[4] = {42, 78, 114, 150};
        for (int i = 0; i < 4; ++i) {
            QTest::addRow("2 maskTile%d", i + 1)
                << 2 << tileName(2, i + 1) << QRect(3, sourceTops[i], 141, 30);
            QTest::addRow("2 maskTile%d", i + 5)
                << 2 << tileName(2, i + 5) << QRect(10, rowTops[i], 140, 30);
            QTest::addRow("2 row %c", 'A' + i) << 2 << QStringLiteral("row%1").arg(QChar(u'A' + i))
                                               << QRect(156, rowTops[i], 258, 30);
        }
        QTest::newRow("2 OK") << 2 << "okButton" << QRect(408, 4, 81, 29);
        QTest::newRow("2 Cancel") << 2 << "cancelButton" << QRect(492, 4, 82, 29);
    }
    void controlsSitWhereTheyBelong()
    {
        QFETCH(int, which);
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        const QList<QWidget*> found = window(which)->findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->geometry(), geometry);
    }

    void windowsShowTheirTexts()
    {
        QCOMPARE(sim1->size(), QSize(592, 431));
        QCOMPARE(sim1->minimumSize(), sim1->maximumSize());
        QCOMPARE(sim2->size(), QSize(579, 291));
        QCOMPARE(sim2->minimumSize(), sim2->maximumSize());
        QCOMPARE(sim2->windowTitle(), QStringLiteral("Simulation"));
        QCOMPARE(sim2->m_instructionLabel->text(),
                 QStringLiteral("Match the subnet masks on the left to fit the network IDs on the "
                                "right so that the minimum number of subnets required is met."));
        QVERIFY(sim2->m_instructionLabel->wordWrap());
        QCOMPARE(sim2->m_maskHeading->text(), QStringLiteral("Subnet Masks"));
        QCOMPARE(sim2->m_maskHeading->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(captions(1), kStart1);
        QCOMPARE(captions(2), kStart2);

        // Each row of the table reads letter, network ID, subnets required.
        const QStringList rows[4] = {{"A", "90.0.0.0", "223"},
                                     {"B", "200.165.6.0", "14"},
                                     {"C", "142.109.222.0", "58"},
                                     {"D", "221.201.64.0", "60"}};
        for (int i = 0; i < 4; ++i) {
            QWidget* row = sim2->findChild<QWidget*>(QStringLiteral("row%1").arg(QChar(u'A' + i)));
            QStringList texts;
            for (QLabel* l : row->findChildren<QLabel*>())
                texts << l->text();
            QCOMPARE(texts, rows[i]);
            QCOMPARE(row->findChildren<QLabel*>().first()->palette().color(QPalette::WindowText),
                     QColor(128, 0, 0));
        }
        QStringList header;
        for (QLabel* l : sim2->m_networkTable->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (!qobject_cast<SimTile*>(l))
                header << l->text();
        QCOMPARE(header, (QStringList{"Network ID", "Minimum subnets required"}));

        for (int which : {1, 2})
            for (int n = 1; n <= 8; ++n) {
                SimTile* t = tile(which, n);
                QCOMPARE(QFontInfo(t->font()).pixelSize(), 13);
                QCOMPARE(t->alignment(), Qt::AlignCenter);
                QCOMPARE(t->grab().toImage().pixelColor(t->width() / 2, 3), QColor(Qt::white));
            }
    }

    // The targets lie on the picture beside their own element and cover
    // nothing that is drawn.
    void targetsSitBesideTheirElements()
    {
        const QPixmap picture = sim1->m_diagram->pixmap();
        QCOMPARE(picture.size(), QSize(573, 339));
        const QImage image = session::printingServicesDiagram().toImage();
        const QPoint origin((sim1->m_diagram->width() - 573) / 2,
                            (sim1->m_diagram->height() - 339) / 2);
        for (int i = 0; i < 4; ++i) {
            const QRect onPicture = tile(1, i + 5)->geometry().translated(-origin);
            QVERIFY(QRect(0, 0, 573, 339).contains(onPicture));
            int covered = 0;
            for (int y = onPicture.top(); y <= onPicture.bottom(); ++y)
                for (int x = onPicture.left(); x <= onPicture.right(); ++x)
                    covered += image.pixelColor(x, y) != QColor(Qt::white);
            QVERIFY2(covered == 0,
                     qPrintable(QStringLiteral("printingTile%1 covers %2 drawn pixels")
                                    .arg(i + 5)
                                    .arg(covered)));
            int nearest = -1;
            qreal best = 1e9;
            for (int e = 0; e < 4; ++e) {
                const session::DiagramElement el = session::printingServicesElement(e);
                const qreal d = std::min(rectDistance(onPicture, el.drawing),
                                         rectDistance(onPicture, el.label));
                if (d < best) {
                    best = d;
                    nearest = e;
                }
            }
            QCOMPARE(nearest, i);
            QVERIFY(best <= 12);
        }
        // Every element and host is really drawn inside its place.
        for (int e = 0; e < 6; ++e) {
            const session::DiagramElement el =
                e < 4 ? session::printingServicesElement(e) : session::printingServicesHost(e - 4);
            for (const QRect& r : {el.drawing, el.label}) {
                int inked = 0;
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        inked += image.pixelColor(x, y) != QColor(Qt::white);
                QVERIFY2(inked > r.width() * r.height() / 10, qPrintable(QString::number(e)));
            }
        }
    }

    void dropsExchangeCaptions_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("direct");
        QTest::addColumn<Drops>("drops");
        QTest::addColumn<QList<int>>("from"); // the starting caption each tile ends with, 0 empty
        for (int which : {1, 2})
            for (bool direct : {false, true}) {
                const QByteArray w = QByteArray(which == 1 ? "printing" : "subnets") +
                                     (direct ? ", dropOn: " : ", drop event: ");
                QTest::newRow(w + "source onto empty target")
                    << which << direct << Drops{{5, 1}} << QList<int>{0, 2, 3, 4, 1, 0, 0, 0};
                QTest::newRow(w + "target onto target")
                    << which << direct << Drops{{5, 1}, {6, 2}, {5, 6}}
                    << QList<int>{0, 0, 3, 4, 2, 1, 0, 0};
                QTest::newRow(w + "target onto empty source")
                    << which << direct << Drops{{5, 1}, {6, 2}, {1, 6}}
                    << QList<int>{2, 0, 3, 4, 1, 0, 0, 0};
                QTest::newRow(w + "target back home") << which << direct << Drops{{5, 1}, {1, 5}}
                                                      << QList<int>{1, 2, 3, 4, 0, 0, 0, 0};
                QTest::newRow(w + "onto itself") << which << direct << Drops{{5, 1}, {5, 5}, {1, 1}}
                                                 << QList<int>{0, 2, 3, 4, 1, 0, 0, 0};
                QTest::newRow(w + "source onto source")
                    << which << direct << Drops{{1, 4}} << QList<int>{4, 2, 3, 1, 0, 0, 0, 0};
                QTest::newRow(w + "empty onto empty")
                    << which << direct << Drops{{5, 6}} << QList<int>{1, 2, 3, 4, 0, 0, 0, 0};
            }
    }
    void dropsExchangeCaptions()
    {
        QFETCH(int, which);
        QFETCH(bool, direct);
        QFETCH(Drops, drops);
        QFETCH(QList<int>, from);
        arrange(which, drops, direct);
        QStringList expected;
        for (int k : from)
            expected << (k == 0 ? QString() : start(which)[k - 1]);
        QCOMPARE(captions(which), expected);
        QCOMPARE(captions(3 - which), start(3 - which));
    }

    void dragOverAcceptance_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("payload");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("exchanges");
        const QString tileType = SimTile::mimeType();
        QTest::newRow("printing: its own tile") << 1 << tileType << "printingTile2" << true << true;
        QTest::newRow("printing: a tile of the other window")
            << 1 << tileType << "maskTile2" << false << false;
        QTest::newRow("printing: no such tile")
            << 1 << tileType << "printingTile9" << false << false;
        QTest::newRow("printing: plain text") << 1 << "text/plain"
                                              << "printingTile2" << false << false;
        QTest::newRow("subnets: its own tile") << 2 << tileType << "maskTile2" << true << true;
        QTest::newRow("subnets: a tile of the other window")
            << 2 << tileType << "printingTile2" << true << false;
        QTest::newRow("subnets: plain text") << 2 << "text/plain"
                                             << "maskTile2" << true << false;
    }
    void dragOverAcceptance()
    {
        QFETCH(int, which);
        QFETCH(QString, format);
        QFETCH(QString, payload);
        QFETCH(bool, accepted);
        QFETCH(bool, exchanges);
        QMimeData data;
        data.setData(format, payload.toUtf8());
        SimTile* target = tile(which, 5);
        QDragEnterEvent enter(QPoint(4, 4), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(!accepted);
        QCoreApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        // Only a target that took the drag sees it move and drop.
        if (accepted) {
            QDragMoveEvent move(QPoint(6, 6), Qt::MoveAction, &data, Qt::LeftButton,
                                Qt::NoModifier);
            move.ignore();
            QCoreApplication::sendEvent(target, &move);
            QVERIFY(move.isAccepted());
            QDropEvent drop(QPointF(6, 6), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &drop);
        }
        QCOMPARE(target->text(), exchanges ? start(which)[1] : QString());
        QCOMPARE(tile(which, 2)->text(), exchanges ? QString() : start(which)[1]);
        QCOMPARE(captions(3 - which), start(3 - which));
    }

    void resetRestoresTheStart()
    {
        arrange(1, kRight1 + Drops{{1, 5}});
        arrange(2, kRight2 + Drops{{6, 7}});
        QVERIFY(captions(1) != kStart1);
        QVERIFY(captions(2) != kStart2);
        sim1->resetTiles();
        QCOMPARE(captions(1), kStart1);
        QVERIFY(captions(2) != kStart2);
        sim2->resetTiles();
        QCOMPARE(captions(2), kStart2);
    }

    void examStartResetsTheWindows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("reset");
        QTest::newRow("practice exam") << "practiceExamA" << true;
        QTest::newRow("all questions") << "allQuestionsAction" << true;
        QTest::newRow("random exam") << "randomExamAction" << true;
        QTest::newRow("user exam") << "userExamAction" << false;
    }
    void examStartResetsTheWindows()
    {
        QFETCH(QString, action);
        QFETCH(bool, reset);
        ExamWindowFixture::addUserItems(2);
        arrange(1, kRight1);
        arrange(2, kRight2);
        const QStringList left1 = captions(1);
        const QStringList left2 = captions(2);
        f.answerNameDialog(true, 0, action == QLatin1String("randomExamAction") ? 2 : 0);
        f.form->findChild<QAction*>(action)->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(captions(1), reset ? kStart1 : left1);
        QCOMPARE(captions(2), reset ? kStart2 : left2);
    }

    void closingStoresTheOutcome_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<Drops>("drops");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<bool>("flagE");
        QTest::addColumn<bool>("flagF");
        QTest::addColumn<QString>("message");
        const QString saved = QStringLiteral("Your response has been saved.");
        const QString incomplete = QStringLiteral("Your response is not complete.");
        for (int which : {1, 2}) {
            const QByteArray w = which == 1 ? "printing: " : "subnets: ";
            const Drops right = which == 1 ? kRight1 : kRight2;
            const Drops exchanged = right + Drops{{5, 6}};
            const Drops threeOfFour = right.mid(0, 3);
            QTest::newRow(w + "all right, OK") << which << right << "OK" << false << true << saved;
            QTest::newRow(w + "two targets exchanged, OK")
                << which << exchanged << "OK" << true << false << saved;
            QTest::newRow(w + "one target empty, OK")
                << which << threeOfFour << "OK" << true << false << saved;
            QTest::newRow(w + "all targets empty, OK")
                << which << Drops{} << "OK" << true << false << saved;
            QTest::newRow(w + "all right, Cancel")
                << which << right << "Cancel" << false << false << incomplete;
            QTest::newRow(w + "all right, close box")
                << which << right << "close box" << false << false << incomplete;
            QTest::newRow(w + "all right, Escape")
                << which << right << "Escape" << false << false << incomplete;
            QTest::newRow(w + "all wrong, Cancel")
                << which << exchanged << "Cancel" << false << false << incomplete;
        }
    }
    void closingStoresTheOutcome()
    {
        QFETCH(int, which);
        QFETCH(Drops, drops);
        QFETCH(QString, closing);
        QFETCH(bool, flagE);
        QFETCH(bool, flagF);
        QFETCH(QString, message);
        start();
        const int item = which; // bank item 1 is SIM1, item 2 SIM2
        f.goToBankItem(item);
        // A stale outcome that the new one has to replace.
        f.form->examSession().setSimulationOutcome(true, !flagF, {});
        const store::ItemResponse& r = responseOf(item);

        QStringList arranged;
        f.services.expectModal(formName(which), [&](QWidget* w) {
            auto* d = static_cast<QDialog*>(w);
            arrange(which, drops);
            arranged = captions(which);
            closeWindow(d, closing);
            return d->result();
        });
        f.services.expectMessage(message, platform::Ok);
        clickSimButton();

        QCOMPARE(r.Choice[4], flagE);
        QCOMPARE(r.Choice[5], flagF);
        for (int i = 0; i < 4; ++i)
            QVERIFY(!r.Choice[size_t(i)]);
        QCOMPARE(r.Correct, flagF); // the key is f alone
        QCOMPARE(f.services.shownKinds.last(), platform::MsgKind::Information);
        QCOMPARE(captions(which), arranged);
        QCOMPARE(captions(3 - which), start(3 - which));
    }

    void itemsWithOneTagShareTheArrangement()
    {
        start();
        f.goToBankItem(1);
        f.services.expectModal(formName(1), [&](QWidget* w) {
            arrange(1, kRight1);
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("OK"));
            return static_cast<QDialog*>(w)->result();
        });
        f.services.expectMessage(QStringLiteral("Your response has been saved."), platform::Ok);
        clickSimButton();
        const QStringList right = captions(1);

        f.goToBankItem(3);
        QStringList seen;
        f.services.expectModal(formName(1), [&](QWidget* w) {
            seen = captions(1);
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("Cancel"));
            return static_cast<QDialog*>(w)->result();
        });
        f.services.expectMessage(QStringLiteral("Your response is not complete."), platform::Ok);
        clickSimButton();

        QCOMPARE(seen, right);
        QVERIFY(!responseOf(3).Choice[4] && !responseOf(3).Choice[5] && !responseOf(3).Correct);
        QVERIFY(!responseOf(1).Choice[4] && responseOf(1).Choice[5] && responseOf(1).Correct);
        // Back on item 1 the window still shows the shared arrangement.
        f.goToBankItem(1);
        f.services.expectModal(formName(1), [&](QWidget* w) {
            seen = captions(1);
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("OK"));
            return static_cast<QDialog*>(w)->result();
        });
        f.services.expectMessage(QStringLiteral("Your response has been saved."), platform::Ok);
        clickSimButton();
        QCOMPARE(seen, right);
        QVERIFY(responseOf(1).Correct);
    }

    void unknownTagOnlyRecomputesCorrectness_data()
    {
        QTest::addColumn<bool>("review");
        QTest::newRow("exam mode") << false;
        QTest::newRow("review mode") << true;
    }
    void unknownTagOnlyRecomputesCorrectness()
    {
        QFETCH(bool, review);
        start();
        f.goToBankItem(4);
        // Flag f, the key of every simulation item.
        f.form->examSession().setSimulationOutcome(true, true, {});
        if (review) {
            f.form->examSession().grade();
            f.form->viewAnswers();
            f.goToBankItem(4);
        }
        clickSimButton();
        QVERIFY(responseOf(4).Choice[5]);
        QVERIFY(responseOf(4).Correct);
        QVERIFY(f.services.shownMessages.isEmpty());
        QCOMPARE(captions(1), kStart1);
        QCOMPARE(captions(2), kStart2);
    }

    void reviewModeShowsAndStoresNothing_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("closing");
        QTest::newRow("printing, OK") << 1 << "OK";
        QTest::newRow("printing, Cancel") << 1 << "Cancel";
        QTest::newRow("subnets, OK") << 2 << "OK";
        QTest::newRow("subnets, close box") << 2 << "close box";
    }
    void reviewModeShowsAndStoresNothing()
    {
        QFETCH(int, which);
        QFETCH(QString, closing);
        start();
        const int item = which;
        f.goToBankItem(item);
        f.services.expectModal(formName(which), [&](QWidget* w) {
            arrange(which, which == 1 ? kRight1 : kRight2);
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("OK"));
            return static_cast<QDialog*>(w)->result();
        });
        f.services.expectMessage(QStringLiteral("Your response has been saved."), platform::Ok);
        clickSimButton();
        const QStringList left = captions(which);
        const store::ItemResponse before = responseOf(item);
        QVERIFY(before.Correct);

        f.form->examSession().grade();
        f.form->viewAnswers();
        f.goToBankItem(item);
        QStringList seen;
        f.services.expectModal(formName(which), [&](QWidget* w) {
            seen = captions(which);
            arrange(which, {{5, 6}});
            closeWindow(static_cast<QDialog*>(w), closing);
            return static_cast<QDialog*>(w)->result();
        });
        clickSimButton();

        QCOMPARE(seen, left);
        const store::ItemResponse& after = responseOf(item);
        QCOMPARE(after.Choice, before.Choice);
        QCOMPARE(after.Correct, before.Correct);
        QCOMPARE(f.services.shownMessages.size(), 1);
        // The tiles did move; only nothing was stored.
        QCOMPARE(captions(which)[4], left[5]);
    }
    // A result only ever lands on the item its window was opened for, and
    // never once the exam is graded.
    void outcomeStaysWithItsItem_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("another item became current") << "moved";
        QTest::newRow("the exam was graded") << "graded";
    }
    void outcomeStaysWithItsItem()
    {
        QFETCH(QString, meanwhile);
        start();
        f.goToBankItem(1);
        f.services.expectModal(formName(1), [&](QWidget* w) {
            arrange(1, kRight1);
            if (meanwhile == QLatin1String("moved")) {
                f.goToBankItem(5);
            } else {
                // Graded behind the window's back: the grade keys do nothing
                // while a window is open over the exam.
                testing::view(*f.form).m_gradeButton->click();
                f.form->examSession().grade();
            }
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("OK"));
            return static_cast<QDialog*>(w)->result();
        });
        clickSimButton();
        for (int id : {1, 5}) {
            const store::ItemResponse& r = responseOf(id);
            QVERIFY(!r.Choice[4] && !r.Choice[5]);
        }
        QVERIFY(
            !f.services.shownMessages.contains(QStringLiteral("Your response has been saved.")));
        // The grade question never came while the window was open.
        QCOMPARE(f.services.shownMessages.size(), 0);
    }

    // "Saved" is said once the outcome is in the kept exam; after a restart
    // the window shows the tiles as they were left, and Cancel then leaves
    // them so, as it would have in one run.
    void outcomeIsKeptBeforeItIsAnnouncedAndTilesComeBack()
    {
        start();
        f.goToBankItem(2);
        const int item = f.form->currentSet().recNo();
        f.services.expectModal(formName(2), [&](QWidget* w) {
            arrange(2, kRight2);
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("OK"));
            return static_cast<QDialog*>(w)->result();
        });
        bool keptWhenTold = false;
        f.services.onMessage = [&](const QString&) {
            store::Session s(QStringLiteral("Quizlark"));
            s.registerPassword(QString::fromLatin1(store::kTablePassword));
            store::SavedExamFile file(s);
            const std::optional<store::SavedExamState> kept = file.read();
            keptWhenTold = kept && kept->items[size_t(item - 1)].choice[5];
        };
        f.services.expectMessage(QStringLiteral("Your response has been saved."), platform::Ok);
        clickSimButton();
        QVERIFY(keptWhenTold);
        const QStringList left = captions(2);

        // The program is killed and started again.
        f.services.onMessage = nullptr;
        f.form.reset();
        sim1->resetTiles();
        sim2->resetTiles();
        f.create();
        f.form->setSimulationWindows(sim1.get(), sim2.get());
        f.form->setResetSimulations([this] {
            sim1->resetTiles();
            sim2->resetTiles();
        });
        f.services.expectMessage(
            QStringLiteral("Do you want to resume the interrupted exam \"Practice Exam A\"?\rItem "
                           "%1 of 5, 1:30:00 left, answered 1.\rNo discards it for good; Cancel "
                           "keeps it for later.")
                .arg(item),
            platform::Yes);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->currentSet().recNo(), item);
        QStringList seen;
        f.services.expectModal(formName(2), [&](QWidget* w) {
            seen = captions(2);
            closeWindow(static_cast<QDialog*>(w), QStringLiteral("Cancel"));
            return static_cast<QDialog*>(w)->result();
        });
        f.services.expectMessage(QStringLiteral("Your response is not complete."), platform::Ok);
        clickSimButton();
        QCOMPARE(seen, left);
        QCOMPARE(captions(2), left);
        QVERIFY(!responseOf(2).Correct);
    }
};

QTEST_MAIN(TestSimulations)
#include "test_simulations.moc"
