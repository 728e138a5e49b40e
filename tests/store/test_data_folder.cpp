// Where an installed program keeps the user's tables, how its copy of the
// shipped bank follows a newer install without losing notes, and the mode of
// the files that hold the user's data.
#include "DataFolder.h"
#include "History.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

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
    for (const Item& it : items)
        appendFilled(t, it.id, it.text);
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
