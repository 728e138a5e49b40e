// Controls bound to a table field: typing starts editing, what was typed
// reaches the record before any post, and the three-state check box.
#include "BoundControls.h"
#include "DataSource.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"

#include <QToolButton>
#include <QtTest>

using store::TableState;

class TestBoundControls : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<store::Table> m_table;
    std::unique_ptr<store::DataSource> m_ds;

    void addItem(const QString& text)
    {
        m_table->append();
        m_table->setValue(QStringLiteral("Q_TEXT"), text);
        m_table->setValue(QStringLiteral("Q1"), text + QStringLiteral(" a"));
        m_table->post();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        m_table = std::make_unique<store::Table>(*m_session, QStringLiteral("tcpipusr.DAT"),
                                                 store::userSetSchema());
        m_ds = std::make_unique<store::DataSource>(m_table.get());
        m_table->open();
    }
    void cleanup()
    {
        m_ds.reset();
        m_table.reset();
        m_session.reset();
        m_dir.reset();
    }

    void typingStartsEditAndIsPostedByLeavingEditing_data()
    {
        QTest::addColumn<bool>("memo");
        QTest::addColumn<bool>("emptyTable");
        QTest::newRow("edit on a record") << false << false;
        QTest::newRow("memo on a record") << true << false;
        QTest::newRow("edit on an empty table inserts") << false << true;
        QTest::newRow("memo on an empty table inserts") << true << true;
    }
    void typingStartsEditAndIsPostedByLeavingEditing()
    {
        QFETCH(bool, memo);
        QFETCH(bool, emptyTable);
        if (!emptyTable) {
            addItem(QStringLiteral("first"));
            addItem(QStringLiteral("second"));
            m_table->first();
        }
        widgets::DBEdit edit;
        widgets::DBMemo text;
        edit.bind(m_ds.get(), QStringLiteral("Q1"));
        text.bind(m_ds.get(), QStringLiteral("Q_TEXT"));
        if (!emptyTable) {
            QCOMPARE(edit.text(), QStringLiteral("first a"));
            QCOMPARE(text.toPlainText(), QStringLiteral("first"));
        }
        QWidget* target = memo ? static_cast<QWidget*>(&text) : &edit;
        target->show();
        QVERIFY(QTest::qWaitForWindowExposed(target));
        if (memo)
            text.moveCursor(QTextCursor::End);
        else
            edit.end(false);
        QTest::keyClicks(target, QStringLiteral("X"));
        QCOMPARE(m_table->state(), emptyTable ? TableState::Insert : TableState::Edit);
        // Leaving editing (here by a move) posts what was typed.
        if (emptyTable)
            m_table->post();
        else
            m_table->next();
        m_table->close();
        m_table->open();
        const QString field = memo ? QStringLiteral("Q_TEXT") : QStringLiteral("Q1");
        QCOMPARE(m_table->asString(field),
                 emptyTable ? QStringLiteral("X")
                            : (memo ? QStringLiteral("firstX") : QStringLiteral("first aX")));
    }

    void checkBoxHasThreeLooksButNeverReturnsToNull()
    {
        m_table->append(); // A1 is null on a new record
        widgets::DBCheckBox box(QStringLiteral("A1"));
        box.bind(m_ds.get(), QStringLiteral("A1"));
        QCOMPARE(box.checkState(), Qt::PartiallyChecked);
        box.show();
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(box.checkState(), Qt::Checked);
        QCOMPARE(m_table->asBoolean(QStringLiteral("A1")), true);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(box.checkState(), Qt::Unchecked);
        QCOMPARE(m_table->isNull(QStringLiteral("A1")), false);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(box.checkState(), Qt::Checked);
        m_table->post();
        QCOMPARE(m_table->asBoolean(QStringLiteral("A1")), true);
        m_table->append();
        QCOMPARE(box.checkState(), Qt::PartiallyChecked);
    }

    void navigatorMovesAndKnowsTheEnds()
    {
        for (const char* s : {"one", "two", "three"})
            addItem(QLatin1String(s));
        m_table->first();
        widgets::DBNavigator nav;
        nav.setHints({QStringLiteral("First item"), QStringLiteral("Prior item"),
                      QStringLiteral("Next item"), QStringLiteral("Last item")});
        nav.setDataSource(m_ds.get());
        QCOMPARE(nav.button(2)->toolTip(), QStringLiteral("Next item"));
        QVERIFY(!nav.button(0)->isEnabled());
        QVERIFY(nav.button(2)->isEnabled());
        nav.button(3)->click();
        QCOMPARE(m_table->recNo(), 3);
        QVERIFY(!nav.button(3)->isEnabled());
        QVERIFY(nav.button(1)->isEnabled());
        nav.button(1)->click();
        QCOMPARE(m_table->recNo(), 2);
    }

    void recordListShowsAndSelects()
    {
        for (const char* s : {"one", "two", "three"})
            addItem(QLatin1String(s));
        m_table->first();
        widgets::DBList list;
        list.bind(m_ds.get(), QStringLiteral("Q_TEXT"));
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.item(1)->text(), QStringLiteral("two"));
        QCOMPARE(list.currentRow(), 0);
        list.setCurrentRow(2);
        QCOMPARE(m_table->asString(QStringLiteral("Q_TEXT")), QStringLiteral("three"));
        m_table->prior();
        QCOMPARE(list.currentRow(), 1);
        addItem(QStringLiteral("four"));
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.currentRow(), 3);
    }
};

QTEST_MAIN(TestBoundControls)
#include "test_bound_controls.moc"
