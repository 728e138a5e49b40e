// The exhibit windows open centred on the screen at every showing, however
// the last one was moved before it was closed, and a picture taller than
// the screen keeps the window's top on it.
#include "Exhibit1Window.h"
#include "Exhibit2Window.h"
#include "RealServices.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

namespace {

void soon(std::function<void()> f)
{
    QTimer::singleShot(0, qApp, std::move(f));
}

} // namespace

class TestExhibitPlace : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString picture(const char* name, QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        const QString file = m_dir.filePath(QString::fromLatin1(name));
        image.save(file);
        return file;
    }

private slots:
    void exhibitOpensCentredAgain_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QSize>("second"); // the next item's picture
        QTest::newRow("exhibit 1") << 1 << QSize(200, 150);
        QTest::newRow("exhibit 2") << 2 << QSize(200, 150);
        QTest::newRow("exhibit 2, taller than the screen") << 2 << QSize(300, 4000);
    }
    void exhibitOpensCentredAgain()
    {
        QFETCH(int, window);
        QFETCH(QSize, second);
        platform::RealServices services(QStringLiteral("test"));
        session::Exhibit1Window one;
        session::Exhibit2Window two;
        QDialog* shown = window == 1 ? static_cast<QDialog*>(&one) : &two;
        auto load = [&](const QString& file) {
            if (window == 1)
                one.showPicture(file);
            else
                two.showPicture(file);
        };
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();

        load(picture("first.png", QSize(120, 90)));
        soon([&] {
            // Dragged aside by the user, as the window system reports it.
            shown->windowHandle()->setPosition(area.left() + 3, area.top() + 5);
            QCoreApplication::processEvents();
            shown->reject();
        });
        services.runModal(shown);

        load(picture("second.png", second));
        QRect frame;
        soon([&] {
            frame = shown->frameGeometry();
            shown->reject();
        });
        services.runModal(shown);
        QVERIFY(frame.isValid());
        if (frame.height() <= area.height()) {
            QVERIFY2(
                std::abs(frame.center().x() - area.center().x()) <= 1,
                qPrintable(QStringLiteral("%1 %2").arg(frame.center().x()).arg(area.center().x())));
            QVERIFY(std::abs(frame.center().y() - area.center().y()) <= 1);
        } else {
            QCOMPARE(frame.top(), area.top());
            QVERIFY(std::abs(frame.center().x() - area.center().x()) <= 1);
        }
    }
};

QTEST_MAIN(TestExhibitPlace)
#include "test_exhibit_place.moc"
