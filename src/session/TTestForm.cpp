// The exam window's creation and the building of its controls.
#include "TTestForm.h"

#include "DataSource.h"
#include "ExamSetBuilder.h"
#include "Schemas.h"
#include "Services.h"
#include "Session.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "Table.h"
#include "TimeCounter.h"
#include "RunButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcutEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace session {

namespace {

QFont verdana(int px, bool bold)
{
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
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

TTestForm::TTestForm(platform::Services& services, const QString& windowsDir, QWidget* parent)
    : QMainWindow(parent), m_services(services)
{
    setObjectName(QStringLiteral("TestForm"));
    WindowsDir = windowsDir;
    m_session = std::make_unique<store::Session>(QString::fromLatin1(store::kSessionName));
    m_qset = std::make_unique<store::Table>(*m_session, QString::fromLatin1(store::kBankFile),
                                            store::bankSchema());
    m_currentSet = std::make_unique<store::Table>(
        *m_session, QString::fromLatin1(store::kCurrentSetFile), store::currentSetSchema(), true);
    m_userSet = std::make_unique<store::Table>(*m_session, QString::fromLatin1(store::kUserSetFile),
                                               store::userSetSchema());
    m_dsQSet = new store::DataSource(m_qset.get(), this);
    m_dsQSet->setObjectName(QStringLiteral("dsQSet"));
    m_dsCurrentSet = new store::DataSource(m_currentSet.get(), this);
    m_dsCurrentSet->setObjectName(QStringLiteral("dsCurrentSet"));
    m_dsUserSet = new store::DataSource(m_userSet.get(), this);
    m_dsUserSet->setObjectName(QStringLiteral("dsUserSet"));
    m_builder = std::make_unique<store::ExamSetBuilder>(nullptr);
    Timer1 = new TKZTimeCounter(services, this);
    connect(Timer1, &TKZTimeCounter::OnTimer, this, &TTestForm::Timer1Timer);
    connect(m_dsCurrentSet, &store::DataSource::dataChanged, this,
            [this] { dsCurrentSetDataChange(); });

    buildMenus();
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    buildHeader();
    v->addWidget(HeaderPanel);
    m_middle = new QWidget(central);
    auto* grid = new QGridLayout(m_middle);
    grid->setContentsMargins(0, 0, 0, 0);
    buildStartPanel();
    buildItemArea();
    grid->addWidget(Panel4, 0, 0);
    grid->addWidget(ScrollBox1, 0, 0);
    v->addWidget(m_middle, 1);
    buildButtonStrip();
    v->addWidget(Panel2);
    setCentralWidget(central);

    FormCreate();
}

TTestForm::~TTestForm()
{
    // The tables go before their data sources' owner lets them go.
    m_qset->close();
    m_currentSet->close();
    m_userSet->close();
    delete m_dsQSet;
    delete m_dsCurrentSet;
    delete m_dsUserSet;
}

void TTestForm::setProgressForm(store::TProgressForm* form)
{
    m_progressForm = form;
    m_builder = std::make_unique<store::ExamSetBuilder>(form, m_seed);
}

void TTestForm::setSeedSource(std::function<std::uint64_t()> seed)
{
    m_seed = std::move(seed);
    m_builder = std::make_unique<store::ExamSetBuilder>(m_progressForm, m_seed);
}

void TTestForm::FormCreate()
{
    // Durations are formatted by our own h:mm:ss writer, so no time-format
    // designators need changing here.
    m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
    setWindowState(Qt::WindowMaximized);
    setWindowTitle(QStringLiteral("Quizlark TCP/IP 4.0"));
    setMinimumSize(732, 502);
    resize(732, 505);
    Mode = ModeIdle;
    // Defaults of the design: every font "MS Sans Serif" until the options
    // say otherwise.
    const QFont design(QStringLiteral("MS Sans Serif"));
    Options.questionFont.font = design;
    Options.answersFont.font = design;
    Options.explanationFont.font = design;
    options::LoadOptions(m_services.settings(), Options, WindowsDir,
                         [](const QString& p) { return QFileInfo(p).isFile(); });
    ShowLearnBtn = Options.ShowLearnBtn;
    ShowCalcBtn = Options.ShowCalcBtn;
    TimerOn = Options.TimerOn;
    DefaultTime = Options.DefaultTime;
    CalcPath = Options.CalcPath;
    LearnButton->setVisible(ShowLearnBtn);
    bool calculator = QFileInfo::exists(CalcPath);
    if (calculator) {
        try {
            CalcButton->setCommandLine(CalcPath);
        } catch (const std::exception&) {
            // No window is up yet to report to; a file that is no program
            // is treated as no calculator.
            calculator = false;
        }
    }
    if (calculator) {
        CalcButton->setVisible(ShowCalcBtn);
    } else {
        // The stored option is left alone; the options dialog writes it.
        CalcButton->setVisible(false);
        ShowCalcBtn = false;
    }
    applyOptions();
    CloseCurrentExam();
}

void TTestForm::applyOptions()
{
    QText->setFont(Options.questionFont.font);
    setTextColour(QText, Options.questionFont.colour);
    ItemContent->setFont(Options.answersFont.font);
    setTextColour(ItemContent, Options.answersFont.colour);
    ExpText->setFont(Options.explanationFont.font);
    setTextColour(ExpText, Options.explanationFont.colour);
}

void TTestForm::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Preferences1 = file->addAction(QStringLiteral("&Options..."));
    Preferences1->setObjectName(QStringLiteral("Preferences1"));
    connect(Preferences1, &QAction::triggered, this, &TTestForm::Preferences1Click);
    Print2 = file->addAction(QStringLiteral("Print all items in this exam"));
    Print2->setObjectName(QStringLiteral("Print2"));
    connect(Print2, &QAction::triggered, this, &TTestForm::Print2Click);
    Print1 = file->addAction(QStringLiteral("&Print this item"));
    Print1->setObjectName(QStringLiteral("Print1"));
    connect(Print1, &QAction::triggered, this, &TTestForm::Print1Click);
    file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    N21 = menuBar()->addMenu(QStringLiteral("Exa&ms"));
    N21->setObjectName(QStringLiteral("N21"));
    for (int i = 0; i < 7; ++i) {
        ExamAction[i] = N21->addAction(QStringLiteral("Practice Exam &%1").arg(QChar(u'A' + i)));
        ExamAction[i]->setObjectName(QStringLiteral("Action%1").arg(i + 1));
        connect(ExamAction[i], &QAction::triggered, this, [this, i] { ActionExecute(i + 1); });
    }
    N21->addSeparator();
    AllQAct = N21->addAction(QStringLiteral("&Take All &Questions"));
    AllQAct->setObjectName(QStringLiteral("AllQAct"));
    connect(AllQAct, &QAction::triggered, this, &TTestForm::AllQActExecute);
    RandAct = N21->addAction(QStringLiteral("&Random Exam"));
    RandAct->setObjectName(QStringLiteral("RandAct"));
    connect(RandAct, &QAction::triggered, this, &TTestForm::RandActExecute);
    UserAct = N21->addAction(QStringLiteral("&User Exam"));
    UserAct->setObjectName(QStringLiteral("UserAct"));
    connect(UserAct, &QAction::triggered, this, &TTestForm::UserActExecute);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    About1 = help->addAction(QStringLiteral("Ab&out"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, &TTestForm::aboutRequested);
}

void TTestForm::buildHeader()
{
    HeaderPanel = new QWidget(this);
    HeaderPanel->setObjectName(QStringLiteral("Panel1"));
    HeaderPanel->setFixedHeight(45);
    HeaderPanel->setAutoFillBackground(true);
    QPalette pal = HeaderPanel->palette();
    pal.setColor(QPalette::Window, QColor(176, 196, 222));
    HeaderPanel->setPalette(pal);
    HeaderPanel->installEventFilter(this);

    fcLabel1 = new platform::ShadowLabel(QStringLiteral("Quizlark TCP/IP 4.0"), HeaderPanel);
    fcLabel1->setObjectName(QStringLiteral("fcLabel1"));
    QFont banner(QStringLiteral("Arial"));
    banner.setPixelSize(24);
    banner.setBold(true);
    banner.setItalic(true);
    fcLabel1->setFont(banner);
    fcLabel1->setTextColour(QColor(0, 0, 128));
    fcLabel1->setShadowColour(Qt::white);
    fcLabel1->setAlignment(Qt::AlignCenter);

    Label1 = new platform::ShadowLabel(QString(), HeaderPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(verdana(13, true));
    Label1->setTextColour(Qt::white);
    Label1->move(4, 4);
    Label2 = new QLabel(HeaderPanel);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(verdana(13, false));
    Label2->move(124, 4);
    MarkBox = new MarkCheckBox(QStringLiteral("&Mark this item"), HeaderPanel);
    MarkBox->setObjectName(QStringLiteral("MarkBox"));
    MarkBox->move(4, 24);
    MarkBox->adjustSize();
    connect(MarkBox, &QCheckBox::toggled, this, [this] { MarkBoxClick(); });
    CorrectLabel = new platform::ShadowLabel(QString(), HeaderPanel);
    CorrectLabel->setObjectName(QStringLiteral("CorrectLabel"));
    CorrectLabel->setFont(verdana(13, true));
    CorrectLabel->move(4, 24);
    Label3 = new QLabel(HeaderPanel);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(verdana(13, true));
    setTextColour(Label3, QColor(96, 96, 96));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TimeLabel = new QLabel(HeaderPanel);
    TimeLabel->setObjectName(QStringLiteral("TimeLabel"));
    TimeLabel->setFont(verdana(13, true));
    TimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ReviewLabel = new QLabel(QStringLiteral("Review items"), HeaderPanel);
    ReviewLabel->setObjectName(QStringLiteral("ReviewLabel"));
    ReviewLabel->setFont(verdana(13, true));
    setTextColour(ReviewLabel, QColor(0, 0, 128));
    ReviewLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TTestForm::layoutHeader()
{
    const int w = HeaderPanel->width();
    fcLabel1->setGeometry(0, 0, w, 45);
    Label1->adjustSize();
    Label2->adjustSize();
    CorrectLabel->adjustSize();
    Label3->setGeometry(w / 2, 3, w / 2 - 8, 19);
    TimeLabel->setGeometry(w / 2, 23, w / 2 - 8, 19);
    ReviewLabel->setGeometry(w / 2, 23, w / 2 - 8, 19);
}

void TTestForm::buildStartPanel()
{
    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setAutoFillBackground(true);
    QPalette pal = Panel4->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Panel4->setPalette(pal);
    Panel4->installEventFilter(this);

    auto makeLabel = [this](const QString& text, int px, bool bold, const QColor& colour) {
        auto* l = new QLabel(text, Panel4);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(px);
        f.setBold(bold);
        l->setFont(f);
        setTextColour(l, colour);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    TitleLabel1 = makeLabel(QStringLiteral("Exam 70-059"), 26, true, QColor(0, 0, 128));
    TitleLabel2 = makeLabel(
        QStringLiteral("Internetworking with Microsoft TCP/IP on Microsoft Windows NT 4.0"), 18,
        true, QColor(0, 0, 128));
    TitleLabel2->setWordWrap(true);
    PromptLabel = makeLabel(QStringLiteral("Please select the practice exam you want to begin."),
                            15, false, Qt::black);

    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPixelSize(13);
    buttonFont.setBold(true);
    for (int i = 0; i < 7; ++i) {
        fcShapeBtn[i] = new platform::ShapeButton(QStringLiteral("&%1").arg(QChar(u'A' + i)),
                                                  QColor(128, 0, 128), Panel4);
        fcShapeBtn[i]->setObjectName(QStringLiteral("fcShapeBtn%1").arg(i + 1));
        fcShapeBtn[i]->setFixedSize(30, 30);
        fcShapeBtn[i]->setFont(buttonFont);
        fcShapeBtn[i]->move(0, 196);
        connect(fcShapeBtn[i], &QPushButton::clicked, ExamAction[i], &QAction::trigger);
    }
    const struct {
        platform::ShapeButton** button;
        const char* name;
        const char* caption;
        QAction* action;
    } row[] = {{&AllQBtn, "AllQBtn", "All &Questions", AllQAct},
               {&RandomBtn, "RandomBtn", "&Random Exam", RandAct},
               {&UserBtn, "UserBtn", "&User Exam", UserAct}};
    for (const auto& r : row) {
        *r.button = new platform::ShapeButton(QLatin1String(r.caption), QColor(0, 0, 128), Panel4);
        (*r.button)->setObjectName(QLatin1String(r.name));
        (*r.button)->setFixedSize(109, 30);
        (*r.button)->setFont(buttonFont);
        (*r.button)->move(0, 244);
        connect(*r.button, &QPushButton::clicked, r.action, &QAction::trigger);
    }
}

void TTestForm::layoutStartPanel()
{
    const int w = Panel4->width();
    TitleLabel1->setGeometry(0, 48, w, 34);
    TitleLabel2->setGeometry(20, 86, qMax(0, w - 40), 48);
    PromptLabel->setGeometry(0, 150, w, 24);
}

void TTestForm::buildItemArea()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setWidgetResizable(false);
    ItemContent = new QWidget;
    ItemContent->setObjectName(QStringLiteral("ItemContent"));
    ItemContent->setAutoFillBackground(true);
    QPalette pal = ItemContent->palette();
    pal.setColor(QPalette::Window, Qt::white);
    ItemContent->setPalette(pal);
    ScrollBox1->setWidget(ItemContent);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    ScrollBox1->viewport()->setPalette(pal);

    QPanel = new QWidget(ItemContent);
    QPanel->setObjectName(QStringLiteral("QPanel"));
    QText = new QLabel(QPanel);
    QText->setObjectName(QStringLiteral("QText"));
    QText->setWordWrap(true);
    QText->setTextFormat(Qt::PlainText);
    QText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QText->setTextInteractionFlags(Qt::NoTextInteraction);
    Shape1 = new QWidget(ItemContent);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAutoFillBackground(true);
    QPalette blue = Shape1->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    Shape1->setPalette(blue);

    ExhBtnA = new QPushButton(QStringLiteral("Exhibit &1"), ItemContent);
    ExhBtnA->setObjectName(QStringLiteral("ExhBtnA"));
    ExhBtnA->setGeometry(1, 0, 93, 25);
    ExhBtnB = new QPushButton(QStringLiteral("Exhibit &2"), ItemContent);
    ExhBtnB->setObjectName(QStringLiteral("ExhBtnB"));
    ExhBtnB->setGeometry(96, 0, 93, 25);
    connect(ExhBtnA, &QPushButton::clicked, this, &TTestForm::ExhBtnAClick);
    connect(ExhBtnB, &QPushButton::clicked, this, &TTestForm::ExhBtnBClick);
    SimButton = new QPushButton(QStringLiteral("&Select and Place"), ItemContent);
    SimButton->setObjectName(QStringLiteral("SimButton"));
    SimButton->setGeometry(1, 0, 132, 25);
    connect(SimButton, &QPushButton::clicked, this, &TTestForm::SimButtonClick);
    CalcButton = new TddgRunButton(m_services, ItemContent);
    CalcButton->setObjectName(QStringLiteral("CalcButton"));
    CalcButton->setFixedSize(37, 29);
    connect(CalcButton, &QToolButton::clicked, this, [this] { run([this] { CalcButton->run(); }); });

    m_radioGroup = new QButtonGroup(this);
    m_radioGroup->setExclusive(true);
    for (int i = 0; i < 6; ++i) {
        const QString caption = QStringLiteral("&%1.").arg(QChar(u'a' + i));
        RadioButton[i] = new QRadioButton(caption, ItemContent);
        RadioButton[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        RadioButton[i]->setGeometry(40, 0, 38, 17);
        m_radioGroup->addButton(RadioButton[i], i + 1);
        connect(RadioButton[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                RadioButton1Click();
        });
        CheckBox[i] = new QCheckBox(caption, ItemContent);
        CheckBox[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        CheckBox[i]->setGeometry(40, 0, 38, 17);
        connect(CheckBox[i], &QCheckBox::toggled, this, [this, i] { CheckBoxClick(i + 1); });
        ALabel[i] = new ClickLabel(ItemContent);
        ALabel[i]->setObjectName(QStringLiteral("ALabel%1").arg(i + 1));
        ALabel[i]->setWordWrap(true);
        ALabel[i]->setTextFormat(Qt::PlainText);
        ALabel[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        ALabel[i]->setAutoFillBackground(true);
        ALabel[i]->move(80, 0);
        connect(ALabel[i], &ClickLabel::clicked, this, [this, i] { ALabelClick(i + 1); });
    }
    ExpText = new QLabel(ItemContent);
    ExpText->setObjectName(QStringLiteral("ExpText"));
    ExpText->setWordWrap(true);
    ExpText->setTextFormat(Qt::PlainText);
    ExpText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ExpText->move(8, 0);
    ExpText->hide();
}

void TTestForm::buildButtonStrip()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(41);
    Panel2->installEventFilter(this);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(13);
    const struct {
        QPushButton** button;
        const char* name;
        const char* caption;
        int left, width;
    } buttons[] = {{&PrevButton, "PrevButton", "&< Previous Item", 8, 105},
                   {&NextButton, "NextButton", "Next Item &>", 116, 105},
                   {&LearnButton, "LearnButton", "&Learn Now", 224, 93},
                   {&Button1, "Button1", "Items &Review", 320, 93},
                   {&NoteButton, "NoteButton", "&Note", 416, 75},
                   {&GradeButton, "GradeButton", "&Grade Now", 494, 93},
                   {&Button3, "Button3", "E&xit Exam", 0, 93}};
    for (const auto& b : buttons) {
        *b.button = new QPushButton(QLatin1String(b.caption), Panel2);
        (*b.button)->setObjectName(QLatin1String(b.name));
        (*b.button)->setFont(f);
        (*b.button)->setGeometry(b.left, 8, b.width, 29);
        (*b.button)->setAutoDefault(false);
    }
    connect(PrevButton, &QPushButton::clicked, this, &TTestForm::PrevButtonClick);
    connect(NextButton, &QPushButton::clicked, this, &TTestForm::NextButtonClick);
    connect(LearnButton, &QPushButton::clicked, this, &TTestForm::LearnButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TTestForm::Button1Click);
    connect(NoteButton, &QPushButton::clicked, this, &TTestForm::NoteButtonClick);
    connect(GradeButton, &QPushButton::clicked, this, &TTestForm::GradeButtonClick);
    connect(Button3, &QPushButton::clicked, this, &TTestForm::Button3Click);
}

bool TTestForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == HeaderPanel)
            layoutHeader();
        else if (watched == Panel4)
            layoutStartPanel();
        else if (watched == Panel2)
            Button3->move(Panel2->width() - 101, 8);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TTestForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

} // namespace session
