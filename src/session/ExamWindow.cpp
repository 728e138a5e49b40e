// The exam window's creation and the building of its controls.
#include "ExamWindow.h"

#include "Accessibility.h"
#include "Contrast.h"
#include "CountingServices.h"
#include "DataSource.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "ProgressWindow.h"
#include "RunButton.h"
#include "SavedExam.h"
#include "Schemas.h"
#include "Services.h"
#include "Session.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "Table.h"
#include "WrapAnywhere.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShortcutEvent>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace session {

namespace {

QFont verdana(int px, bool bold)
{
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

// A font that states every property, so that a widget given it takes
// nothing (bold, italic, size) from the font of its parent.
QFont complete(QFont font)
{
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

void setTextColour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

} // namespace

bool MarkCheckBox::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        setFocus(Qt::ShortcutFocusReason);
        click();
        return true;
    }
    return QCheckBox::event(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

ExamWindow::ExamWindow(platform::Services& services, const QString& windowsDir, QWidget* parent)
    : QMainWindow(parent), m_countingServices(std::make_unique<CountingServices>(services)),
      m_services(*m_countingServices)
{
    m_countingServices->setAllClosedHandler([this] {
        // Queued, so that the closing window's own handler finishes first.
        if (m_endRequested)
            QMetaObject::invokeMethod(this, &ExamWindow::endExamAfterExpiry, Qt::QueuedConnection);
    });
    setObjectName(QStringLiteral("examWindow"));
    m_windowsDir = windowsDir;
    m_exam = std::make_unique<exam::ExamSession>(m_services);
    connect(m_exam.get(), &exam::ExamSession::timeLeftChanged, this, &ExamWindow::showTimeLeft);
    connect(m_exam.get(), &exam::ExamSession::timeExpired, this, &ExamWindow::timeExpired);
    connect(m_exam.get(), &exam::ExamSession::keepingFailed, this, &ExamWindow::showKeepingFailure);
    connect(m_exam->currentSetSource(), &store::DataSource::dataChanged, this,
            [this] { showCurrentItem(); });

    buildMenus();
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    buildHeader();
    v->addWidget(m_headerPanel);
    m_middle = new QWidget(central);
    auto* grid = new QGridLayout(m_middle);
    grid->setContentsMargins(0, 0, 0, 0);
    buildStartPanel();
    buildItemArea();
    grid->addWidget(m_startPanel, 0, 0);
    grid->addWidget(m_itemArea, 0, 0);
    v->addWidget(m_middle, 1);
    buildButtonStrip();
    v->addWidget(m_buttonStrip);
    setCentralWidget(central);
    buildKeys();
    nameControls();

    createTables();
}

ExamWindow::~ExamWindow()
{
    m_countingServices->setAllClosedHandler({});
    // The exam's tables go before the window's controls that show them.
    m_exam.reset();
}

void ExamWindow::setProgressWindow(widgets::ProgressWindow* form)
{
    m_progressWindow = form;
    m_exam->setBuildProgress(form);
}

void ExamWindow::setSeedSource(std::function<std::uint64_t()> seed)
{
    m_exam->setSeedSource(std::move(seed));
}

void ExamWindow::createTables()
{
    // Durations are formatted by our own h:mm:ss writer, so no time-format
    // designators need changing here.
    setWindowState(Qt::WindowMaximized);
    setWindowTitle(QStringLiteral("Quizlark TCP/IP 4.0"));
    setMinimumSize(732, 502);
    resize(732, 505);
    // Defaults of the design: every font "MS Sans Serif" until the options
    // say otherwise.
    const QFont design(QStringLiteral("MS Sans Serif"));
    m_options.questionFont.font = design;
    m_options.answersFont.font = design;
    m_options.explanationFont.font = design;
    options::loadOptions(m_services.settings(), m_options, m_windowsDir,
                         [](const QString& p) { return QFileInfo(p).isFile(); });
    m_showLearnButton = m_options.showLearnButton;
    m_showCalcButton = m_options.showCalcButton;
    m_timerOn = m_options.timerOn;
    m_defaultTime = m_options.defaultTime;
    m_calcPath = m_options.calcPath;
    m_learnButton->setVisible(m_showLearnButton);
    bool calculator = true;
    try {
        // Assigned even when missing, so that a button shown later says
        // which file it cannot find.
        m_calculatorButton->setCommandLine(m_calcPath);
    } catch (const std::exception&) {
        // No window is up yet to report to; a missing file or one that is
        // no program is treated as no calculator.
        calculator = false;
    }
    if (calculator) {
        m_calculatorButton->setVisible(m_showCalcButton);
    } else {
        // The stored option is left alone; the options dialog writes it.
        m_calculatorButton->setVisible(false);
        m_showCalcButton = false;
    }
    applyOptions();
    closeCurrentExam();
}

void ExamWindow::applyOptions()
{
    if (m_options.highContrast != highContrast())
        applyContrast(m_options.highContrast);
    // In high contrast a chosen font colour is kept only where it reads.
    const auto inUse = [this](const QColor& chosen) {
        return m_scheme ? m_scheme->readable(chosen, m_scheme->palette.color(QPalette::Window))
                        : chosen;
    };
    m_questionText->setFont(complete(m_options.questionFont.font));
    setTextColour(m_questionText, inUse(m_options.questionFont.colour));
    m_itemContent->setFont(complete(m_options.answersFont.font));
    setTextColour(m_itemContent, inUse(m_options.answersFont.colour));
    m_explanationText->setFont(complete(m_options.explanationFont.font));
    setTextColour(m_explanationText, inUse(m_options.explanationFont.colour));
    // New fonts change every height: the item is stacked again at once.
    if (mode() != ModeIdle && m_exam->currentItemNumber() > 0)
        fitItemContent();
}

void ExamWindow::applyContrast(bool on)
{
    if (on)
        m_scheme = widgets::highContrastScheme(QApplication::palette());
    else
        m_scheme.reset();
    widgets::applySchemePalette(this, colourScheme());
    applyAccents();
    emit highContrastChanged(on);
}

void ExamWindow::applyAccents()
{
    if (m_scheme) {
        const QColor ground = m_scheme->headerBackground;
        const QColor text = m_scheme->headerText;
        QPalette header = m_headerPanel->palette();
        header.setColor(QPalette::Window, ground);
        m_headerPanel->setPalette(header);
        for (QWidget* w : m_headerPanel->findChildren<QWidget*>())
            setTextColour(w, text);
        for (widgets::ShadowLabel* l : {m_productBanner, m_itemCounterLabel}) {
            l->setTextColour(text);
            l->setShadowColour(Qt::transparent);
        }
        m_itemCounterLabel->setOutlined(false);
        const QColor panel = m_scheme->palette.color(QPalette::Window);
        for (QLabel* l : {m_examNumberLabel, m_examSubjectLabel, m_promptLabel})
            setTextColour(l, m_scheme->readable(l->palette().color(QPalette::WindowText), panel));
    } else {
        m_productBanner->setTextColour(QColor(0, 0, 128));
        m_productBanner->setShadowColour(Qt::white);
        m_itemCounterLabel->setTextColour(Qt::white);
        m_itemCounterLabel->setShadowColour(Qt::black);
        m_itemCounterLabel->setOutlined(true);
    }
    // The item shown takes the new colours for its key and verdict.
    if (mode() != ModeIdle && m_exam->currentItemNumber() > 0)
        showItemVerdict();
}

void ExamWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_optionsAction = file->addAction(QStringLiteral("&Options..."));
    m_optionsAction->setObjectName(QStringLiteral("optionsAction"));
    connect(m_optionsAction, &QAction::triggered, this, &ExamWindow::openOptions);
    m_printExamAction = file->addAction(QStringLiteral("Print all items in this exam"));
    m_printExamAction->setObjectName(QStringLiteral("printExamAction"));
    connect(m_printExamAction, &QAction::triggered, this, &ExamWindow::printExam);
    m_printItemAction = file->addAction(QStringLiteral("&Print this item"));
    m_printItemAction->setObjectName(QStringLiteral("printItemAction"));
    connect(m_printItemAction, &QAction::triggered, this, &ExamWindow::printItem);
    file->addSeparator();
    m_exitAction = file->addAction(QStringLiteral("E&xit"));
    m_exitAction->setObjectName(QStringLiteral("exitAction"));
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    m_examsMenu = menuBar()->addMenu(QStringLiteral("Exa&ms"));
    m_examsMenu->setObjectName(QStringLiteral("examsMenu"));
    for (int i = 0; i < 7; ++i) {
        m_practiceExamActions[i] =
            m_examsMenu->addAction(QStringLiteral("Practice Exam &%1").arg(QChar(u'A' + i)));
        m_practiceExamActions[i]->setObjectName(
            QStringLiteral("practiceExam%1").arg(QChar(u'A' + i)));
        connect(m_practiceExamActions[i], &QAction::triggered, this,
                [this, i] { startPracticeExam(i + 1); });
    }
    m_examsMenu->addSeparator();
    m_allQuestionsAction = m_examsMenu->addAction(QStringLiteral("&Take All &Questions"));
    m_allQuestionsAction->setObjectName(QStringLiteral("allQuestionsAction"));
    connect(m_allQuestionsAction, &QAction::triggered, this, &ExamWindow::startAllQuestions);
    m_randomExamAction = m_examsMenu->addAction(QStringLiteral("&Random Exam"));
    m_randomExamAction->setObjectName(QStringLiteral("randomExamAction"));
    connect(m_randomExamAction, &QAction::triggered, this, &ExamWindow::startRandomExam);
    m_userExamAction = m_examsMenu->addAction(QStringLiteral("&User Exam"));
    m_userExamAction->setObjectName(QStringLiteral("userExamAction"));
    connect(m_userExamAction, &QAction::triggered, this, &ExamWindow::startUserExam);
    buildHistoryMenu();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_aboutAction = help->addAction(QStringLiteral("Ab&out"));
    m_aboutAction->setObjectName(QStringLiteral("aboutAction"));
    connect(m_aboutAction, &QAction::triggered, this, &ExamWindow::aboutRequested);
}

void ExamWindow::buildHeader()
{
    m_headerPanel = new QWidget(this);
    m_headerPanel->setObjectName(QStringLiteral("headerPanel"));
    m_headerPanel->setFixedHeight(45);
    m_headerPanel->setAutoFillBackground(true);
    QPalette pal = m_headerPanel->palette();
    pal.setColor(QPalette::Window, QColor(176, 196, 222));
    m_headerPanel->setPalette(pal);
    m_headerPanel->installEventFilter(this);

    m_productBanner =
        new widgets::ShadowLabel(QStringLiteral("Quizlark TCP/IP 4.0"), m_headerPanel);
    m_productBanner->setObjectName(QStringLiteral("productBanner"));
    QFont banner(QStringLiteral("Arial"));
    banner.setPixelSize(24);
    banner.setBold(true);
    banner.setItalic(true);
    m_productBanner->setFont(banner);
    m_productBanner->setTextColour(QColor(0, 0, 128));
    m_productBanner->setShadowColour(Qt::white);
    m_productBanner->setAlignment(Qt::AlignCenter);

    m_itemCounterLabel = new widgets::ShadowLabel(QString(), m_headerPanel);
    m_itemCounterLabel->setObjectName(QStringLiteral("itemCounterLabel"));
    m_itemCounterLabel->setFont(verdana(13, true));
    m_itemCounterLabel->setTextColour(Qt::white);
    // White on the pale blue band alone is about 1.7:1; a dark outline keeps
    // the look and gives every glyph edge far more than 4.5:1.
    m_itemCounterLabel->setOutlined(true);
    m_itemCounterLabel->move(4, 4);
    m_itemIdLabel = new QLabel(m_headerPanel);
    m_itemIdLabel->setObjectName(QStringLiteral("itemIdLabel"));
    m_itemIdLabel->setFont(verdana(13, false));
    m_itemIdLabel->move(124, 4);
    m_markBox = new MarkCheckBox(QStringLiteral("&Mark this item"), m_headerPanel);
    m_markBox->setObjectName(QStringLiteral("markBox"));
    m_markBox->move(4, 24);
    m_markBox->adjustSize();
    connect(m_markBox, &QCheckBox::toggled, this, [this] { markToggled(); });
    m_verdictLabel = new widgets::ShadowLabel(QString(), m_headerPanel);
    m_verdictLabel->setObjectName(QStringLiteral("verdictLabel"));
    m_verdictLabel->setFont(verdana(13, true));
    m_verdictLabel->move(4, 24);
    m_examTitleLabel = new QLabel(m_headerPanel);
    m_examTitleLabel->setObjectName(QStringLiteral("examTitleLabel"));
    m_examTitleLabel->setFont(verdana(13, true));
    // A grey dark enough to read on the band (4.7:1).
    setTextColour(m_examTitleLabel, QColor(77, 77, 77));
    m_examTitleLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_timeLabel = new QLabel(m_headerPanel);
    m_timeLabel->setObjectName(QStringLiteral("timeLabel"));
    m_timeLabel->setFont(verdana(13, true));
    m_timeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_reviewLabel = new QLabel(QStringLiteral("Review items"), m_headerPanel);
    m_reviewLabel->setObjectName(QStringLiteral("reviewLabel"));
    m_reviewLabel->setFont(verdana(13, true));
    setTextColour(m_reviewLabel, QColor(0, 0, 128));
    m_reviewLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void ExamWindow::layoutHeader()
{
    const int w = m_headerPanel->width();
    m_productBanner->setGeometry(0, 0, w, 45);
    m_itemCounterLabel->adjustSize();
    m_itemIdLabel->adjustSize();
    m_verdictLabel->adjustSize();
    m_examTitleLabel->setGeometry(w / 2, 3, w / 2 - 8, 19);
    m_timeLabel->setGeometry(w / 2, 23, w / 2 - 8, 19);
    m_reviewLabel->setGeometry(w / 2, 23, w / 2 - 8, 19);
}

void ExamWindow::buildStartPanel()
{
    m_startPanel = new QWidget(this);
    m_startPanel->setObjectName(QStringLiteral("startPanel"));
    m_startPanel->setAutoFillBackground(true);
    QPalette pal = m_startPanel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    m_startPanel->setPalette(pal);
    m_startPanel->installEventFilter(this);

    auto makeLabel = [this](const QString& text, int px, bool bold, const QColor& colour) {
        auto* l = new QLabel(text, m_startPanel);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(px);
        f.setBold(bold);
        l->setFont(f);
        setTextColour(l, colour);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    m_examNumberLabel = makeLabel(QStringLiteral("Exam 70-059"), 26, true, QColor(0, 0, 128));
    m_examSubjectLabel = makeLabel(
        QStringLiteral("Internetworking with Microsoft TCP/IP on Microsoft Windows NT 4.0"), 18,
        true, QColor(0, 0, 128));
    m_examSubjectLabel->setWordWrap(true);
    m_promptLabel = makeLabel(QStringLiteral("Please select the practice exam you want to begin."),
                              15, false, Qt::black);

    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPixelSize(13);
    buttonFont.setBold(true);
    for (int i = 0; i < 7; ++i) {
        m_practiceExamButtons[i] = new widgets::ShapeButton(
            QStringLiteral("&%1").arg(QChar(u'A' + i)), QColor(128, 0, 128), m_startPanel);
        m_practiceExamButtons[i]->setObjectName(
            QStringLiteral("practiceExam%1Button").arg(QChar(u'A' + i)));
        m_practiceExamButtons[i]->setFixedSize(30, 30);
        m_practiceExamButtons[i]->setFont(buttonFont);
        m_practiceExamButtons[i]->move(0, 196);
        connect(m_practiceExamButtons[i], &QPushButton::clicked, m_practiceExamActions[i],
                &QAction::trigger);
    }
    const struct {
        widgets::ShapeButton** button;
        const char* name;
        const char* caption;
        QAction* action;
    } row[] = {
        {&m_allQuestionsButton, "allQuestionsButton", "All &Questions", m_allQuestionsAction},
        {&m_randomExamButton, "randomExamButton", "&Random Exam", m_randomExamAction},
        {&m_userExamButton, "userExamButton", "&User Exam", m_userExamAction}};
    for (const auto& r : row) {
        *r.button =
            new widgets::ShapeButton(QLatin1String(r.caption), QColor(0, 0, 128), m_startPanel);
        (*r.button)->setObjectName(QLatin1String(r.name));
        (*r.button)->setFixedSize(109, 30);
        (*r.button)->setFont(buttonFont);
        (*r.button)->move(0, 244);
        connect(*r.button, &QPushButton::clicked, r.action, &QAction::trigger);
    }
}

void ExamWindow::layoutStartPanel()
{
    const int w = m_startPanel->width();
    m_examNumberLabel->setGeometry(0, 48, w, 34);
    m_examSubjectLabel->setGeometry(20, 86, qMax(0, w - 40), 48);
    m_promptLabel->setGeometry(0, 150, w, 24);
}

void ExamWindow::buildItemArea()
{
    m_itemArea = new QScrollArea(this);
    m_itemArea->setObjectName(QStringLiteral("itemArea"));
    m_itemArea->setFrameShape(QFrame::NoFrame);
    m_itemArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_itemArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_itemArea->setWidgetResizable(false);
    m_itemContent = new QWidget;
    m_itemContent->setObjectName(QStringLiteral("itemContent"));
    m_itemContent->setAutoFillBackground(true);
    QPalette pal = m_itemContent->palette();
    pal.setColor(QPalette::Window, Qt::white);
    m_itemContent->setPalette(pal);
    m_itemArea->setWidget(m_itemContent);
    m_itemArea->viewport()->setAutoFillBackground(true);
    m_itemArea->viewport()->setPalette(pal);

    m_questionPanel = new QWidget(m_itemContent);
    m_questionPanel->setObjectName(QStringLiteral("questionPanel"));
    m_questionText = new QLabel(m_questionPanel);
    m_questionText->setObjectName(QStringLiteral("questionText"));
    m_questionText->setWordWrap(true);
    m_questionText->setTextFormat(Qt::PlainText);
    m_questionText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_questionText->setTextInteractionFlags(Qt::NoTextInteraction);
    m_questionRule = new QWidget(m_itemContent);
    m_questionRule->setObjectName(QStringLiteral("questionRule"));
    m_questionRule->setAutoFillBackground(true);
    QPalette blue = m_questionRule->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    m_questionRule->setPalette(blue);

    m_exhibit1Button = new QPushButton(QStringLiteral("Exhibit &1"), m_itemContent);
    m_exhibit1Button->setObjectName(QStringLiteral("exhibit1Button"));
    m_exhibit1Button->setGeometry(1, 0, 93, 25);
    m_exhibit2Button = new QPushButton(QStringLiteral("Exhibit &2"), m_itemContent);
    m_exhibit2Button->setObjectName(QStringLiteral("exhibit2Button"));
    m_exhibit2Button->setGeometry(96, 0, 93, 25);
    connect(m_exhibit1Button, &QPushButton::clicked, this, &ExamWindow::showExhibit1);
    connect(m_exhibit2Button, &QPushButton::clicked, this, &ExamWindow::showExhibit2);
    m_simulationButton = new QPushButton(QStringLiteral("&Select and Place"), m_itemContent);
    m_simulationButton->setObjectName(QStringLiteral("simulationButton"));
    m_simulationButton->setGeometry(1, 0, 132, 25);
    connect(m_simulationButton, &QPushButton::clicked, this, &ExamWindow::openSimulation);
    m_calculatorButton = new RunButton(m_services, m_itemContent);
    m_calculatorButton->setObjectName(QStringLiteral("calculatorButton"));
    m_calculatorButton->setFixedSize(37, 29);
    connect(m_calculatorButton, &QToolButton::clicked, this,
            [this] { run([this] { m_calculatorButton->run(); }); });

    m_radioGroup = new QButtonGroup(this);
    m_radioGroup->setExclusive(true);
    for (int i = 0; i < 6; ++i) {
        const QString caption = QStringLiteral("&%1.").arg(QChar(u'a' + i));
        m_choiceRadios[i] = new QRadioButton(caption, m_itemContent);
        m_choiceRadios[i]->setObjectName(QStringLiteral("choiceRadios%1").arg(i + 1));
        m_choiceRadios[i]->setGeometry(40, 0, 38, 17);
        m_radioGroup->addButton(m_choiceRadios[i], i + 1);
        connect(m_choiceRadios[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                choiceRadioToggled();
        });
        m_choiceBoxes[i] = new QCheckBox(caption, m_itemContent);
        m_choiceBoxes[i]->setObjectName(QStringLiteral("choiceBoxes%1").arg(i + 1));
        m_choiceBoxes[i]->setGeometry(40, 0, 38, 17);
        m_choiceRadios[i]->installEventFilter(this);
        m_choiceBoxes[i]->installEventFilter(this);
        connect(m_choiceBoxes[i], &QCheckBox::toggled, this,
                [this, i] { choiceBoxToggled(i + 1); });
        m_choiceLabels[i] = new ClickLabel(m_itemContent);
        m_choiceLabels[i]->setObjectName(QStringLiteral("choiceLabels%1").arg(i + 1));
        m_choiceLabels[i]->setWordWrap(true);
        m_choiceLabels[i]->setTextFormat(Qt::PlainText);
        m_choiceLabels[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_choiceLabels[i]->setAutoFillBackground(true);
        m_choiceLabels[i]->move(80, 0);
        connect(m_choiceLabels[i], &ClickLabel::clicked, this,
                [this, i] { choiceLabelClicked(i + 1); });
    }
    m_explanationText = new QLabel(m_itemContent);
    m_explanationText->setObjectName(QStringLiteral("explanationText"));
    m_explanationText->setWordWrap(true);
    m_explanationText->setTextFormat(Qt::PlainText);
    m_explanationText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_explanationText->move(8, 0);
    m_explanationText->hide();
    // A word wider than the line (an address, a path) is broken, not cut off.
    auto* wrap = new widgets::AnywhereWrap(this);
    wrap->watch(m_questionText);
    for (QLabel* label : m_choiceLabels)
        wrap->watch(label);
    wrap->watch(m_explanationText);
}

void ExamWindow::buildButtonStrip()
{
    m_buttonStrip = new QWidget(this);
    m_buttonStrip->setObjectName(QStringLiteral("buttonStrip"));
    m_buttonStrip->setFixedHeight(41);
    m_buttonStrip->installEventFilter(this);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(13);
    const struct {
        QPushButton** button;
        const char* name;
        const char* caption;
        int left, width;
    } buttons[] = {{&m_previousButton, "previousButton", "&< Previous Item", 8, 105},
                   {&m_nextButton, "nextButton", "Next Item &>", 116, 105},
                   {&m_learnButton, "learnButton", "&Learn Now", 224, 93},
                   {&m_itemsReviewButton, "itemsReviewButton", "Items &Review", 320, 93},
                   {&m_noteButton, "noteButton", "&Note", 416, 75},
                   {&m_gradeButton, "gradeButton", "&Grade Now", 494, 93},
                   {&m_exitExamButton, "exitExamButton", "E&xit Exam", 0, 93}};
    for (const auto& b : buttons) {
        *b.button = new QPushButton(QLatin1String(b.caption), m_buttonStrip);
        (*b.button)->setObjectName(QLatin1String(b.name));
        (*b.button)->setFont(f);
        (*b.button)->setGeometry(b.left, 8, b.width, 29);
        (*b.button)->setAutoDefault(false);
    }
    connect(m_previousButton, &QPushButton::clicked, this, &ExamWindow::showPreviousItem);
    connect(m_nextButton, &QPushButton::clicked, this, &ExamWindow::showNextItem);
    connect(m_learnButton, &QPushButton::clicked, this, &ExamWindow::revealAnswer);
    connect(m_itemsReviewButton, &QPushButton::clicked, this, &ExamWindow::openItemsReview);
    connect(m_noteButton, &QPushButton::clicked, this, &ExamWindow::openNote);
    connect(m_gradeButton, &QPushButton::clicked, this, &ExamWindow::gradeOrShowReport);
    connect(m_exitExamButton, &QPushButton::clicked, this, &ExamWindow::exitExam);
}

void ExamWindow::buildKeys()
{
    // Plain keys answer wherever the focus is in this window (after Alt+M
    // it is on the mark box): a letter typed there must never be lost. A
    // text field takes its letters before any shortcut sees them; the check
    // below keeps it so should one ever take the keys from its parent.
    for (int i = 0; i < 6; ++i) {
        for (const int key : {Qt::Key_A + i, Qt::Key_1 + i}) {
            auto* s = new QShortcut(QKeySequence(key), this);
            s->setContext(Qt::WindowShortcut);
            connect(s, &QShortcut::activated, this, [this, i] {
                if (!focusTakesText())
                    chooseByKey(i + 1);
            });
        }
    }
    // click(), not the mnemonic's animateClick(): the move happens at once.
    const auto press = [](QPushButton* b) {
        if (b->isVisible() && b->isEnabled())
            b->click();
    };
    const struct {
        QKeySequence key;
        QPushButton* button;
    } keys[] = {{QKeySequence(Qt::Key_PageDown), m_nextButton},
                {QKeySequence(Qt::CTRL | Qt::Key_Right), m_nextButton},
                {QKeySequence(Qt::Key_PageUp), m_previousButton},
                {QKeySequence(Qt::CTRL | Qt::Key_Left), m_previousButton},
                {QKeySequence(Qt::CTRL | Qt::Key_G), m_gradeButton}};
    for (const auto& k : keys) {
        auto* s = new QShortcut(k.key, this);
        QPushButton* b = k.button;
        connect(s, &QShortcut::activated, this, [this, press, b] {
            QWidget* focus = QApplication::focusWidget();
            const bool inItem = focus && (focus == m_itemArea || m_itemArea->isAncestorOf(focus));
            press(b);
            // Showing the next item hides and shows its choices, which
            // pushes the focus out of the item area; it goes back to the
            // first choice so that the letter keys go on working.
            if (inItem && m_itemArea->isVisible())
                focusFirstChoice();
        });
    }
    m_gradeButton->setToolTip(QStringLiteral("Grade the exam (Ctrl+G)"));
    m_nextButton->setToolTip(QStringLiteral("Next item (Alt+>, Page Down, Ctrl+Right)"));
    m_previousButton->setToolTip(QStringLiteral("Previous item (Alt+<, Page Up, Ctrl+Left)"));
}

void ExamWindow::focusFirstChoice()
{
    for (int i = 0; i < 6; ++i)
        for (QAbstractButton* b : {static_cast<QAbstractButton*>(m_choiceRadios[i]),
                                   static_cast<QAbstractButton*>(m_choiceBoxes[i])})
            if (b->isVisible() && b->isEnabled()) {
                b->setFocus(Qt::TabFocusReason);
                return;
            }
    m_itemArea->setFocus(Qt::TabFocusReason);
}

bool ExamWindow::focusTakesText() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    if (const auto* combo = qobject_cast<const QComboBox*>(focus))
        return combo->isEditable();
    return qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QTextEdit*>(focus) ||
           qobject_cast<const QPlainTextEdit*>(focus) ||
           qobject_cast<const QAbstractSpinBox*>(focus);
}

void ExamWindow::chooseByKey(int row)
{
    QAbstractButton* b = m_choiceRadios[row - 1]->isVisible()
                             ? static_cast<QAbstractButton*>(m_choiceRadios[row - 1])
                             : m_choiceBoxes[row - 1];
    if (!b->isVisible() || !b->isEnabled())
        return;
    b->setFocus(Qt::ShortcutFocusReason);
    b->click();
}

void ExamWindow::nameControls()
{
    widgets::installAccessibleFactories();
    m_headerPanel->setAccessibleName(QStringLiteral("Item header"));
    // Labels are read by their text; the description says what they are.
    m_itemCounterLabel->setAccessibleDescription(QStringLiteral("Item counter"));
    m_itemIdLabel->setAccessibleDescription(QStringLiteral("Item identifier"));
    m_verdictLabel->setAccessibleDescription(QStringLiteral("Verdict"));
    m_examTitleLabel->setAccessibleDescription(QStringLiteral("Exam title"));
    m_questionText->setAccessibleDescription(QStringLiteral("Question"));
    m_itemArea->setAccessibleName(QStringLiteral("Item"));
    // The countdown's name changes once a minute, not with every second the
    // label shows, so that a screen reader is not made to read it each second.
    m_timeLabel->setAccessibleName(QStringLiteral("Time left"));
    m_timeLabel->setAccessibleDescription(QStringLiteral("Countdown, in minutes"));
    m_calculatorButton->setAccessibleName(QStringLiteral("Calculator"));
    m_simulationButton->setAccessibleDescription(
        QStringLiteral("Opens the select-and-place exercise of this item"));
    for (int i = 0; i < 7; ++i)
        m_practiceExamButtons[i]->setAccessibleName(
            QStringLiteral("Practice Exam %1").arg(QChar(u'A' + i)));
    for (int i = 0; i < 6; ++i) {
        const QString name = QStringLiteral("Choice %1").arg(QChar(u'a' + i));
        m_choiceRadios[i]->setAccessibleName(name);
        m_choiceBoxes[i]->setAccessibleName(name);
        // A choice's text label is read by its text, line by line as well.
    }
    m_gradeButton->setAccessibleDescription(QStringLiteral("Ctrl+G"));
}

bool ExamWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A choice whose letter is also a menu title's (f and "&File"): the
    // menu wins, as it does for the exam buttons, so that Alt+F is the File
    // menu on every item and never sometimes the choice.
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(event)->isAmbiguous() &&
        (std::find(std::begin(m_choiceRadios), std::end(m_choiceRadios), watched) !=
             std::end(m_choiceRadios) ||
         std::find(std::begin(m_choiceBoxes), std::end(m_choiceBoxes), watched) !=
             std::end(m_choiceBoxes))) {
        const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
        for (QAction* a : menuBar()->actions()) {
            if (a->isEnabled() && QKeySequence::mnemonic(a->text()) == key) {
                menuBar()->setActiveAction(a);
                return true;
            }
        }
    }
    if (event->type() == QEvent::Resize) {
        if (watched == m_headerPanel)
            layoutHeader();
        else if (watched == m_startPanel)
            layoutStartPanel();
        else if (watched == m_buttonStrip)
            m_exitExamButton->move(m_buttonStrip->width() - 101, 8);
    }
    return QMainWindow::eventFilter(watched, event);
}

void ExamWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    relayout();
}

} // namespace session
