// The name dialog and a double click on the button that opens it: the
// second click lands on the dialog, on OK at some window sizes, and must not
// start the exam unseen. A click of the dialog's own counts.
#include "NameDialog.h"
#include "ScriptedServices.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleHints>
#include <QtTest>

namespace {

void send(QWidget* target, QEvent::Type type, quint64 at)
{
    const QPointF local(10, 10);
    QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    event.setTimestamp(at);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestNameDialogClicks : public QObject {
    Q_OBJECT

private slots:
    void clickBegunBeforeTheDialogShowedIsIgnored_data()
    {
        const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
        QTest::addColumn<int>("after");        // ms from the opening press to the next
        QTest::addColumn<bool>("doubleClick"); // the window system saw a double click
        QTest::addColumn<bool>("accepted");
        QTest::newRow("second click of a double click") << 150 << true << false;
        QTest::newRow("second press, no double-click event") << 150 << false << false;
        QTest::newRow("at the end of the double-click time") << interval << false << false;
        QTest::newRow("a click of its own") << interval + 1 << false << true;
        QTest::newRow("a click much later") << interval * 10 << false << true;
    }
    void clickBegunBeforeTheDialogShowedIsIgnored()
    {
        QFETCH(int, after);
        QFETCH(bool, doubleClick);
        QFETCH(bool, accepted);
        testing::ScriptedServices services;
        QPushButton opener(QStringLiteral("&A"));
        opener.show();
        session::NameDialog dialog(services);
        QObject::connect(&opener, &QPushButton::clicked, &dialog, &QDialog::show);
        const quint64 t = 500000;
        send(&opener, QEvent::MouseButtonPress, t);
        send(&opener, QEvent::MouseButtonRelease, t + 60);
        QVERIFY(dialog.isVisible());

        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
        QSignalSpy clicked(ok, &QPushButton::clicked);
        send(ok, QEvent::MouseButtonPress, t + after);
        if (doubleClick)
            send(ok, QEvent::MouseButtonDblClick, t + after);
        send(ok, QEvent::MouseButtonRelease, t + after + 50);
        QCOMPARE(clicked.size(), accepted ? 1 : 0);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.isVisible(), !accepted);

        // Whatever was swallowed, the next click of the dialog's own counts.
        if (!accepted) {
            send(ok, QEvent::MouseButtonPress, t + after + 5000);
            send(ok, QEvent::MouseButtonRelease, t + after + 5050);
            QCOMPARE(clicked.size(), 1);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
    }
};

QTEST_MAIN(TestNameDialogClicks)
#include "test_name_dialog_clicks.moc"
