// The real services' message boxes and modal runs, driven through the real
// windows from the event loop they run.
#include "RealServices.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using platform::MsgButton;

namespace {

// Runs f on the next turn of whatever event loop is running then.
void soon(std::function<void()> f)
{
    QTimer::singleShot(0, qApp, std::move(f));
}

} // namespace

class TestRealServices : public QObject {
    Q_OBJECT
    std::unique_ptr<platform::RealServices> m_services;

private slots:
    void init() { m_services = std::make_unique<platform::RealServices>(QStringLiteral("test")); }

    void messageClosedWithoutAButton_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("escape"); // else the close box
        QTest::addColumn<int>("answer");
        const int expiry = platform::No | platform::Ok | platform::EscapeAnswersOk;
        QTest::newRow("No and OK, Escape answers OK") << expiry << true << int(platform::Ok);
        QTest::newRow("No and OK, close box answers OK") << expiry << false << int(platform::Ok);
        QTest::newRow("Yes and No, Escape answers No")
            << (platform::Yes | platform::No) << true << int(platform::No);
        QTest::newRow("OK and Cancel, close box answers Cancel")
            << (platform::Ok | platform::Cancel) << false << int(platform::Cancel);
    }
    void messageClosedWithoutAButton()
    {
        QFETCH(int, buttons);
        QFETCH(bool, escape);
        QFETCH(int, answer);
        bool seen = false;
        soon([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            seen = box != nullptr;
            if (!box)
                return;
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        const MsgButton got =
            m_services->message(nullptr, platform::MsgKind::Information,
                                QStringLiteral("Closed without a button"), buttons);
        QVERIFY(seen);
        QCOMPARE(int(got), answer);
    }

    // The engine's account of a fault stays behind "Show Details": the box
    // shows the short text only.
    void detailsAreBehindTheButton()
    {
        QString text, details;
        soon([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            text = box->text();
            details = box->detailedText();
            box->close();
        });
        m_services->detailedMessage(nullptr, platform::MsgKind::Error,
                                    QStringLiteral("The table file is damaged.\rThe file is /x."),
                                    QStringLiteral("Page 5: one\nPage 6: two"), platform::Ok);
        QCOMPARE(text, QStringLiteral("The table file is damaged.\nThe file is /x."));
        QCOMPARE(details, QStringLiteral("Page 5: one\nPage 6: two"));
    }

    void progressTellsOfCancel()
    {
        QWidget owner;
        owner.show();
        std::unique_ptr<platform::Progress> progress =
            m_services->showProgress(&owner, QStringLiteral("Importing 10 questions..."), 10);
        QVERIFY(progress);
        QVERIFY(progress->advance(1));
        auto* dialog = owner.findChild<QProgressDialog*>(QStringLiteral("progressDialog"));
        QVERIFY(dialog);
        QCOMPARE(dialog->labelText(), QStringLiteral("Importing 10 questions..."));
        dialog->cancel();
        QVERIFY(!progress->advance(2));
        progress.reset();
        QVERIFY(!owner.findChild<QProgressDialog*>());
    }

    // Minimising a window run modally hides it from the screen, but the run
    // goes on: restoring brings it back, still modal, and only closing ends
    // the run.
    void minimisingNeverEndsTheRun()
    {
        QMainWindow window;
        window.resize(400, 300);
        bool runningWhenRestored = false;
        bool returned = false;
        soon([&] {
            window.setWindowState(Qt::WindowMinimized);
            soon([&] {
                runningWhenRestored = !returned;
                window.setWindowState(Qt::WindowNoState);
                soon([&] {
                    window.setProperty("modalResult", 7);
                    window.close();
                });
            });
        });
        const int result = m_services->runModal(&window);
        returned = true;
        QVERIFY(runningWhenRestored);
        QCOMPARE(result, 7);
    }

    // A window that the window manager has moved comes back at that place
    // the next time it is shown, not centred anew.
    void windowShownAgainComesBackWhereItWas()
    {
        QDialog dialog;
        dialog.resize(300, 200);
        QPoint centred, placed;
        soon([&] {
            centred = dialog.pos();
            // A move of the native window, as a user's drag delivers it: the
            // widget learns of it from the window system, not from move().
            dialog.windowHandle()->setPosition(37, 41);
            QCoreApplication::processEvents();
            placed = dialog.pos();
            dialog.reject();
        });
        m_services->runModal(&dialog);
        QVERIFY(placed != centred);
        QPoint again;
        soon([&] {
            again = dialog.pos();
            dialog.reject();
        });
        m_services->runModal(&dialog);
        QCOMPARE(again, placed);
    }
};

QTEST_MAIN(TestRealServices)
#include "test_real_services.moc"
