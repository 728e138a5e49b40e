// The exam window's controller: the exam actions, the start sequences, the
// modes and their controls, navigation, ending an exam and closing.
#include "TTestForm.h"

#include "ErrorReport.h"
#include "ExamSetBuilder.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "TNameForm.h"
#include "Table.h"
#include "TimeCounter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>

namespace session {

namespace {

const char* const kExamLetters = "ABCDEFG";

} // namespace

bool TTestForm::run(const std::function<void()>& action)
{
    return platform::reportErrors(m_services, this, action);
}

void TTestForm::ActionExecute(int exam)
{
    const QChar letter = QLatin1Char(kExamLetters[exam - 1]);
    ExamTitle.clear();
    run([&] {
        PrepareNameForm(false);
        m_nameForm->setWindowTitle(QStringLiteral("Begin Practice Exam %1").arg(letter));
        ExamTitle = QStringLiteral("Practice Exam %1").arg(letter);
        m_qset->setFilter(QStringLiteral("Q_EXAM_N=%1").arg(exam));
    });
    BeginExam();
}

void TTestForm::AllQActExecute()
{
    ExamTitle.clear();
    run([&] {
        PrepareNameForm(false);
        m_nameForm->setWindowTitle(QStringLiteral("Take All Questions"));
        ExamTitle = QStringLiteral("All Questions");
        m_qset->setFilter(QStringLiteral("Q_EXAM_N<>0"));
    });
    BeginExam();
}

int TTestForm::countUnderFilter()
{
    m_qset->setFiltered(true);
    m_qset->open();
    const int n = m_qset->recordCount();
    m_qset->close();
    return n;
}

void TTestForm::RandActExecute()
{
    int candidates = 0;
    const bool ok = run([&] {
        m_nameForm->setWindowTitle(QStringLiteral("Random Exam"));
        candidates = PrepareNameForm(true);
        ExamTitle = QStringLiteral("Random Exam");
        m_qset->setFilter(QStringLiteral("Q_EXAM_N<>0"));
    });
    if (!ok)
        return;
    // No bank item is in any exam: there is nothing to draw from.
    if (candidates == 0) {
        showNoItemsMessage();
        return;
    }
    // The time box is not preset here: it shows what it showed last.
    startBankExam([&] {
        return m_builder->BuildRandomSet(*m_qset, *m_currentSet, m_nameForm->questionCount());
    });
}

void TTestForm::UserActExecute()
{
    bool empty = false;
    const bool ok = run([&] {
        m_userSet->open();
        if (m_userSet->isEmpty()) {
            m_userSet->close();
            empty = true;
        }
    });
    if (!ok)
        return;
    if (empty) {
        m_services.message(this, platform::MsgKind::Information,
                           QStringLiteral("User defined question set is empty!"), platform::Ok);
        return;
    }
    if (!run([&] {
            PrepareNameForm(false);
            m_nameForm->setWindowTitle(QStringLiteral("User Exam"));
            ExamTitle = QStringLiteral("User Exam");
        }))
        return;
    BeginUserExam();
}

int TTestForm::PrepareNameForm(bool countEnabled)
{
    m_qset->setFilter(QStringLiteral("Q_EXAM_N<>0"));
    m_qset->setFiltered(true);
    m_qset->open();
    const int candidates = m_qset->recordCount();
    m_qset->close();
    m_nameForm->setQuestionCount(candidates, countEnabled);
    return candidates;
}

void TTestForm::showNoItemsMessage()
{
    m_services.message(this, platform::MsgKind::Information,
                       QStringLiteral("This exam has no items."), platform::Ok);
}

void TTestForm::BeginExam()
{
    if (ExamTitle.isEmpty() || m_qset->filter().isEmpty())
        return; // preparing the name dialog failed and was reported
    int items = 0;
    if (!run([&] { items = countUnderFilter(); }))
        return;
    if (items == 0) {
        // Never show item 1 of 0: say so before asking for a name.
        showNoItemsMessage();
        m_qset->setFilter(QString());
        return;
    }
    m_nameForm->setTimeMinutes(DefaultTime);
    startBankExam([&] { return m_builder->BuildExamSet(*m_qset, *m_currentSet); });
}

void TTestForm::BeginUserExam()
{
    m_nameForm->setTimeMinutes(DefaultTime);
    if (!takeNameDialog())
        return;
    // User items have no simulations, so the simulation windows keep theirs.
    buildAndStart(
        [&] {
            m_userSet->open();
            return m_builder->BuildUserSet(*m_userSet, *m_currentSet);
        },
        true);
}

void TTestForm::startBankExam(const std::function<store::BuildResult()>& build)
{
    if (!takeNameDialog())
        return;
    if (m_resetSimulations)
        m_resetSimulations();
    buildAndStart(
        [&] {
            m_qset->setFiltered(true);
            m_qset->open();
            return build();
        },
        false);
}

bool TTestForm::takeNameDialog()
{
    if (m_services.runModal(m_nameForm) != QDialog::Accepted)
        return false;
    CandidateName = m_nameForm->candidateName();
    TimeLimit = m_nameForm->timeMinutes() / 1440.0;
    return true;
}

void TTestForm::buildAndStart(const std::function<store::BuildResult()>& build, bool userExam)
{
    Label3->setText(ExamTitle);
    // Idle while the set is written, so that no item is shown half-built.
    Mode = ModeIdle;
    const bool built = run([&] {
        const store::BuildResult r = build();
        FirstItemNo = r.FirstItemNo;
        ItemCount = r.ItemCount;
        store::ExamSetBuilder::ResetResponses(*m_currentSet, Responses);
    });
    if (!built || ItemCount == 0) {
        if (built)
            showNoItemsMessage();
        CloseCurrentExam();
        return;
    }
    Mode = ModeExam;
    ExamControls();
    if (userExam)
        NoteButton->hide();
    run([&] { m_currentSet->first(); });
    StartExamTimer();
}

void TTestForm::ExamControls()
{
    Panel4->hide();
    ScrollBox1->show();
    ScrollBox1->setEnabled(true);
    Panel2->show();
    fcLabel1->hide();
    Label1->show();
    Label2->show();
    MarkBox->show();
    Label3->show();
    TimeLabel->show();
    ReviewLabel->hide();
    CorrectLabel->hide();
    GradeButton->setText(QStringLiteral("Grade Now"));
    N21->menuAction()->setEnabled(false);
    Print1->setEnabled(true);
    Print2->setEnabled(true);
    LearnButton->setEnabled(true);
}

void TTestForm::ReviewControls()
{
    MarkBox->hide();
    TimeLabel->hide();
    LearnButton->setEnabled(false);
    CorrectLabel->show();
    ReviewLabel->show();
}

void TTestForm::CloseCurrentExam()
{
    Mode = ModeIdle;
    m_qset->setFilter(QString());
    m_qset->setFiltered(false);
    m_qset->close();
    m_currentSet->close();
    m_userSet->close();
    Panel2->hide();
    fcLabel1->show();
    N21->menuAction()->setEnabled(true);
    Label1->hide();
    Label2->hide();
    CorrectLabel->hide();
    MarkBox->hide();
    Label3->hide();
    TimeLabel->hide();
    Timer1->setEnabled(false);
    ReviewLabel->hide();
    Print1->setEnabled(false);
    Print2->setEnabled(false);
    ScrollBox1->hide();
    Panel4->show();
    NoteButton->show();
    ArrangeStartButtons();
}

void TTestForm::PrevButtonClick()
{
    run([&] { m_currentSet->prior(); });
}

void TTestForm::NextButtonClick()
{
    run([&] { m_currentSet->next(); });
}

void TTestForm::Button3Click()
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure you wish to end this exam?"),
                           platform::Yes | platform::No) == platform::Yes)
        CloseCurrentExam();
}

void TTestForm::closeEvent(QCloseEvent* event)
{
    // FormCloseQuery: only a running exam asks.
    if (Mode == ModeExam &&
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("This exam is not completed.\rAre you shure ?"),
                           platform::Ok | platform::Cancel) != platform::Ok) {
        event->ignore();
        return;
    }
    // FormClose: the window is only hidden, idle, for the next Start Testing.
    CloseCurrentExam();
    event->accept();
}

} // namespace session
