#pragma once

#include "Contrast.h"
#include "ExamSession.h"
#include "Options.h"
#include "Responses.h"

#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolButton;
class QButtonGroup;

namespace widgets {
class ProgressWindow;
class ShadowLabel;
class ShapeButton;
} // namespace widgets

namespace platform {
class Services;
class Ticker;
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
class ObjectiveReport;
} // namespace results

namespace session {

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
    static constexpr exam::Mode ModeIdle = exam::Mode::Idle;
    static constexpr exam::Mode ModeExam = exam::Mode::Exam;
    static constexpr exam::Mode ModeReview = exam::Mode::Review;

    // windowsDir is the system's program folder; exists tests for a file.
    ExamWindow(platform::Services& services, const QString& windowsDir = QStringLiteral("/usr/bin"),
               QWidget* parent = nullptr);
    ~ExamWindow() override;

    // Sibling windows, handed over by the owner after creation.
    void setNameDialog(NameDialog* form) { m_nameDialog = form; }
    void setProgressWindow(widgets::ProgressWindow* form);
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

    // The running exam this window shows.
    exam::ExamSession& examSession() { return *m_exam; }
    exam::Mode mode() const { return m_exam->mode(); }
    store::Session& tableSession() { return m_exam->tableSession(); }
    // The services through which every window over the exam window is opened.
    platform::Services& services() { return m_services; }
    store::Table& bank() { return m_exam->bank(); }
    store::Table& currentSet() { return m_exam->currentSet(); }
    store::Table& userSet() { return m_exam->userSet(); }
    store::DataSource* currentSetSource() const { return m_exam->currentSetSource(); }

    // The option values the window works with, and what a confirmed
    // options dialog does with new ones.
    options::OptionValues optionValues() const;
    void applyOptionValues(const options::OptionValues& values);

    // The exam actions.
    void startPracticeExam(int exam); // 1..7: Practice Exam A..G
    void startAllQuestions();
    void startRandomExam();
    void startUserExam();
    void closeCurrentExam();

    // The score report's "View Answers": review mode from item 1.
    void viewAnswers();

    // Keeping the running exam in its own file (ExamKeeping.cpp). Offers the
    // exam that was neither graded nor exited, once, when the window starts.
    void offerInterruptedExam();
    // The same once the window is up and active, so that the question
    // shows over the window in its final place.
    void offerInterruptedExamWhenActive();
    store::SavedExamFile& savedExam() { return m_exam->savedExam(); }
    // The once-a-second tick that writes the time used, every few ticks.
    static constexpr int kTicksPerTimeWrite = exam::ExamSession::kTicksPerTimeWrite;
    platform::Ticker* keepTicker() const { return m_exam->keepTicker(); }

    // History and drills (DrillFlow.cpp).
    void setHistoryWindow(results::HistoryWindow* form);
    store::HistoryFile& history() { return m_exam->history(); }
    // The record of the exam graded last, kept also when the file could not
    // take it; null before grading.
    const store::Attempt* lastAttempt() const { return m_exam->lastAttempt(); }
    void openHistory();
    void startWeakestSectionDrill();
    // Says so over `over` when the drill has no items, else takes the name
    // dialog; true when the drill is to start once `over` has closed.
    bool offerDrill(const store::Attempt& attempt, store::DrillKind kind, QWidget* over);
    // Prints a score report of the history, dated as the attempt was.
    void printReport(results::ScoreReport* report, double when);

    // The "High contrast" choice of the options: the scheme in use, or
    // none for the design's own colours.
    bool highContrast() const { return m_scheme.has_value(); }
    const widgets::ColourScheme* colourScheme() const { return m_scheme ? &*m_scheme : nullptr; }
    // Learning from the answers (LearningFlow.cpp): results by objective of
    // the exam graded last and of the whole history, the review of missed
    // items that are due, and the drill on the weakest objectives.
    void showAttemptObjectives();
    void showHistoryObjectives();
    void startReviewDrill();
    void startWeakestObjectivesDrill();
    results::ObjectiveReport* objectiveReport() const { return m_objectiveReport; }

signals:
    void aboutRequested();
    void highContrastChanged(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the window does for its controls and the session.
    // Returns the number of candidates, the items in any practice exam.
    int prepareNameDialog(bool countEnabled);
    void beginExam();
    void beginUserExam();
    void enterExamMode();
    void enterReviewMode();
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
    // The response of the current item, or null when there is none.
    const store::ItemResponse* currentResponse() const;
    // Timer and learn mode.
    void startExamTimer();
    void showTimeLeft(exam::Seconds left);
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
    // Applies the option values to the controls.
    void applyOptions();
    // Takes the high-contrast choice: the palette, then the accents.
    void applyContrast(bool on);
    void applyAccents();
    // The correct choices of the item shown, highlighted and said to be
    // correct to a screen reader; all false hides them.
    void showKey(const std::array<bool, 6>& key);
    void describeChoice(int row);
    bool focusTakesText() const;
    // The menu's "&Options...": runs the options dialog and applies what it
    // changed.
    void openOptions();

    // What the window does for its controls and the session.

    // The option values; these fields are the current truth.
    bool m_showLearnButton = false;
    bool m_timerOn = true;
    bool m_showCalcButton = true;
    QString m_calcPath;
    QString m_windowsDir;
    int m_defaultTime = 90;
    options::OptionValues m_options;

    // Controls, named as in the window's description.
    QWidget* m_headerPanel = nullptr;
    widgets::ShadowLabel* m_productBanner = nullptr;
    widgets::ShadowLabel* m_itemCounterLabel = nullptr;
    QLabel* m_itemIdLabel = nullptr;
    QCheckBox* m_markBox = nullptr;
    widgets::ShadowLabel* m_verdictLabel = nullptr;
    QLabel* m_examTitleLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_reviewLabel = nullptr;
    QWidget* m_startPanel = nullptr;
    QLabel* m_examNumberLabel = nullptr;
    QLabel* m_examSubjectLabel = nullptr;
    QLabel* m_promptLabel = nullptr;
    widgets::ShapeButton* m_practiceExamButtons[7] = {};
    widgets::ShapeButton* m_allQuestionsButton = nullptr;
    widgets::ShapeButton* m_randomExamButton = nullptr;
    widgets::ShapeButton* m_userExamButton = nullptr;
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

    QAction* m_historyAction = nullptr;
    QAction* m_weakestSectionAction = nullptr;
    QAction* m_weakestObjectivesAction = nullptr;
    QAction* m_reviewAction = nullptr;

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
    // Opening a window over this one while another is open would let the
    // second act on an item the first has moved away from.
    bool anotherWindowOpen() const;
    // Asks before a new exam replaces the one kept for later.
    bool mayReplaceKeptExam();
    void createTables();
    bool takeNameDialog();
    // After the name dialog: the start sequence of an exam drawn from the bank.
    void startBankExam(const std::function<store::BuildResult()>& build);
    void buildAndStart(const std::function<store::BuildResult()>& build, bool userExam,
                       const QString& title);
    int countUnderFilter();
    void showNoItemsMessage();
    void resumeExam(const store::SavedExamState& saved);
    void showKeepingFailure(const QString& error);
    // Learn Now's reveal on the item shown; a new item hides it again.
    void applyReveal();

    // History and drills (DrillFlow.cpp).
    struct DrillPlan {
        QString title;
        std::vector<int> ids; // of the source, which the drill draws from
        bool userItems = false;
        int take = -1; // all of them
        QString candidate; // offered in the name dialog; empty: as it stands
    };
    void buildHistoryMenu();
    void buildLearningMenu();
    void showObjectives(const QString& heading, const std::vector<store::Attempt>& attempts,
                        bool withReadiness, QWidget* over);
    results::ObjectiveReport* m_objectiveReport = nullptr;
    bool prepareDrill(DrillPlan plan, QWidget* over, int poolForCount);
    void startPendingDrill();
    results::HistoryWindow* m_historyWindow = nullptr;
    std::unique_ptr<DrillPlan> m_pendingDrill;

    std::unique_ptr<CountingServices> m_countingServices;
    platform::Services& m_services;
    std::unique_ptr<exam::ExamSession> m_exam;
    QButtonGroup* m_radioGroup = nullptr;
    NameDialog* m_nameDialog = nullptr;
    widgets::ProgressWindow* m_progressWindow = nullptr;
    results::NoteWindow* m_noteWindow = nullptr;
    results::ScoreReport* m_scoreReport = nullptr;
    results::ItemsReview* m_itemsReview = nullptr;
    Exhibit1Window* m_exhibit1 = nullptr;
    Exhibit2Window* m_exhibit2 = nullptr;
    PrintingSimulation* m_printingSimulation = nullptr;
    SubnetMaskSimulation* m_subnetMaskSimulation = nullptr;
    options::OptionsDialog* m_optionsDialog = nullptr;
    std::function<void()> m_resetSimulations;
    QWidget* m_middle = nullptr;
    int m_labelHeight[6] = {};
    // Time ran out over another window and the candidate chose to end.
    bool m_endRequested = false;
    bool m_offerPending = false;
    // What the start sequence has settled before the exam is built.
    QString m_pendingTitle;
    QString m_pendingCandidate;
    exam::Seconds m_pendingLimit{0};
    // Learn Now was pressed for the item shown.
    bool m_revealed = false;
    std::array<bool, 6> m_keyShown{};
    std::array<QString, 6> m_choiceTexts;
    std::optional<widgets::ColourScheme> m_scheme;
    bool m_multipleResponse = false;
    int m_revealedItem = 0;
};

} // namespace session
