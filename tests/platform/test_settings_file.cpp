// The settings file as a user may edit it by hand: every value is read as
// the one text it is, commas included, and what the program writes is read
// back unchanged.
#include "RealServices.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void handEditedValueIsReadWhole_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("comma in a folder") << "CalcPath=/opt/tools,v2/calc"
                                           << "/opt/tools,v2/calc";
        QTest::newRow("comma and blank") << "CalcPath=/home/ann/my calc, old/calc"
                                         << "/home/ann/my calc, old/calc";
        QTest::newRow("two commas") << "CalcPath = /a,b,c/calc "
                                    << "/a,b,c/calc";
        QTest::newRow("quoted") << "CalcPath=\"/opt/a,b/calc\""
                                << "/opt/a,b/calc";
        QTest::newRow("plain") << "CalcPath=/usr/bin/xcalc"
                               << "/usr/bin/xcalc";
    }
    void handEditedValueIsReadWhole()
    {
        QFETCH(QString, line);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
            f.write("[Other]\nCalcPath=/elsewhere,x\n[Options]\nTimerOn=1\n");
            f.write(line.toUtf8() + "\nShowCalcBtn=1\n");
        }
        const platform::IniStore store(file);
        QVERIFY(store.contains(QStringLiteral("Options"), QStringLiteral("CalcPath")));
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("CalcPath")), value);
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("ShowCalcBtn")),
                 QStringLiteral("1"));
    }

    void writtenValueWithCommasReadsBack()
    {
        QTemporaryDir dir;
        platform::IniStore store(dir.filePath(QStringLiteral("settings.ini")));
        const QString path = QStringLiteral("/opt/a, b,c/calc");
        store.write(QStringLiteral("Options"), QStringLiteral("CalcPath"), path);
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("CalcPath")), path);
    }
};

QTEST_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
