// The calculator button when its program is not there: a click says which
// file it cannot find, however the button came to be shown.
#include "ExamWindowFixture.h"
#include "OptionsDialog.h"
#include "RunButton.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class TestCalculatorButton : public QObject {
    Q_OBJECT
    ExamWindowFixture h;

private slots:
    void init()
    {
        h.windowSize = QSize(1024, 700);
        h.setUp();
    }
    void cleanup()
    {
        QVERIFY2(h.done(), qPrintable(h.problems()));
        h.tearDown();
    }

    // Missing at start, the button is hidden; switched on in the options
    // dialog, it shows at once and a click names the missing file.
    void missingProgramIsNamedOnClick_data()
    {
        QTest::addColumn<bool>("pathInOptions"); // else stored before the start
        QTest::newRow("missing at start, shown in the options") << false;
        QTest::newRow("missing path typed in the options") << true;
    }
    void missingProgramIsNamedOnClick()
    {
        QFETCH(bool, pathInOptions);
        const QString missing = h.dir->file(QStringLiteral("no-such-calc"));
        const QString section = QStringLiteral("Options");
        h.services.store.write(section, QStringLiteral("CalcPath"),
                               pathInOptions ? QStringLiteral("/nowhere/first-calc") : missing);
        h.services.store.write(section, QStringLiteral("ShowCalcBtn"), QStringLiteral("1"));
        h.create();
        options::OptionsDialog dialog(h.services);
        h.form->setOptionsDialog(&dialog);
        auto* button = h.control<session::RunButton>("calculatorButton");
        QVERIFY(button->isHidden());

        if (pathInOptions)
            h.services.expectMessage(QStringLiteral("The file: %1 cannot be found.").arg(missing),
                                     platform::Ok);
        h.services.expectModal(QStringLiteral("optionsDialog"), [&](QWidget* w) {
            w->findChild<QWidget*>(QStringLiteral("calcButtonGroup"))
                ->findChildren<QRadioButton*>()
                .first()
                ->click();
            if (pathInOptions)
                w->findChild<QLineEdit*>(QStringLiteral("calcPathEdit"))->setText(missing);
            w->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
            return static_cast<QDialog*>(w)->result();
        });
        h.trigger("optionsAction");
        QVERIFY2(h.done(), qPrintable(h.problems()));
        QVERIFY(!button->isHidden());

        h.services.expectMessage(QStringLiteral("The file: %1 cannot be found.").arg(missing),
                                 platform::Ok);
        button->click();
        QVERIFY2(h.done(), qPrintable(h.problems()));
        QCOMPARE(h.services.shownKinds.last(), platform::MsgKind::Error);
        QVERIFY(h.services.startedPrograms.isEmpty());

        // Installed since, it starts.
        QFile program(missing);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        program.close();
        button->click();
        QCOMPARE(h.services.startedPrograms, QStringList{missing});
    }

    void programRemovedAfterTheStartIsNamed()
    {
        const QString path = h.dir->file(QStringLiteral("calc"));
        {
            QFile program(path);
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        }
        h.services.store.write(QStringLiteral("Options"), QStringLiteral("CalcPath"), path);
        h.create();
        auto* button = h.control<session::RunButton>("calculatorButton");
        QVERIFY(!button->isHidden());
        QVERIFY(QFile::remove(path));
        h.services.expectMessage(QStringLiteral("The file: %1 cannot be found.").arg(path),
                                 platform::Ok);
        button->click();
        QVERIFY(h.services.startedPrograms.isEmpty());
    }
};

QTEST_MAIN(TestCalculatorButton)
#include "test_calculator_button.moc"
