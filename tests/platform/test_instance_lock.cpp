// The single-instance lock: its name, taking it, and taking over a lock
// left behind by a killed process.
#include "InstanceLock.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

class TestInstanceLock : public QObject {
    Q_OBJECT
private slots:
    void defaultTitleFollowsTheProgramFileName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("title");
        QTest::newRow("lower case") << "/usr/bin/quizlark" << "quizlark";
        QTest::newRow("mixed case") << "/opt/QuizLark" << "Quizlark";
        QTest::newRow("upper case with digits") << "TCPIP40" << "Tcpip40";
        QTest::newRow("extension dropped") << "/opt/x/TCPIP40.EXE" << "Tcpip40";
        QTest::newRow("only the last extension") << "quiz.lark.bin" << "quiz.lark";
    }
    void defaultTitleFollowsTheProgramFileName()
    {
        QFETCH(QString, program);
        QFETCH(QString, title);
        QCOMPARE(platform::defaultTitle(program), title);
        QCOMPARE(QStringLiteral("PREVINST:") + platform::defaultTitle(program),
                 QStringLiteral("PREVINST:") + title);
    }

    void secondHolderIsNotFirst()
    {
        platform::InstanceLock first(QStringLiteral("PREVINST:test-a"));
        QVERIFY(first.isFirst());
        platform::InstanceLock second(QStringLiteral("PREVINST:test-a"));
        QVERIFY(!second.isFirst());
        platform::InstanceLock other(QStringLiteral("PREVINST:test-b"));
        QVERIFY(other.isFirst());
    }

    void lockIsFreeAgainAfterItsOwnerEnds()
    {
        {
            platform::InstanceLock first(QStringLiteral("PREVINST:test-c"));
            QVERIFY(first.isFirst());
        }
        platform::InstanceLock again(QStringLiteral("PREVINST:test-c"));
        QVERIFY(again.isFirst());
    }

    void staleLockOfADeadProcessIsTakenOver()
    {
        QString path;
        {
            platform::InstanceLock probe(QStringLiteral("PREVINST:test-d"));
            path = probe.lockFilePath();
        }
        // A finished process's id, written as a killed owner would leave it.
        QProcess p;
        p.start(QStringLiteral("true"));
        QVERIFY(p.waitForFinished());
        const qint64 deadPid = p.processId() ? p.processId() : 999999;
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray::number(deadPid ? deadPid : 999999) + "\nquizlark\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
        f.close();
        platform::InstanceLock taker(QStringLiteral("PREVINST:test-d"));
        QVERIFY(taker.isFirst());
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "test_instance_lock.moc"
