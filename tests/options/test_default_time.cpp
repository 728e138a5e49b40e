// The default exam time as the user types it into the options dialog: the
// whole range is taken, a value beyond it goes to the nearest bound and the
// field shows it, and what was saved is read back at the next start.
#include "Options.h"
#include "OptionsDialog.h"
#include "ScriptedServices.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

class TestDefaultTime : public QObject {
    Q_OBJECT

private slots:
    void typedTimeIsTakenWithinOneTo9000_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("taken");
        QTest::newRow("above the exam dialog's 600") << "700" << 700;
        QTest::newRow("the highest") << "9000" << 9000;
        QTest::newRow("above the highest") << "9500" << 9000;
        QTest::newRow("far above") << "123456" << 9000;
        QTest::newRow("0 is the lowest") << "0" << 1;
        QTest::newRow("within") << "45" << 45;
    }
    void typedTimeIsTakenWithinOneTo9000()
    {
        QFETCH(QString, typed);
        QFETCH(int, taken);
        testing::ScriptedServices services;
        options::OptionsDialog dialog(services);
        options::OptionValues values;
        values.defaultTime = 90;
        dialog.open(values);
        dialog.show();
        auto* box = dialog.findChild<QSpinBox*>(QStringLiteral("defaultTimeBox"));
        QVERIFY(box);
        QCOMPARE(box->maximum(), 9000);
        auto* field = box->findChild<QLineEdit*>();
        field->selectAll();
        QTest::keyClicks(field, typed);
        // Every keystroke was taken: nothing of the number is lost on the way.
        QCOMPARE(field->text(), typed);
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QCOMPARE(values.defaultTime, taken);
        QCOMPARE(box->value(), taken);
        QCOMPARE(field->text(), QString::number(taken));
        QCOMPARE(services.store.read(QStringLiteral("Options"), QStringLiteral("DefaultTime")),
                 QString::number(taken));

        // The next start reads the same time back.
        options::OptionValues next;
        options::loadOptions(services.store, next, QStringLiteral("/nowhere"),
                             [](const QString&) { return false; });
        QCOMPARE(next.defaultTime, taken);
    }

    void storedTimeOutOfRangeShowsAsTheNearestBound_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("shown");
        QTest::newRow("601") << 601 << 601;
        QTest::newRow("9001") << 9001 << 9000;
        QTest::newRow("0") << 0 << 1;
    }
    void storedTimeOutOfRangeShowsAsTheNearestBound()
    {
        QFETCH(int, time);
        QFETCH(int, shown);
        testing::ScriptedServices services;
        options::OptionsDialog dialog(services);
        options::OptionValues values;
        values.defaultTime = time;
        dialog.open(values);
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("defaultTimeBox"))->value(), shown);
    }
};

QTEST_MAIN(TestDefaultTime)
#include "test_default_time.moc"
