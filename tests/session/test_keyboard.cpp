// The exam by keyboard and for a screen reader: plain keys answer, paging
// keys move at once, Ctrl+G grades, and every control has a name.
#include "BankCompiler.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "PrintingSimulation.h"
#include "RunButton.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "SimTile.h"
#include "SubnetMaskSimulation.h"
#include "TabOrder.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

using session::ExamWindow;
using session::SimTile;

// A drop of tile `second` onto tile `first`, both numbered 1..8.
using Drops = QList<QPair<int, int>>;

namespace {

bank::SourceItem item(int id, bool multiple, QStringList choices, const QString& key)
{
    bank::SourceItem it;
    it.id = id;
    it.exam = 1;
    it.section = 2;
    it.multiple = multiple;
    it.text = QStringLiteral("Question %1: which is right?").arg(id);
    for (int i = 0; i < choices.size(); ++i)
        it.choices[size_t(i)] = choices[i];
    for (QChar c : key)
        it.key[size_t(c.unicode() - u'a')] = true;
    return it;
}

QString accessibleText(QObject* o, QAccessible::Text t)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
    return i ? i->text(t) : QStringLiteral("<no interface>");
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
    ExamWindowFixture f;

    void start()
    {
        f.answerNameDialog(true, 90);
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    }
    const store::ItemResponse& response()
    {
        return f.form->examSession().responses()[size_t(f.form->currentSet().recNo() - 1)];
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(f.form->windowHandle(), k, m);
    }

    // Moves the focus to tile n (1..8) with the given key, pressed until it
    // gets there; the focus must already be on a tile when the key is an
    // arrow.
    static void focusTile(QDialog& d, SimTile* const* tiles, int n, Qt::Key move)
    {
        for (int guard = 0; guard < 20 && QApplication::focusWidget() != tiles[n - 1]; ++guard)
            QTest::keyClick(d.windowHandle(), move);
        QCOMPARE(QApplication::focusWidget(), tiles[n - 1]);
    }
    // Takes a simulation window by keyboard alone; true when it was accepted
    // by Enter.
    template <class Sim> static void solveByKeys(Sim& d, const Drops& drops, Qt::Key move)
    {
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        // A window opened by a mouse user keeps its focus on OK.
        QCOMPARE(QApplication::focusWidget(), d.m_okButton);
        // Tab from OK reaches the tiles.
        focusTile(d, d.m_tiles, 1, Qt::Key_Tab);
        for (const auto& [target, source] : drops) {
            focusTile(d, d.m_tiles, source, move);
            QTest::keyClick(d.windowHandle(), Qt::Key_Space);
            QVERIFY(d.m_tiles[source - 1]->isPicked());
            focusTile(d, d.m_tiles, target, move);
            QTest::keyClick(d.windowHandle(), Qt::Key_Space);
            QVERIFY(!d.m_tiles[source - 1]->isPicked());
        }
        QTest::keyClick(d.windowHandle(), Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

private slots:
    void init()
    {
        f.dir = std::make_unique<testing::ProgramDir>();
        bank::writeBank({item(1, false, {"one", "two", "three", "four"}, "d"),
                         item(2, true, {"a", "b", "c", "d", "e"}, "ac"),
                         item(3, false, {"u", "v", "w", "x", "y", "z"}, "f")},
                        QStringLiteral("tcpip.DAT"));
        // Every test starts from the same options, with a calculator to
        // show whatever this machine has installed: this test program.
        f.services.store.values.clear();
        f.services.store.write(QStringLiteral("Options"), QStringLiteral("CalcPath"),
                               QCoreApplication::applicationFilePath());
        f.create();
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        f.tearDown();
    }

    void plainKeysAnswerInTheItemArea_data()
    {
        QTest::addColumn<int>("bankItem");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("single: letter") << 1 << QList<int>{Qt::Key_B} << "b";
        QTest::newRow("single: digit") << 1 << QList<int>{Qt::Key_4} << "d";
        QTest::newRow("single: last wins") << 1 << QList<int>{Qt::Key_A, Qt::Key_C} << "c";
        QTest::newRow("single: again keeps") << 1 << QList<int>{Qt::Key_C, Qt::Key_C} << "c";
        QTest::newRow("single: no such choice") << 1 << QList<int>{Qt::Key_E, Qt::Key_6} << "";
        QTest::newRow("single: f is a choice") << 3 << QList<int>{Qt::Key_F} << "f";
        QTest::newRow("multiple: toggles add") << 2 << QList<int>{Qt::Key_A, Qt::Key_3} << "ac";
        QTest::newRow("multiple: twice is off") << 2 << QList<int>{Qt::Key_A, Qt::Key_1} << "";
        QTest::newRow("multiple: no f") << 2 << QList<int>{Qt::Key_F, Qt::Key_E} << "e";
    }
    void plainKeysAnswerInTheItemArea()
    {
        QFETCH(int, bankItem);
        QFETCH(QList<int>, keys);
        QFETCH(QString, chosen);
        start();
        f.goToBankItem(bankItem);
        testing::view(*f.form).m_itemArea->setFocus();
        for (int k : keys)
            key(Qt::Key(k));
        QString got;
        for (int i = 0; i < 6; ++i)
            if (response().Choice[size_t(i)])
                got += QChar(u'a' + i);
        QCOMPARE(got, chosen);
        // Plain f is a choice; the File menu is not opened by it.
        QVERIFY(!f.form->menuBar()->activeAction());
    }

    // A letter answers wherever the focus is in the window: after Alt+M it
    // is on the mark box, and the letter typed next must not be lost.
    void plainKeysAnswerWhereverTheFocusIs_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("altM");
        QTest::newRow("after Alt+M") << "markBox" << true;
        QTest::newRow("on the mark box") << "markBox" << false;
        QTest::newRow("on Items Review") << "itemsReviewButton" << false;
        QTest::newRow("on Grade Now") << "gradeButton" << false;
    }
    void plainKeysAnswerWhereverTheFocusIs()
    {
        QFETCH(QString, focus);
        QFETCH(bool, altM);
        start();
        f.goToBankItem(1);
        f.form->findChild<QWidget*>(focus)->setFocus();
        if (altM) {
            key(Qt::Key_M, Qt::AltModifier);
            QVERIFY(response().Marked);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        key(Qt::Key_B);
        QVERIFY(response().Choice[1]);
        QVERIFY(testing::view(*f.form).m_choiceRadios[1]->isChecked());
        // The focus goes to the choice, which says what was chosen.
        QCOMPARE(QApplication::focusWidget(), testing::view(*f.form).m_choiceRadios[1]);
    }

    void plainKeysDoNothingWhileIdle()
    {
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        testing::view(*f.form).m_practiceExamButtons[0]->setFocus();
        // A letter is no exam's mnemonic without Alt.
        key(Qt::Key_A);
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
    }

    void altFStaysTheFileMenu()
    {
        start();
        f.goToBankItem(3);
        testing::view(*f.form).m_itemArea->setFocus();
        key(Qt::Key_F, Qt::AltModifier);
        QVERIFY(f.form->menuBar()->activeAction());
        QCOMPARE(f.form->menuBar()->activeAction()->text(), QStringLiteral("&File"));
        QVERIFY(!response().Choice[5]);
    }

    void pagingKeysMoveAtOnce_data()
    {
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("step");
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << 1;
        QTest::newRow("Ctrl+Right") << int(Qt::Key_Right) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << int(Qt::NoModifier) << -1;
        QTest::newRow("Ctrl+Left") << int(Qt::Key_Left) << int(Qt::ControlModifier) << -1;
    }
    void pagingKeysMoveAtOnce()
    {
        QFETCH(int, keyCode);
        QFETCH(int, modifiers);
        QFETCH(int, step);
        start();
        store::Table& t = f.form->currentSet();
        t.setRecNo(2);
        // From the button strip and from the item area alike (in this order:
        // the letter pressed after the move from the item area stays chosen).
        for (QWidget* focus : {static_cast<QWidget*>(testing::view(*f.form).m_noteButton),
                               static_cast<QWidget*>(testing::view(*f.form).m_itemArea)}) {
            t.setRecNo(2);
            // In the item area, the focus is on a choice, as Tab leaves it.
            if (focus == testing::view(*f.form).m_itemArea)
                focus = testing::view(*f.form).m_choiceRadios[0]->isVisible()
                            ? static_cast<QWidget*>(testing::view(*f.form).m_choiceRadios[0])
                            : testing::view(*f.form).m_choiceBoxes[0];
            focus->setFocus();
            key(Qt::Key(keyCode), Qt::KeyboardModifiers(modifiers));
            // No event loop turn: the move is not an animated press.
            QCOMPARE(t.recNo(), 2 + step);
            QCOMPARE(testing::view(*f.form).m_itemCounterLabel->text(),
                     QStringLiteral("Item %1 of 3").arg(2 + step));
            // From anywhere, a letter then answers the new item (the same
            // item twice over: a check box is toggled back).
            const bool multiple = testing::view(*f.form).m_choiceBoxes[0]->isVisible();
            const bool before = response().Choice[0];
            key(Qt::Key_A);
            QCOMPARE(response().Choice[0], multiple ? !before : true);
        }
        // At either end the key does nothing, as the disabled button would.
        const int end = step > 0 ? 3 : 1;
        t.setRecNo(end);
        key(Qt::Key(keyCode), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(t.recNo(), end);
    }

    void pagingKeysDoNothingWhileIdle()
    {
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        key(Qt::Key_PageDown);
        key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
    }

    void ctrlGGradesLikeTheButton()
    {
        start();
        QCOMPARE(testing::view(*f.form).m_gradeButton->text(), QStringLiteral("Grade Now"));
        QVERIFY(testing::view(*f.form).m_gradeButton->toolTip().contains(QStringLiteral("Ctrl+G")));
        // Cancel keeps the exam running; OK grades.
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
            platform::Cancel);
        key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(testing::view(*f.form).m_gradeButton->text(), QStringLiteral("Grade Now"));
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
            platform::Ok);
        key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(testing::view(*f.form).m_gradeButton->text(), QStringLiteral("Score Report"));
    }

    void simulationsByKeyboard_data()
    {
        QTest::addColumn<bool>("printing");
        QTest::addColumn<Drops>("drops");
        QTest::addColumn<int>("move");
        QTest::addColumn<bool>("right");
        const Drops right1 = {{5, 3}, {6, 1}, {7, 2}, {8, 4}};
        const Drops right2 = {{5, 4}, {6, 3}, {7, 2}, {8, 1}};
        QTest::newRow("printing, arrows") << true << right1 << int(Qt::Key_Right) << true;
        QTest::newRow("printing, arrows back") << true << right1 << int(Qt::Key_Left) << true;
        QTest::newRow("printing, wrong")
            << true << Drops{{5, 1}, {6, 2}} << int(Qt::Key_Down) << false;
        QTest::newRow("subnet masks, arrows") << false << right2 << int(Qt::Key_Down) << true;
        QTest::newRow("subnet masks, Tab") << false << Drops{{5, 4}} << int(Qt::Key_Tab) << false;
        QTest::newRow("subnet masks, wrong")
            << false << Drops{{5, 1}, {6, 2}, {7, 3}, {8, 4}} << int(Qt::Key_Up) << false;
    }
    void simulationsByKeyboard()
    {
        QFETCH(bool, printing);
        QFETCH(Drops, drops);
        QFETCH(int, move);
        QFETCH(bool, right);
        if (printing) {
            session::PrintingSimulation d;
            solveByKeys(d, drops, Qt::Key(move));
            QCOMPARE(d.targetsHoldKey(), right);
        } else {
            session::SubnetMaskSimulation d;
            solveByKeys(d, drops, Qt::Key(move));
            QCOMPARE(d.targetsHoldKey(), right);
        }
    }

    void escapePutsTheTileBackThenCloses()
    {
        session::PrintingSimulation d;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        focusTile(d, d.m_tiles, 1, Qt::Key_Tab);
        QTest::keyClick(d.windowHandle(), Qt::Key_Space);
        QVERIFY(d.m_tiles[0]->isPicked());
        QCOMPARE(accessibleText(d.m_tiles[0], QAccessible::Description),
                 QStringLiteral("Picked up; Escape puts it back"));
        focusTile(d, d.m_tiles, 5, Qt::Key_Right);
        QTest::keyClick(d.windowHandle(), Qt::Key_Escape);
        QVERIFY(!d.m_tiles[0]->isPicked());
        QVERIFY(d.isVisible());
        // Nothing moved.
        QCOMPARE(d.m_tiles[0]->text(), QStringLiteral("TCP/IP Printing Service"));
        QCOMPARE(d.m_tiles[4]->text(), QString());
        // With nothing picked up, Escape closes the window as before.
        QTest::keyClick(d.windowHandle(), Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        // Reopened, no tile is left picked up.
        d.show();
        for (SimTile* t : d.m_tiles)
            QVERIFY(!t->isPicked());
    }

    void simulationTilesHaveAccessibleNames()
    {
        session::PrintingSimulation p;
        QCOMPARE(accessibleText(p.m_tiles[1], QAccessible::Name),
                 QStringLiteral("Service tile 2: LPR"));
        QCOMPARE(accessibleText(p.m_tiles[4], QAccessible::Name), QStringLiteral("Place A, empty"));
        SimTile::swapCaptions(p.m_tiles[4], p.m_tiles[1]);
        QCOMPARE(accessibleText(p.m_tiles[4], QAccessible::Name), QStringLiteral("Place A: LPR"));
        QCOMPARE(accessibleText(p.m_tiles[1], QAccessible::Name),
                 QStringLiteral("Service tile 2, empty"));
        p.resetTiles();
        QCOMPARE(accessibleText(p.m_tiles[4], QAccessible::Name), QStringLiteral("Place A, empty"));
        session::SubnetMaskSimulation m;
        QCOMPARE(accessibleText(m.m_tiles[0], QAccessible::Name),
                 QStringLiteral("Mask tile 1: 255.255.255.252"));
        QVERIFY(
            accessibleText(m.m_tiles[7], QAccessible::Name).endsWith(QStringLiteral(", empty")));
        QVERIFY(accessibleText(m.m_tiles[7], QAccessible::Name).startsWith(QStringLiteral("Row ")));
    }

    void itemCounterTextIsOutlined()
    {
        start();
        widgets::ShadowLabel* counter = testing::view(*f.form).m_itemCounterLabel;
        // Without smoothing every text pixel is pure white, so each of its
        // neighbours must be text or outline, never the band's pale blue.
        QFont font = counter->font();
        font.setStyleStrategy(QFont::NoAntialias);
        counter->setFont(font);
        const QImage img =
            testing::view(*f.form).m_headerPanel->grab(counter->geometry()).toImage();
        const QRgb band =
            testing::view(*f.form).m_headerPanel->palette().color(QPalette::Window).rgb();
        int white = 0;
        for (int y = 1; y < img.height() - 1; ++y)
            for (int x = 1; x < img.width() - 1; ++x) {
                if (img.pixel(x, y) != qRgb(255, 255, 255))
                    continue;
                ++white;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        QVERIFY2((img.pixel(x + dx, y + dy) & 0xffffff) != (band & 0xffffff),
                                 qPrintable(QStringLiteral("bare edge at %1,%2").arg(x).arg(y)));
            }
        QVERIFY(white > 20);
    }

    void examTabOrderIsReadingOrder()
    {
        start();
        // The multiple-response item: each of its boxes takes the focus.
        f.goToBankItem(2);
        testing::view(*f.form).m_markBox->setFocus();
        QStringList order = {"markBox",      "itemArea",     "calculatorButton", "choiceBoxes1",
                             "choiceBoxes2", "choiceBoxes3", "choiceBoxes4",     "choiceBoxes5"};
        // The order of the exam is random: a paging button at its end is off.
        for (QPushButton* b :
             {testing::view(*f.form).m_previousButton, testing::view(*f.form).m_nextButton})
            if (b->isEnabled())
                order << b->objectName();
        order << "itemsReviewButton"
              << "noteButton"
              << "gradeButton"
              << "exitExamButton";
        testing::checkTabOrder(f.form.get(), order);
    }

    // A shown key (review, or Learn Now) is seen as a highlight and said in
    // words; the next item says nothing of it.
    void correctChoicesAreSaidToBeCorrect()
    {
        f.setOptions([](options::OptionValues& v) { v.showLearnButton = true; });
        start();
        f.goToBankItem(2);
        ExamWindow& w = *f.form;
        testing::view(w).m_learnButton->click();
        for (int i = 0; i < 5; ++i) {
            const bool isKey = i == 0 || i == 2;
            const QString text = QString(QChar(u'a' + i));
            QCOMPARE(accessibleText(testing::view(w).m_choiceBoxes[i], QAccessible::Description),
                     isKey ? text + QStringLiteral(", correct answer") : text);
            QCOMPARE(accessibleText(testing::view(w).m_choiceLabels[i], QAccessible::Description),
                     isKey ? QStringLiteral("correct answer") : QString());
        }
        f.goToBankItem(1);
        QCOMPARE(accessibleText(testing::view(w).m_choiceRadios[3], QAccessible::Description),
                 QStringLiteral("four"));
        QCOMPARE(accessibleText(testing::view(w).m_choiceRadios[0], QAccessible::Description),
                 QStringLiteral("one"));
    }

    void examControlsHaveAccessibleNames()
    {
        start();
        f.goToBankItem(1);
        ExamWindow& w = *f.form;
        QCOMPARE(accessibleText(testing::view(w).m_choiceRadios[1], QAccessible::Name),
                 QStringLiteral("Choice b"));
        QCOMPARE(accessibleText(testing::view(w).m_choiceRadios[1], QAccessible::Description),
                 QStringLiteral("two"));
        f.goToBankItem(2);
        QCOMPARE(accessibleText(testing::view(w).m_choiceBoxes[2], QAccessible::Name),
                 QStringLiteral("Choice c"));
        QCOMPARE(accessibleText(testing::view(w).m_choiceBoxes[2], QAccessible::Description),
                 QStringLiteral("c"));
        // A choice's text label is read by its text, line by line too.
        QCOMPARE(accessibleText(testing::view(w).m_choiceLabels[2], QAccessible::Name),
                 QStringLiteral("c"));
        // Labels read their own text; the description says what they are.
        QCOMPARE(accessibleText(testing::view(w).m_itemCounterLabel, QAccessible::Name),
                 testing::view(w).m_itemCounterLabel->text());
        QCOMPARE(accessibleText(testing::view(w).m_itemCounterLabel, QAccessible::Description),
                 QStringLiteral("Item counter"));
        QCOMPARE(accessibleText(testing::view(w).m_timeLabel, QAccessible::Name),
                 QStringLiteral("Time left: 90 minutes"));
        QCOMPARE(accessibleText(testing::view(w).m_calculatorButton, QAccessible::Name),
                 QStringLiteral("Calculator"));
        QCOMPARE(accessibleText(testing::view(w).m_practiceExamButtons[6], QAccessible::Name),
                 QStringLiteral("Practice Exam G"));
        // Every button of the window has a name a screen reader can say
        // (Qt's own menu bar extension aside).
        for (QAbstractButton* b : w.findChildren<QAbstractButton*>())
            if (!b->objectName().startsWith(QLatin1String("qt_")))
                QVERIFY2(!accessibleText(b, QAccessible::Name).isEmpty(),
                         qPrintable(b->objectName()));
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
