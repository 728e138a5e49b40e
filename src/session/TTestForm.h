#pragma once

#include "Options.h"
#include "Responses.h"

#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolButton;
class QButtonGroup;

namespace platform {
class Services;
class ShadowLabel;
class ShapeButton;
} // namespace platform

namespace store {
struct BuildResult;
class DataSource;
class ExamSetBuilder;
class Session;
class Table;
class TProgressForm;
} // namespace store

namespace options {
class TOptionsForm;
}

namespace results {
class TNoteForm;
class TReviewForm;
class TScoreForm;
} // namespace results

namespace session {

class TKZTimeCounter;
class TddgRunButton;
class TNameForm;
class TPict1Form;
class TPict2Form;
class TSimForm1;
class TSimForm2;

// A label that reports clicks, for the choice texts.
class ClickLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The mark box. Its mnemonic shares its letter with the exam menu, which is
// disabled whenever the box is shown, so an ambiguous press still toggles.
class MarkCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    bool event(QEvent* event) override;
};

// The exam window: where every exam is chosen, taken, graded and reviewed. It
// owns the table session and the exam window's three table handles.
class TTestForm final : public QMainWindow {
    Q_OBJECT
public:
    enum { ModeIdle = 0, ModeExam = 1, ModeReview = 3 };

    // windowsDir is the system's program folder; exists tests for a file.
    TTestForm(platform::Services& services, const QString& windowsDir = QStringLiteral("/usr/bin"),
              QWidget* parent = nullptr);
    ~TTestForm() override;

    // Sibling windows, handed over by the owner after creation.
    void setNameForm(TNameForm* form) { m_nameForm = form; }
    void setProgressForm(store::TProgressForm* form);
    void setNoteWindow(QWidget* form) { m_noteWindow = form; }
    void setNoteForm(results::TNoteForm* form);
    void setScoreForm(results::TScoreForm* form);
    void setReviewForm(results::TReviewForm* form);
    void setExhibitWindows(TPict1Form* one, TPict2Form* two)
    {
        m_pict1 = one;
        m_pict2 = two;
    }
    void setSimulationWindows(TSimForm1* one, TSimForm2* two);
    void setResetSimulations(std::function<void()> reset) { m_resetSimulations = std::move(reset); }
    // Seeds the shuffles of later builds; the clock when not set.
    void setSeedSource(std::function<std::uint64_t()> seed);
    void setOptionsForm(options::TOptionsForm* form);

    store::Session& tableSession() { return *m_session; }
    store::Table& dtQSet() { return *m_qset; }
    store::Table& dtCurrentSet() { return *m_currentSet; }
    store::Table& dtUserSet() { return *m_userSet; }
    store::DataSource* dsCurrentSet() const { return m_dsCurrentSet; }
    TKZTimeCounter* Timer1 = nullptr;

    // Session state.
    int Mode = ModeIdle;
    QString ExamTitle;
    QString CandidateName;
    int ItemCount = 0;
    int FirstItemNo = 0;
    double TimeLimit = 0;
    double ElapsedTime = 0;
    bool ShowLearnBtn = false;
    bool TimerOn = true;
    bool ShowCalcBtn = true;
    QString CalcPath;
    QString WindowsDir;
    int DefaultTime = 90;
    store::Responses Responses;
    options::OptionValues Options;

    // Controls, named as in the window's description.
    QWidget* HeaderPanel = nullptr;
    platform::ShadowLabel* fcLabel1 = nullptr;
    platform::ShadowLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* MarkBox = nullptr;
    platform::ShadowLabel* CorrectLabel = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* TimeLabel = nullptr;
    QLabel* ReviewLabel = nullptr;
    QWidget* Panel4 = nullptr;
    QLabel* TitleLabel1 = nullptr;
    QLabel* TitleLabel2 = nullptr;
    QLabel* PromptLabel = nullptr;
    platform::ShapeButton* fcShapeBtn[7] = {};
    platform::ShapeButton* AllQBtn = nullptr;
    platform::ShapeButton* RandomBtn = nullptr;
    platform::ShapeButton* UserBtn = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ItemContent = nullptr;
    QWidget* QPanel = nullptr;
    QLabel* QText = nullptr;
    QWidget* Shape1 = nullptr;
    QPushButton* ExhBtnA = nullptr;
    QPushButton* ExhBtnB = nullptr;
    QPushButton* SimButton = nullptr;
    TddgRunButton* CalcButton = nullptr;
    QRadioButton* RadioButton[6] = {};
    QCheckBox* CheckBox[6] = {};
    ClickLabel* ALabel[6] = {};
    QLabel* ExpText = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* PrevButton = nullptr;
    QPushButton* NextButton = nullptr;
    QPushButton* LearnButton = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* NoteButton = nullptr;
    QPushButton* GradeButton = nullptr;
    QPushButton* Button3 = nullptr;
    QMenu* N21 = nullptr;
    QAction* Preferences1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Print2 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* About1 = nullptr;
    QAction* ExamAction[7] = {};
    QAction* AllQAct = nullptr;
    QAction* RandAct = nullptr;
    QAction* UserAct = nullptr;

    // The exam actions.
    void ActionExecute(int exam); // 1..7: Practice Exam A..G
    void AllQActExecute();
    void RandActExecute();
    void UserActExecute();
    // Returns the number of candidates, the items in any practice exam.
    int PrepareNameForm(bool countEnabled);
    void BeginExam();
    void BeginUserExam();
    void ExamControls();
    void ReviewControls();
    void CloseCurrentExam();
    void PrevButtonClick();
    void NextButtonClick();
    void Button3Click();

    // Item display.
    void dsCurrentSetDataChange();
    void SetItemPositions();
    void ShowItemResult();
    void FormResize();
    void ArrangeStartButtons();

    // Response capture.
    void CheckBoxClick(int row); // 1..6
    void RadioButton1Click();
    void ALabelClick(int row); // 1..6
    void MarkBoxClick();
    void CheckItemAnswer();
    // The response of the current item, or null when there is none.
    store::ItemResponse* currentResponse();

    // Timer and learn mode.
    void StartExamTimer();
    void Timer1Timer();
    void TimeExpired();
    void LearnButtonClick();
    void ExhBtnAClick();
    void SimButtonClick();
    void ExhBtnBClick();
    void GradeButtonClick();
    void GradeExam();
    void Button1Click();
    void NoteButtonClick();

    // Printing.
    void Print1Click();
    void Print2Click();
    void ScorePrintClick();
    // The score report's "View Answers": review mode from item 1.
    void viewAnswers();

    // Applies the option values to the controls.
    void applyOptions();
    // The menu's "&Options...": runs the options dialog and applies what it
    // changed.
    void Preferences1Click();

signals:
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildHeader();
    void buildStartPanel();
    void buildItemArea();
    void buildButtonStrip();
    void layoutHeader();
    void layoutStartPanel();
    void setRadioState(int row, bool checked);
    bool run(const std::function<void()>& action);
    void FormCreate();
    bool takeNameDialog();
    // After the name dialog: the start sequence of an exam drawn from the bank.
    void startBankExam(const std::function<store::BuildResult()>& build);
    void buildAndStart(const std::function<store::BuildResult()>& build, bool userExam);
    int countUnderFilter();
    void showNoItemsMessage();

    platform::Services& m_services;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<store::Table> m_qset;
    std::unique_ptr<store::Table> m_currentSet;
    std::unique_ptr<store::Table> m_userSet;
    std::unique_ptr<store::ExamSetBuilder> m_builder;
    store::DataSource* m_dsQSet = nullptr;
    store::DataSource* m_dsCurrentSet = nullptr;
    store::DataSource* m_dsUserSet = nullptr;
    QButtonGroup* m_radioGroup = nullptr;
    TNameForm* m_nameForm = nullptr;
    store::TProgressForm* m_progressForm = nullptr;
    QWidget* m_noteWindow = nullptr;
    results::TNoteForm* m_noteForm = nullptr;
    results::TScoreForm* m_scoreForm = nullptr;
    results::TReviewForm* m_reviewForm = nullptr;
    TPict1Form* m_pict1 = nullptr;
    TPict2Form* m_pict2 = nullptr;
    TSimForm1* m_sim1 = nullptr;
    TSimForm2* m_sim2 = nullptr;
    options::TOptionsForm* m_optionsForm = nullptr;
    std::function<void()> m_resetSimulations;
    std::function<std::uint64_t()> m_seed;
    QWidget* m_middle = nullptr;
    int m_labelHeight[6] = {};
};

} // namespace session
