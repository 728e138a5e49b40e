// Where an installed program keeps the user's tables, how its copy of the
// shipped bank follows a newer install without losing notes, how a damaged
// copy is mended, that nothing there is written through a link, and the mode
// of the files that hold the user's data.
#include "DataFolder.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include "Tamper.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using store::Table;

namespace {

struct Item {
    int id;
    QString text;
};

// A record whose every field holds a value of its type.
void appendFilled(Table& t, int id, const QString& text)
{
    t.append();
    for (const platform::ColumnDef& c : t.schema()) {
        switch (c.type) {
        case platform::ColumnType::Integer:
            t.setValue(c.name, 1);
            break;
        case platform::ColumnType::Boolean:
            t.setValue(c.name, false);
            break;
        default:
            t.setValue(c.name, QString());
            break;
        }
    }
    if (id != 0)
        t.setValue(QStringLiteral("Q_ID"), id);
    else
        t.setValue(QStringLiteral("Q_ID"), QVariant());
    t.setValue(QStringLiteral("Q_TEXT"), text);
    t.setValue(QStringLiteral("Q1"), QStringLiteral("yes"));
    t.setValue(QStringLiteral("Q2"), QStringLiteral("no"));
    t.setValue(QStringLiteral("A1"), true);
    t.post();
}

// A shipped bank of those items, as the compiler writes it.
void writeShippedBank(const QString& dir, const QVector<Item>& items)
{
    store::Session session(QStringLiteral("Quizlark"));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    const QString path = QDir(dir).filePath(QString::fromLatin1(store::kBankFile));
    QFile::remove(path);
    Table t(session, path, store::bankSchema(), true);
    t.open();
    t.beginBatch();
    for (const Item& it : items)
        appendFilled(t, it.id, it.text);
    t.commitBatch();
    t.close();
}

// Q_ID -> "text|note" of every record of a bank file.
QMap<qint64, QString> contents(const QString& bankPath)
{
    store::Session session(QStringLiteral("Quizlark"));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    Table t(session, bankPath, store::bankSchema());
    t.open();
    QMap<qint64, QString> out;
    for (t.first(); !t.eof(); t.next())
        out.insert(t.asInteger(QStringLiteral("Q_ID")), t.asString(QStringLiteral("Q_TEXT")) +
                                                            QLatin1Char('|') +
                                                            t.asString(QStringLiteral("U_MEMO")));
    t.close();
    return out;
}

void saveNote(const QString& bankPath, qint64 id, const QString& note)
{
    store::Session session(QStringLiteral("Quizlark"));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    Table t(session, bankPath, store::bankSchema());
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        if (t.asInteger(QStringLiteral("Q_ID")) == id) {
            t.edit();
            t.setValue(QStringLiteral("U_MEMO"), note);
            t.post();
        }
    }
    t.close();
}

// A shipped bank of n items whose texts fill a page or so each, so that the
// items lie on many pages and damage to one page spares most of them.
void writeLargeShippedBank(const QString& dir, int n)
{
    QVector<Item> items;
    for (int i = 1; i <= n; ++i)
        items.push_back({i, QStringLiteral("item %1 ").arg(i) + QString(1500, QLatin1Char('x'))});
    writeShippedBank(dir, items);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Counts the opens of one file while it lives.
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

// What a rebuild of the bank's copy shows.
class RecordingProgress final : public store::BuildProgress {
public:
    void beginBuild() override { steps << QStringLiteral("begin"); }
    void setBuildMaximum(int maximum) override { this->maximum = maximum; }
    void setBuildPosition(int position) override
    {
        QVERIFY(position <= maximum);
        last = position;
    }
    void endBuild() override { steps << QStringLiteral("end"); }
    QStringList steps;
    int maximum = 0;
    int last = -1;
};

bool privateToOwner(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return (st.st_mode & 0777) == 0600;
}

} // namespace

class TestDataFolder : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_program;
    QString m_data;

    QString dataBank() const
    {
        return QDir(m_data).filePath(QString::fromLatin1(store::kBankFile));
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_program = m_tmp->filePath(QStringLiteral("usr/share/quizlark"));
        m_data = m_tmp->filePath(QStringLiteral("home/.local/share/quizlark"));
        QVERIFY(QDir().mkpath(m_program + QStringLiteral("/pictures")));
        QFile pic(m_program + QStringLiteral("/pictures/net.png"));
        QVERIFY(pic.open(QIODevice::WriteOnly));
        pic.write("first");
        pic.close();
        writeShippedBank(
            m_program,
            {{1, QStringLiteral("one")}, {2, QStringLiteral("two")}, {3, QStringLiteral("three")}});
    }
    void cleanup() { m_tmp.reset(); }

    void theProgramFolderIsUsedWhileWritable_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("usesProgramFolder");
        QTest::newRow("build tree or portable copy") << true << true;
        QTest::newRow("installed, read-only") << false << false;
    }
    void theProgramFolderIsUsedWhileWritable()
    {
        QFETCH(bool, writable);
        QFETCH(bool, usesProgramFolder);
        QCOMPARE(store::chooseDataFolder(m_program, writable, m_data),
                 usesProgramFolder ? m_program : m_data);
    }

    void aReadOnlyFolderIsNotWritable()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser writes into read-only folders");
        QVERIFY(store::folderIsWritable(m_program));
        QFile::setPermissions(m_program, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!store::folderIsWritable(m_program));
        QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void theFirstRunCopiesTheBankPicturesAndMakesAUserSet()
    {
        store::prepareUserData(m_program, m_data);
        QCOMPARE(contents(dataBank()), contents(m_program + QStringLiteral("/tcpip.DAT")));
        QVERIFY(QFileInfo::exists(m_data + QStringLiteral("/pictures/net.png")));
        const QString userSet = QDir(m_data).filePath(QString::fromLatin1(store::kUserSetFile));
        QVERIFY(QFileInfo::exists(userSet));
        QVERIFY(privateToOwner(dataBank()));
        QVERIFY(privateToOwner(userSet));
        const QString history = QDir(m_data).filePath(QString::fromLatin1(store::kHistoryFile));
        QVERIFY(QFileInfo::exists(history));
        QVERIFY(privateToOwner(history));
        QVERIFY(!QFileInfo::exists(dataBank() + QStringLiteral(".new")));
    }

    void notesSurviveRunsAndANewerInstall()
    {
        store::prepareUserData(m_program, m_data);
        saveNote(dataBank(), 2, QStringLiteral("mine"));
        saveNote(dataBank(), 3, QStringLiteral("gone with its item"));

        // An unchanged install leaves the user's copy as it is.
        store::prepareUserData(m_program, m_data);
        QCOMPARE(contents(dataBank()).value(2), QStringLiteral("two|mine"));

        // A newer bank rewords item 2, drops item 3, and comes
        // with a changed picture; its file is older than the user's copy, as
        // a package's files are.
        writeShippedBank(m_program,
                         {{1, QStringLiteral("one")}, {2, QStringLiteral("two, reworded")}});
        QFile pic(m_program + QStringLiteral("/pictures/net.png"));
        QVERIFY(pic.open(QIODevice::WriteOnly));
        pic.write("second");
        pic.close();
        QFile shipped(m_program + QStringLiteral("/tcpip.DAT"));
        QVERIFY(shipped.open(QIODevice::ReadWrite));
        QVERIFY(shipped.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)),
                                    QFileDevice::FileModificationTime));
        shipped.close();

        store::prepareUserData(m_program, m_data);
        const QMap<qint64, QString> expected{{1, QStringLiteral("one|")},
                                             {2, QStringLiteral("two, reworded|mine")}};
        QCOMPARE(contents(dataBank()), expected);
        QVERIFY(privateToOwner(dataBank()));
        QFile copied(m_data + QStringLiteral("/pictures/net.png"));
        QVERIFY(copied.open(QIODevice::ReadOnly));
        QCOMPARE(copied.readAll(), QByteArray("second"));
        QVERIFY(!QFileInfo::exists(dataBank() + QStringLiteral(".new")));
        // The shipped bank itself is never written.
        QCOMPARE(contents(m_program + QStringLiteral("/tcpip.DAT")).value(2),
                 QStringLiteral("two, reworded|"));
    }

    void aFailedRebuildKeepsTheUsersCopy()
    {
        store::prepareUserData(m_program, m_data);
        saveNote(dataBank(), 2, QStringLiteral("mine"));
        // A damaged new install: the copy must not be replaced by it.
        QFile shipped(m_program + QStringLiteral("/tcpip.DAT"));
        QVERIFY(shipped.open(QIODevice::WriteOnly | QIODevice::Truncate));
        shipped.write(QByteArray(4096, 'x'));
        shipped.close();
        QVERIFY_THROWS_EXCEPTION(platform::TableError, store::prepareUserData(m_program, m_data));
        QCOMPARE(contents(dataBank()).value(2), QStringLiteral("two|mine"));
        QVERIFY(!QFileInfo::exists(dataBank() + QStringLiteral(".new")));
    }

    // A damaged copy of the bank used to stay as it was (an unchanged
    // install) or stop the program (a newer one): now it is rebuilt from the
    // installed bank with the notes that can still be read, the damaged file
    // is kept, and the user is told.
    void aDamagedCopyIsRestoredWithTheNotesThatCanBeRead_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("newerInstall");
        for (const bool newer : {false, true}) {
            const char* install = newer ? "newer install" : "same install";
            QTest::addRow("one page, %s", install) << "page" << newer;
            QTest::addRow("whole file, %s", install) << "garbage" << newer;
            QTest::addRow("no items, %s", install) << "no rows" << newer;
        }
        QTest::addRow("no bytes, same install") << "empty" << false;
    }
    void aDamagedCopyIsRestoredWithTheNotesThatCanBeRead()
    {
        QFETCH(QString, damage);
        QFETCH(bool, newerInstall);
        constexpr int kItems = 40;
        writeLargeShippedBank(m_program, kItems);
        store::prepareUserData(m_program, m_data);
        {
            store::Session session(QStringLiteral("Quizlark"));
            session.registerPassword(QString::fromLatin1(store::kTablePassword));
            QHash<qint64, QString> notes;
            for (int i = 1; i <= kItems; ++i)
                notes.insert(i, QStringLiteral("note %1").arg(i));
            store::writeNotes(session, dataBank(), notes);
        }
        QByteArray bytes = bytesOf(dataBank());
        const int pages = int(bytes.size() / 4096);
        QVERIFY(pages > 10);
        if (damage == QLatin1String("page")) {
            // A leaf near the end: the items before it are on other pages.
            bytes[(pages - 2) * 4096 + 2000] = char(bytes[(pages - 2) * 4096 + 2000] ^ 0x20);
            writeBytes(dataBank(), bytes);
        } else if (damage == QLatin1String("garbage")) {
            writeBytes(dataBank(), QByteArray(bytes.size(), 'x'));
        } else if (damage == QLatin1String("no rows")) {
            QCOMPARE(testing::tamper(dataBank(), QStringLiteral("DELETE FROM items")), QString());
        } else {
            writeBytes(dataBank(), QByteArray());
        }
        const QByteArray damaged = bytesOf(dataBank());
        if (newerInstall)
            writeLargeShippedBank(m_program, kItems + 1);

        QString notice;
        try {
            notice = store::prepareUserData(m_program, m_data);
        } catch (const platform::TableError& e) {
            QFAIL(qPrintable(e.text()));
        }

        const QMap<qint64, QString> now = contents(dataBank());
        QCOMPARE(now.size(), kItems + (newerInstall ? 1 : 0));
        int kept = 0;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const QString note = it.value().section(QLatin1Char('|'), 1);
            if (!note.isEmpty()) {
                QCOMPARE(note, QStringLiteral("note %1").arg(it.key()));
                ++kept;
            }
        }
        if (damage == QLatin1String("page"))
            QVERIFY2(kept > kItems / 2 && kept < kItems, qPrintable(QString::number(kept)));
        else
            QCOMPARE(kept, 0);
        const QString keptAs = dataBank() + QStringLiteral(".damaged");
        QCOMPARE(bytesOf(keptAs), damaged);
        const QString carried =
            kept == 0 ? QStringLiteral("none of your notes in it could be read")
                      : QStringLiteral("%1 notes in it could still be read and were kept").arg(kept);
        QCOMPARE(notice, QStringLiteral("Your copy of the question bank \"%1\" was damaged and has "
                                        "been restored from the installed bank; %2. The damaged "
                                        "file was kept as \"%3\".")
                             .arg(dataBank(), carried, keptAs));
        QVERIFY(privateToOwner(dataBank()));
        QVERIFY(!QFileInfo::exists(dataBank() + QStringLiteral(".new")));

        // Mended: the next start has nothing to say.
        QCOMPARE(store::prepareUserData(m_program, m_data), QString());
    }

    void aBankWithoutItemsIsDamaged_data()
    {
        QTest::addColumn<bool>("bank");
        QTest::newRow("bank") << true;
        QTest::newRow("user set") << false;
    }
    void aBankWithoutItemsIsDamaged()
    {
        QFETCH(bool, bank);
        const QString path = m_tmp->filePath(QStringLiteral("empty.DAT"));
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        const store::TableSchema& schema = bank ? store::bankSchema() : store::userSetSchema();
        {
            // A new file holds no items yet, and that is no damage.
            Table t(session, path, schema, true);
            t.open();
            appendFilled(t, 1, QStringLiteral("one"));
            t.close();
        }
        QCOMPARE(testing::tamper(path, QStringLiteral("DELETE FROM items")), QString());
        Table t(session, path, schema);
        if (!bank) {
            t.open();
            QCOMPARE(t.recordCount(), 0);
            return;
        }
        try {
            t.open();
            QFAIL("a bank without items opened");
        } catch (const platform::TableError& e) {
            QCOMPARE(e.code(), int(platform::TableError::Corrupt));
            QCOMPARE(e.text(), QStringLiteral("The table file \"empty.DAT\" is damaged: it holds no "
                                              "items. It was left as it is."));
        }
    }

    // A damage check is no reason to read the shipped bank at every start:
    // it is hashed again only when its file has changed.
    void theShippedBankIsHashedOnlyWhenItsFileChanged()
    {
        store::prepareUserData(m_program, m_data);
        saveNote(dataBank(), 2, QStringLiteral("mine"));
        const QString shipped = m_program + QStringLiteral("/tcpip.DAT");
        {
            OpenCounter counter(shipped);
            QVERIFY(counter.valid());
            QCOMPARE(store::prepareUserData(m_program, m_data), QString());
            QCOMPARE(counter.opens(), 0);
        }
        // Touched, not changed: read once, and the copy stays as it is.
        const QByteArray copyBefore = bytesOf(dataBank());
        QFile f(shipped);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate(2021, 5, 1), QTime(0, 0)),
                              QFileDevice::FileModificationTime));
        f.close();
        {
            OpenCounter counter(shipped);
            store::prepareUserData(m_program, m_data);
            QCOMPARE(counter.opens(), 1);
        }
        QCOMPARE(bytesOf(dataBank()), copyBefore);
        {
            OpenCounter counter(shipped);
            store::prepareUserData(m_program, m_data);
            QCOMPARE(counter.opens(), 0);
        }
        // A stamp from before the state was kept with it: hashed once more.
        writeBytes(m_data + QStringLiteral("/tcpip.DAT.source"),
                   bytesOf(m_data + QStringLiteral("/tcpip.DAT.source")).split('\n').first() +
                       '\n');
        {
            OpenCounter counter(shipped);
            store::prepareUserData(m_program, m_data);
            QCOMPARE(counter.opens(), 1);
        }
        QCOMPARE(contents(dataBank()).value(2), QStringLiteral("two|mine"));
    }

    void anUpgradeShowsItsProgress()
    {
        RecordingProgress first;
        store::prepareUserData(m_program, m_data, &first);
        QCOMPARE(first.steps, QStringList({"begin", "end"}));
        saveNote(dataBank(), 1, QStringLiteral("a"));
        saveNote(dataBank(), 3, QStringLiteral("c"));

        RecordingProgress unchanged;
        store::prepareUserData(m_program, m_data, &unchanged);
        QCOMPARE(unchanged.steps, QStringList());

        writeShippedBank(m_program, {{1, QStringLiteral("one")},
                                     {2, QStringLiteral("two")},
                                     {3, QStringLiteral("three, new")}});
        RecordingProgress upgrade;
        store::prepareUserData(m_program, m_data, &upgrade);
        QCOMPARE(upgrade.steps, QStringList({"begin", "end"}));
        QCOMPARE(upgrade.maximum, 3); // the copy and two notes
        QCOMPARE(upgrade.last, 3);
        QCOMPARE(contents(dataBank()).value(3), QStringLiteral("three, new|c"));
    }

    // A link in the data folder, or the folder itself a link, made the start
    // write wherever it pointed: the folder's target was made 0700 and the
    // stamp's target overwritten.
    void nothingIsWrittenThroughALinkInTheDataFolder_data()
    {
        QTest::addColumn<QString>("linked");
        QTest::newRow("data folder") << "";
        QTest::newRow("stamp") << "tcpip.DAT.source";
        QTest::newRow("pictures") << "pictures";
    }
    void nothingIsWrittenThroughALinkInTheDataFolder()
    {
        QFETCH(QString, linked);
        const QString target = m_tmp->filePath(QStringLiteral("elsewhere"));
        const bool folder = linked != QLatin1String("tcpip.DAT.source");
        if (folder) {
            QVERIFY(QDir().mkpath(target));
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadGroup |
                                                      QFile::ExeGroup | QFile::ReadOther |
                                                      QFile::ExeOther));
        } else {
            writeBytes(target, "not yours\n");
        }
        const QString link = linked.isEmpty() ? m_data : QDir(m_data).filePath(linked);
        QVERIFY(QDir().mkpath(QFileInfo(link).absolutePath()));
        QVERIFY(QFile::link(target, link));

        try {
            store::prepareUserData(m_program, m_data);
            QFAIL("the start wrote through a link");
        } catch (const platform::TableError& e) {
            QCOMPARE(e.text(), QStringLiteral("\"%1\" is a link to another place. Nothing in the "
                                              "data folder is written through a link: remove the "
                                              "link and start the program again.")
                                   .arg(link));
        }
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        if (folder) {
            QCOMPARE(int(st.st_mode & 0777), 0755);
            QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList());
        } else {
            QCOMPARE(bytesOf(target), QByteArray("not yours\n"));
        }
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void newTableFilesAreReadableByTheOwnerOnly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("schema");
        QTest::newRow("current set") << QString::fromLatin1(store::kCurrentSetFile) << 0;
        QTest::newRow("user set") << QString::fromLatin1(store::kUserSetFile) << 1;
    }
    void newTableFilesAreReadableByTheOwnerOnly()
    {
        QFETCH(QString, file);
        QFETCH(int, schema);
        // A permissive umask must not leak the user's data to others.
        const mode_t old = ::umask(0);
        {
            store::Session session(QStringLiteral("Quizlark"));
            session.registerPassword(QString::fromLatin1(store::kTablePassword));
            Table t(session, QDir(m_data).filePath(file),
                    schema == 0 ? store::currentSetSchema() : store::userSetSchema(), true);
            QDir().mkpath(m_data);
            t.open();
            appendFilled(t, 0, QStringLiteral("x"));
            t.close();
        }
        ::umask(old);
        QVERIFY(privateToOwner(QDir(m_data).filePath(file)));
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "test_data_folder.moc"
