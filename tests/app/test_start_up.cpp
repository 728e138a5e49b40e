// The start of an installed program before its windows: a damaged copy of
// the bank is mended and the user told once, a data folder that is a link
// stops the start with a message, and a named pipe in place of a table file
// holds neither the start nor the exit.
#include "AppOwner.h"
#include "Program.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "StartWindow.h"
#include "Table.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestStartUp : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_program;
    std::unique_ptr<QTemporaryDir> m_home;
    testing::ScriptedServices m_services;

    QString dataDir() const { return m_home->filePath(QStringLiteral(".local/share/quizlark")); }
    QString dataBank() const { return dataDir() + QStringLiteral("/tcpip.DAT"); }

private slots:
    void init()
    {
        m_program = std::make_unique<testing::ProgramDir>();
        m_home = std::make_unique<QTemporaryDir>();
        m_services.reset();
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_program.reset();
        m_home.reset();
    }

    void aDamagedCopyIsMendedAndSaidOnce()
    {
        QVERIFY(app::readyDataFolder(m_services, m_program->path(), dataDir(), nullptr));
        QVERIFY(m_services.shownMessages.isEmpty());
        {
            QFile copy(dataBank());
            QVERIFY(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
            copy.write(QByteArray(8192, 'x'));
        }
        m_services.expectMessage(
            QStringLiteral("Your copy of the question bank \"%1\" was damaged and has been "
                           "restored from the installed bank; none of your notes in it could be "
                           "read. The damaged file was kept as \"%1.damaged\".")
                .arg(dataBank()),
            platform::Ok);
        QVERIFY(app::readyDataFolder(m_services, m_program->path(), dataDir(), nullptr));
        QCOMPARE(m_services.shownKinds, QList<platform::MsgKind>({platform::MsgKind::Warning}));
        store::Session session(QString::fromLatin1(store::kSessionName));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table bank(session, dataBank(), store::bankSchema());
        bank.open();
        QVERIFY(bank.recordCount() > 0);
        // Mended once: the next start says nothing.
        QVERIFY(app::readyDataFolder(m_services, m_program->path(), dataDir(), nullptr));
    }

    void aLinkedDataFolderStopsTheStart()
    {
        const QString elsewhere = m_home->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QDir().mkpath(QFileInfo(dataDir()).absolutePath()));
        QVERIFY(QFile::link(elsewhere, dataDir()));
        m_services.expectMessage(QStringLiteral("\"%1\" is a link to another place. Nothing in "
                                                "the data folder is written through a link: "
                                                "remove the link and start the program again.")
                                     .arg(dataDir()),
                                 platform::Ok);
        QVERIFY(!app::readyDataFolder(m_services, m_program->path(), dataDir(), nullptr));
        QCOMPARE(m_services.shownKinds, QList<platform::MsgKind>({platform::MsgKind::Error}));
        QVERIFY(QDir(elsewhere).isEmpty());
    }

    // The keys of the table files are derived on a worker while the start
    // window waits; a pipe in place of one held that worker, and the exit
    // waited for it for good.
    void aPipeInPlaceOfATableFileHoldsNoExit()
    {
        const QString pipe = m_program->file(QString::fromLatin1(store::kUserSetFile));
        QVERIFY(QFile::remove(pipe));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        {
            app::AppOwner owner(m_services, m_program->path());
            owner.startWindow()->show();
        }
        const bool finished = QThreadPool::globalInstance()->waitForDone(60000);
        if (!finished) {
            // Lets the held worker go, so that this run can end.
            const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            ::close(writer);
        }
        QVERIFY2(finished, "the key derivation waits on the named pipe");
    }
};

QTEST_MAIN(TestStartUp)
#include "test_start_up.moc"
