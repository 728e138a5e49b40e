// Tab order: in every window Tab visits the controls in reading order (left
// to right, line by line), comes back round to where it began, and reaches
// every control on screen that takes the focus.
#include "AppOwner.h"
#include "ItemsReview.h"
#include "NameDialog.h"
#include "NoteWindow.h"
#include "OptionsDialog.h"
#include "ProgramDir.h"
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "StartWindow.h"
#include "TabOrder.h"

#include <QDir>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

using testing::checkTabOrder;

class TestTabOrder : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;
    std::unique_ptr<app::AppOwner> m_owner;

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        QDir::setCurrent(QDir::tempPath());
        m_services.reset();
        m_owner = std::make_unique<app::AppOwner>(m_services, m_dir->path());
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_owner.reset();
        m_dir.reset();
    }

    void startWindow()
    {
        checkTabOrder(m_owner->startWindow(),
                      {"startTestingButton", "samplerButton", "exitButton"});
    }

    void nameDialog()
    {
        checkTabOrder(m_owner->nameDialog(), {"nameEdit", "timeBox", "okButton", "cancelButton"});
    }

    void optionsDialog()
    {
        options::OptionValues values;
        m_owner->optionsDialog()->open(values);
        checkTabOrder(m_owner->optionsDialog(),
                      {"fontList", "changeFontButton", "changeColourButton", "pages",
                       "QRadioButton", "highContrastBox", "okButton"});
    }

    void scoreReport()
    {
        // It opens on its default button, with the chart last.
        checkTabOrder(m_owner->scoreReport(), {"viewAnswersButton", "printReportButton",
                                               "drillsButton", "exitExamButton", "sectionArea"});
    }

    void scoreReportShowsWhereTheFocusIs()
    {
        results::ScoreReport* report = m_owner->scoreReport();
        report->show();
        report->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(report));
        report->m_viewAnswersButton->setFocus();
        const QImage away = report->m_sectionArea->grab().toImage();
        report->m_sectionArea->setFocus();
        QVERIFY(report->m_sectionArea->hasFocus());
        QVERIFY(report->m_sectionArea->grab().toImage() != away);
    }

    void itemsReview()
    {
        store::Responses exam(3);
        exam[1].Choice[0] = true;
        m_owner->itemsReview()->fillProgressList(exam);
        // Go to is off until an entry is chosen.
        checkTabOrder(m_owner->itemsReview(), {"itemList", "returnButton"});
    }

    void noteWindow()
    {
        // Save and Cancel are off until the note is edited.
        checkTabOrder(m_owner->noteWindow(), {"noteEdit", "exitButton"});
    }
};

QTEST_MAIN(TestTabOrder)
#include "test_tab_order.moc"
