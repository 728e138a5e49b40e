// Loading the options: defaults, unreadable values, and fonts that are
// changed rather than replaced.
#include "Options.h"
#include "RealServices.h"
#include "ScriptedServices.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using options::OptionValues;

class TestLoadOptions : public QObject {
    Q_OBJECT

    static OptionValues load(const QMap<QString, QString>& stored, bool boldBefore = false,
                             const QStringList& installed = {})
    {
        testing::MemoryStore store;
        for (auto it = stored.begin(); it != stored.end(); ++it)
            store.write(QStringLiteral("Options"), it.key(), it.value());
        OptionValues v;
        const QFont design(QStringLiteral("MS Sans Serif"));
        v.questionFont.font = design;
        v.answersFont.font = design;
        v.explanationFont.font = design;
        v.questionFont.font.setBold(boldBefore);
        options::loadOptions(store, v, QStringLiteral("/usr/bin"),
                             [&](const QString& p) { return installed.contains(p); });
        return v;
    }

private slots:
    void initTestCase()
    {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
    }

    void emptyStoreGivesTheDefaults()
    {
        const OptionValues v = load({});
        for (const options::FontOption* f : {&v.questionFont, &v.answersFont, &v.explanationFont}) {
            QCOMPARE(f->font.family(), QStringLiteral("MS Sans Serif"));
            QCOMPARE(QFontInfo(f->font).family(), QStringLiteral("Liberation Sans"));
            QCOMPARE(f->font.pointSize(), 10);
            QVERIFY(!f->font.bold() && !f->font.italic());
        }
        QCOMPARE(v.questionFont.colour, QColor(Qt::black));
        QCOMPARE(v.answersFont.colour, QColor(Qt::black));
        QCOMPARE(v.explanationFont.colour, QColor(0, 0, 128));
        QVERIFY(!v.showLearnButton);
        QVERIFY(v.showCalcButton);
        QVERIFY(v.timerOn);
        QCOMPARE(v.defaultTime, 90);
        QCOMPARE(v.calcPath, QStringLiteral("/usr/bin/xcalc"));
        QVERIFY(!v.highContrast);
    }

    void storedValuesAreReadByTheRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("size as stored") << "QFontSize"
                                        << "14"
                                        << "qsize"
                                        << "14";
        QTest::newRow("size garbage") << "QFontSize"
                                      << "abc"
                                      << "qsize"
                                      << "10";
        QTest::newRow("size empty") << "AFontSize"
                                    << ""
                                    << "asize"
                                    << "10";
        QTest::newRow("learn 2 is yes") << "ShowLearnBtn"
                                        << "2"
                                        << "learn"
                                        << "1";
        QTest::newRow("learn 1") << "ShowLearnBtn"
                                 << "1"
                                 << "learn"
                                 << "1";
        QTest::newRow("learn garbage is the default") << "ShowLearnBtn"
                                                      << "yes"
                                                      << "learn"
                                                      << "0";
        QTest::newRow("timer 0") << "TimerOn"
                                 << "0"
                                 << "timer"
                                 << "0";
        QTest::newRow("timer garbage") << "TimerOn"
                                       << "off"
                                       << "timer"
                                       << "1";
        QTest::newRow("calc -1 is yes") << "ShowCalcBtn"
                                        << "-1"
                                        << "calc"
                                        << "1";
        QTest::newRow("default time") << "DefaultTime"
                                      << "45"
                                      << "time"
                                      << "45";
        QTest::newRow("default time negative") << "DefaultTime"
                                               << "-90"
                                               << "time"
                                               << "90";
        QTest::newRow("default time 0") << "DefaultTime"
                                        << "0"
                                        << "time"
                                        << "90";
        QTest::newRow("default time 1") << "DefaultTime"
                                        << "1"
                                        << "time"
                                        << "1";
        QTest::newRow("default time 600") << "DefaultTime"
                                          << "600"
                                          << "time"
                                          << "600";
        QTest::newRow("default time 601") << "DefaultTime"
                                          << "601"
                                          << "time"
                                          << "601";
        QTest::newRow("default time 9000") << "DefaultTime"
                                           << "9000"
                                           << "time"
                                           << "9000";
        QTest::newRow("default time 9001") << "DefaultTime"
                                           << "9001"
                                           << "time"
                                           << "90";
        QTest::newRow("default time int max") << "DefaultTime"
                                              << "2147483647"
                                              << "time"
                                              << "90";
        QTest::newRow("default time beyond int") << "DefaultTime"
                                                 << "2147483648"
                                                 << "time"
                                                 << "90";
        QTest::newRow("size 6") << "QFontSize"
                                << "6"
                                << "qsize"
                                << "6";
        QTest::newRow("size 5") << "QFontSize"
                                << "5"
                                << "qsize"
                                << "10";
        QTest::newRow("size 72") << "AFontSize"
                                 << "72"
                                 << "asize"
                                 << "72";
        QTest::newRow("size 73") << "AFontSize"
                                 << "73"
                                 << "asize"
                                 << "10";
        QTest::newRow("size 1000") << "QFontSize"
                                   << "1000"
                                   << "qsize"
                                   << "10";
        QTest::newRow("size int max") << "AFontSize"
                                      << "2147483647"
                                      << "asize"
                                      << "10";
        QTest::newRow("size 0") << "QFontSize"
                                << "0"
                                << "qsize"
                                << "10";
        QTest::newRow("exp size negative") << "EXPFontSize"
                                           << "-12"
                                           << "expsize"
                                           << "10";
        QTest::newRow("colour white") << "QFontColor"
                                      << "16777215"
                                      << "qcolour"
                                      << "#ffffff";
        QTest::newRow("colour above white") << "QFontColor"
                                            << "16777216"
                                            << "qcolour"
                                            << "#000000";
        QTest::newRow("colour negative") << "EXPFontColor"
                                         << "-1"
                                         << "expcolour"
                                         << "#000080";
        QTest::newRow("default time 7.5") << "DefaultTime"
                                          << "7.5"
                                          << "time"
                                          << "90";
        QTest::newRow("colour number") << "EXPFontColor"
                                       << "255"
                                       << "expcolour"
                                       << "#ff0000";
        QTest::newRow("colour number blue") << "QFontColor"
                                            << "16711680"
                                            << "qcolour"
                                            << "#0000ff";
        QTest::newRow("colour garbage") << "EXPFontColor"
                                        << "navy"
                                        << "expcolour"
                                        << "#000080";
        QTest::newRow("name") << "AFontName"
                              << "Verdana"
                              << "aname"
                              << "Verdana";
        QTest::newRow("empty name keeps the name") << "AFontName"
                                                   << ""
                                                   << "aname"
                                                   << "MS Sans Serif";
        QTest::newRow("italic") << "EXPFontItalic"
                                << "1"
                                << "expitalic"
                                << "1";
        QTest::newRow("calc path") << "CalcPath"
                                   << "/opt/calc"
                                   << "calcpath"
                                   << "/opt/calc";
        QTest::newRow("high contrast") << "HighContrast"
                                       << "1"
                                       << "contrast"
                                       << "1";
        QTest::newRow("high contrast garbage") << "HighContrast"
                                               << "yes"
                                               << "contrast"
                                               << "0";
    }
    void storedValuesAreReadByTheRules()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const OptionValues v = load({{key, stored}});
        const QMap<QString, QString> got = {
            {"qsize", QString::number(v.questionFont.font.pointSize())},
            {"asize", QString::number(v.answersFont.font.pointSize())},
            {"expsize", QString::number(v.explanationFont.font.pointSize())},
            {"learn", QString::number(v.showLearnButton)},
            {"timer", QString::number(v.timerOn)},
            {"calc", QString::number(v.showCalcButton)},
            {"time", QString::number(v.defaultTime)},
            {"expcolour", v.explanationFont.colour.name()},
            {"qcolour", v.questionFont.colour.name()},
            {"aname", v.answersFont.font.family()},
            {"expitalic", QString::number(v.explanationFont.font.italic())},
            {"calcpath", v.calcPath},
            {"contrast", QString::number(v.highContrast)}};
        QCOMPARE(got.value(field), expected);
    }

    void storedNoNeverRemovesAStyle()
    {
        const OptionValues v = load({{"QFontBold", "0"}}, true);
        QVERIFY(v.questionFont.font.bold());
        const OptionValues w = load({{"QFontBold", "1"}}, false);
        QVERIFY(w.questionFont.font.bold());
    }

    void defaultCalculatorIsTheFirstInstalled_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList() << "/usr/bin/xcalc";
        QTest::newRow("gnome") << QStringList({"/usr/bin/kcalc", "/usr/bin/gnome-calculator"})
                               << "/usr/bin/gnome-calculator";
        QTest::newRow("galculator")
            << QStringList({"/usr/bin/galculator", "/usr/bin/xcalc"}) << "/usr/bin/galculator";
    }
    void defaultCalculatorIsTheFirstInstalled()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        QCOMPARE(load({}, false, installed).calcPath, expected);
    }

    void aDamagedOldFileIsNoFailureToSave()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Options\nQFontName=\"Arial\n\x01\x02=\x03\n[\n=\n");
        }
        {
            QSettings probe(file, QSettings::IniFormat);
            probe.allKeys();
            QCOMPARE(probe.status(), QSettings::FormatError);
        }
        platform::IniStore store(file);
        options::OptionValues values;
        values.questionFont.font = QFont(QStringLiteral("Liberation Serif"));
        values.defaultTime = 77;
        values.calcPath = QStringLiteral("/usr/bin/xcalc");
        try {
            options::saveOptions(store, values);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("QFontName")),
                 QStringLiteral("Liberation Serif"));
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("DefaultTime")),
                 QStringLiteral("77"));
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("CalcPath")),
                 QStringLiteral("/usr/bin/xcalc"));
    }

    void aStoreThatCannotBeWrittenStillFails()
    {
        QTemporaryDir dir;
        // A folder where the file should be: nothing can be written there.
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        QVERIFY(QDir().mkpath(file));
        platform::IniStore store(file);
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            store.write(QStringLiteral("Options"), QStringLiteral("TimerOn"), QStringLiteral("1")));
    }
};

QTEST_MAIN(TestLoadOptions)
#include "test_load_options.moc"
