// The settings file as a user may edit it by hand: every value is read as
// the one text it is, commas included, and what the program writes is read
// back unchanged. The file is read once, not once a key.
#include "RealServices.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// How often a file is opened between two looks.
class OpenCounter {
public:
    explicit OpenCounter(const QString& path)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          // The closes keep two opens in a row from merging into one event.
          m_watch(::inotify_add_watch(m_fd, QFile::encodeName(path).constData(),
                                      IN_OPEN | IN_CLOSE))
    {
    }
    ~OpenCounter() { ::close(m_fd); }
    bool valid() const { return m_fd >= 0 && m_watch >= 0; }
    int opens() const
    {
        int count = 0;
        alignas(inotify_event) char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                count += (event->mask & IN_OPEN) ? 1 : 0;
                p += sizeof(inotify_event) + event->len;
            }
        return count;
    }

private:
    int m_fd;
    int m_watch;
};

} // namespace

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

    // Each key used to read the whole file anew (a value with a comma
    // always did): a settings file of 10 MB held the start for 50 s.
    void theFileIsReadOnceUntilItChanges()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        QByteArray text = "[Options]\n";
        for (int i = 0; i < 20; ++i)
            text += "Key" + QByteArray::number(i) + "=/opt/a," + QByteArray::number(i) + '\n';
        text += "[Elsewhere]\nLong=" + QByteArray(100000, 'y') + '\n';
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        const platform::IniStore store(file);
        {
            OpenCounter counter(file);
            QVERIFY(counter.valid());
            for (int i = 0; i < 20; ++i) {
                const QString key = QStringLiteral("Key%1").arg(i);
                QVERIFY(store.contains(QStringLiteral("Options"), key));
                QCOMPARE(store.read(QStringLiteral("Options"), key),
                         QStringLiteral("/opt/a,%1").arg(i));
            }
            QVERIFY(!store.contains(QStringLiteral("Options"), QStringLiteral("Missing")));
            // Once by the settings class, once for the texts with commas.
            const int opens = counter.opens();
            QVERIFY2(opens <= 2, qPrintable(QStringLiteral("opened %1 times").arg(opens)));
        }
        // Changed by hand between two reads: the new value is read.
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("[Options]\nKey3=three\n");
        }
        QCOMPARE(store.read(QStringLiteral("Options"), QStringLiteral("Key3")),
                 QStringLiteral("three"));
        QVERIFY(!store.contains(QStringLiteral("Options"), QStringLiteral("Key4")));
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
