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
class Ticker;
class ShadowLabel;
class ShapeButton;
} // namespace platform

namespace store {
struct Attempt;
struct BuildResult;
enum class DrillKind;
class HistoryFile;
class DataSource;
class ExamSetBuilder;
class Session;
class Table;
class ProgressWindow;
class SavedExamFile;
struct SavedExamState;
} // namespace store

namespace options {
class OptionsDialog;
}

namespace results {
class NoteWindow;
class ItemsReview;
class ScoreReport;
class HistoryWindow;
} // namespace results

namespace session {

class TimeCounter;
class CountingServices;
class RunButton;
class NameDialog;
class Exhibit1Window;
class Exhibit2Window;
class PrintingSimulation;
class SubnetMaskSimulation;

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
class ExamWindow final : public QMainWindow {
    Q_OBJECT
public:
    enum { ModeIdle = 0, ModeExam = 1, ModeReview = 3 };

    // windowsDir is the system's program folder; exists tests for a file.
    ExamWindow(platform::Services& services, const QString& windowsDir = QStringLiteral("/usr/bin"),
               QWidget* parent = nullptr);
    ~ExamWindow() override;

    // Sibling windows, handed over by the owner after creation.
    void setNameDialog(NameDialog* form) { m_nameDialog = form; }
    void setProgressWindow(store::ProgressWindow* form);
    void setNoteWindow(results::NoteWindow* form);
    void setScoreReport(results::ScoreReport* form);
    void setItemsReview(results::ItemsReview* form);
    void setExhibitWindows(Exhibit1Window* one, Exhibit2Window* two)
    {
        m_exhibit1 = one;
        m_exhibit2 = two;
    }
    void setSimulationWindows(PrintingSimulation* one, SubnetMaskSimulation* two);
    void setResetSimulations(std::function<void()> reset) { m_resetSimulations = std::move(reset); }
    // Seeds the shuffles of later builds; the clock when not set.
    void setSeedSource(std::function<std::uint64_t()> seed);
    void setOptionsDialog(options::OptionsDialog* form);

    store::Session& tableSession() { return *m_session; }
    // The services through which every window over the exam window is opened.
    platform::Services& services() { return m_services; }
    store::Table& bank() { return *m_qset; }
    store::Table& currentSet() { return *m_currentSet; }
    store::Table& userSet() { return *m_userSet; }
    store::DataSource* currentSetSource() const { return m_dsCurrentSet; }
    TimeCounter* m_examTimer = nullptr;

    // Session state.
    int mode = ModeIdle;
    QString examTitle;
    QString candidateName;
    int itemCount = 0;
    int firstItemNumber = 0;
    double timeLimit = 0;
    double elapsedTime = 0;
    bool showLearnButton = false;
    bool timerOn = true;
    bool showCalcButton = true;
    QString calcPath;
    QString windowsDir;
    int defaultTime = 90;
    store::Responses responses;
    options::OptionValues options;

    // Controls, named as in the window's description.
    QWidget* m_headerPanel = nullptr;
    platform::ShadowLabel* m_productBanner = nullptr;
    platform::ShadowLabel* m_itemCounterLabel = nullptr;
    QLabel* m_itemIdLabel = nullptr;
    QCheckBox* m_markBox = nullptr;
    platform::ShadowLabel* m_verdictLabel = nullptr;
    QLabel* m_examTitleLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_reviewLabel = nullptr;
    QWidget* m_startPanel = nullptr;
    QLabel* m_examNumberLabel = nullptr;
    QLabel* m_examSubjectLabel = nullptr;
    QLabel* m_promptLabel = nullptr;
    platform::ShapeButton* m_practiceExamButtons[7] = {};
    platform::ShapeButton* m_allQuestionsButton = nullptr;
    platform::ShapeButton* m_randomExamButton = nullptr;
    platform::ShapeButton* m_userExamButton = nullptr;
    QScrollArea* m_itemArea = nullptr;
    QWidget* m_itemContent = nullptr;
    QWidget* m_questionPanel = nullptr;
    QLabel* m_questionText = nullptr;
    QWidget* m_questionRule = nullptr;
    QPushButton* m_exhibit1Button = nullptr;
    QPushButton* m_exhibit2Button = nullptr;
    QPushButton* m_simulationButton = nullptr;
    RunButton* m_calculatorButton = nullptr;
    QRadioButton* m_choiceRadios[6] = {};
    QCheckBox* m_choiceBoxes[6] = {};
    ClickLabel* m_choiceLabels[6] = {};
    QLabel* m_explanationText = nullptr;
    QWidget* m_buttonStrip = nullptr;
    QPushButton* m_previousButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_learnButton = nullptr;
    QPushButton* m_itemsReviewButton = nullptr;
    QPushButton* m_noteButton = nullptr;
    QPushButton* m_gradeButton = nullptr;
    QPushButton* m_exitExamButton = nullptr;
    QMenu* m_examsMenu = nullptr;
    QAction* m_optionsAction = nullptr;
    QAction* m_printItemAction = nullptr;
    QAction* m_printExamAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_practiceExamActions[7] = {};
    QAction* m_allQuestionsAction = nullptr;
    QAction* m_randomExamAction = nullptr;
    QAction* m_userExamAction = nullptr;

    // The exam actions.
    void startPracticeExam(int exam); // 1..7: Practice Exam A..G
    void startAllQuestions();
    void startRandomExam();
    void startUserExam();
    // Returns the number of candidates, the items in any practice exam.
    int prepareNameDialog(bool countEnabled);
    void beginExam();
    void beginUserExam();
    void enterExamMode();
    void enterReviewMode();
    void closeCurrentExam();
    void showPreviousItem();
    void showNextItem();
    void exitExam();

    // Item display.
    void showCurrentItem();
    void layoutItem();
    void showItemVerdict();
    void relayout();
    void arrangeStartButtons();

    // Response capture.
    void choiceBoxToggled(int row); // 1..6
    void choiceRadioToggled();
    void choiceLabelClicked(int row); // 1..6
    void markToggled();
    void checkItemAnswer();
    // The response of the current item, or null when there is none.
    store::ItemResponse* currentResponse();

    // Timer and learn mode.
    void startExamTimer();
    void countDown();
    void timeExpired();
    // The end of the exam asked for while another window was open.
    void endExamAfterExpiry();
    void revealAnswer();
    void showExhibit1();
    void openSimulation();
    void showExhibit2();
    void gradeOrShowReport();
    void gradeExam();
    void openItemsReview();
    void openNote();

    // Printing.
    void printItem();
    void printExam();
    void printScoreReport();
    // The score report's "View Answers": review mode from item 1.
    void viewAnswers();

    // Keeping the running exam in its own file (ExamKeeping.cpp). Offers the
    // exam that was neither graded nor exited, once, when the window starts.
    void offerInterruptedExam();
    // The same once the window is up and active, so that the question
    // shows over the window in its final place.
    void offerInterruptedExamWhenActive();
    store::SavedExamFile& savedExam() { return *m_savedExam; }
    // The once-a-second tick that writes the time used, every few ticks.
    static constexpr int kTicksPerTimeWrite = 5;
    platform::Ticker* keepTicker() const { return m_keepTicker.get(); }

    // Applies the option values to the controls.
    void applyOptions();
    // The menu's "&Options...": runs the options dialog and applies what it
    // changed.
    void openOptions();

    // History and drills (DrillFlow.cpp).
    void setHistoryWindow(results::HistoryWindow* form);
    store::HistoryFile& history() { return *m_history; }
    // The record of the exam graded last, kept also when the file could not
    // take it; null before grading.
    const store::Attempt* lastAttempt() const { return m_lastAttempt.get(); }
    void openHistory();
    void startWeakestSectionDrill();
    // Says so over `over` when the drill has no items, else takes the name
    // dialog; true when the drill is to start once `over` has closed.
    bool offerDrill(const store::Attempt& attempt, store::DrillKind kind, QWidget* over);
    // Prints a score report of the history, dated as the attempt was.
    void printReport(results::ScoreReport* report, double when);
    QAction* m_historyAction = nullptr;
    QAction* m_weakestSectionAction = nullptr;

signals:
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildHeader();
    void buildStartPanel();
    void buildItemArea();
    void buildButtonStrip();
    // Keys beyond the mnemonics, and the names a screen reader reads.
    void buildKeys();
    void nameControls();
    // The plain letter or digit of a choice, 1..6.
    void chooseByKey(int row);
    void focusFirstChoice();
    void layoutHeader();
    void layoutStartPanel();
    void setRadioState(int row, bool checked);
    // Stacks the current item's controls in a content of the given width.
    void placeItem(int contentWidth);
    // Sizes the content to what is shown, in the width that the scroll bar,
    // if needed, leaves.
    void fitItemContent();
    bool run(const std::function<void()>& action);
    void createTables();
    bool takeNameDialog();
    // After the name dialog: the start sequence of an exam drawn from the bank.
    void startBankExam(const std::function<store::BuildResult()>& build);
    void buildAndStart(const std::function<store::BuildResult()>& build, bool userExam);
    int countUnderFilter();
    void showNoItemsMessage();
    // prints: the items' prints in exam order, when the build took them.
    void keepNewExam(bool userExam, const std::vector<qint64>& prints);
    void keepResponse();
    void keepProgress(bool timeOnly);
    void dropKeptExam();
    // Runs a write of the kept exam; the first failure is reported and ends
    // the keeping of this exam, which itself goes on.
    void keep(const std::function<void()>& write);
    bool savedExamFits(const store::SavedExamState& saved);
    void resumeExam(const store::SavedExamState& saved);

    // History and drills (DrillFlow.cpp).
    struct DrillPlan {
        QString title;
        std::vector<int> ids; // of the source, which the drill draws from
        bool userItems = false;
        int take = -1; // all of them
    };
    void buildHistoryMenu();
    void noteSourceItems(bool userItems);
    void recordAttempt();
    bool prepareDrill(DrillPlan plan, QWidget* over, int poolForCount);
    void startPendingDrill();
    std::unique_ptr<store::HistoryFile> m_history;
    results::HistoryWindow* m_historyWindow = nullptr;
    std::vector<int> m_sourceIds; // Q_OR_NUMBER of item k at k - 1
    bool m_userItems = false;
    double m_startedAt = 0; // monotonic, at the exam's start
    std::unique_ptr<store::Attempt> m_lastAttempt;
    std::unique_ptr<DrillPlan> m_pendingDrill;

    std::unique_ptr<CountingServices> m_countingServices;
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
    NameDialog* m_nameDialog = nullptr;
    store::ProgressWindow* m_progressWindow = nullptr;
    results::NoteWindow* m_noteWindow = nullptr;
    results::ScoreReport* m_scoreReport = nullptr;
    results::ItemsReview* m_itemsReview = nullptr;
    Exhibit1Window* m_exhibit1 = nullptr;
    Exhibit2Window* m_exhibit2 = nullptr;
    PrintingSimulation* m_printingSimulation = nullptr;
    SubnetMaskSimulation* m_subnetMaskSimulation = nullptr;
    options::OptionsDialog* m_optionsDialog = nullptr;
    std::function<void()> m_resetSimulations;
    std::function<std::uint64_t()> m_seed;
    QWidget* m_middle = nullptr;
    int m_labelHeight[6] = {};
    // Graded: the score report has been shown for this exam.
    bool m_graded = false;
    // Time ran out over another window and the candidate chose to end.
    bool m_endRequested = false;
    std::unique_ptr<store::SavedExamFile> m_savedExam;
    std::unique_ptr<platform::Ticker> m_keepTicker;
    // What the file holds, so that a response restored by the display is
    // not written again.
    store::Responses m_keptResponses;
    int m_keptItem = 0;
    int m_ticksSinceKept = 0;
    bool m_keeping = false;
    bool m_offerPending = false;
};

} // namespace session
