#include "TOptionsForm.h"

#include "ErrorReport.h"
#include "Services.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace options {

namespace {

constexpr int kMinTime = 1;
constexpr int kMaxTime = 9000;

} // namespace

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), m_buttons(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(4);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons->addButton(button, i);
        layout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit clicked(i);
        });
    }
}

int RadioGroup::itemIndex() const
{
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* button = m_buttons->button(index))
        button->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const
{
    return static_cast<QRadioButton*>(m_buttons->button(index));
}

TOptionsForm::TOptionsForm(platform::Services& services, QWidget* parent)
    : QDialog(parent), m_services(services)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(385, 341);

    buildFontGroup();
    buildPages();

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(298, 306, 79, 27);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TOptionsForm::BitBtn1Click);
}

void TOptionsForm::buildFontGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Fonts"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 369, 121);

    ListBox1 = new QListWidget(GroupBox1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems(
        {QStringLiteral("Question"), QStringLiteral("Answers"), QStringLiteral("Explanation")});
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setGeometry(12, 22, 121, 60);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TOptionsForm::ListBox1Click);

    BitBtn3 = new QPushButton(QStringLiteral("Change Font"), GroupBox1);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(12, 88, 121, 25);
    BitBtn3->setAutoDefault(false);
    connect(BitBtn3, &QPushButton::clicked, this, &TOptionsForm::BitBtn3Click);

    Panel1 = new QLabel(QStringLiteral("Example"), GroupBox1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(144, 22, 213, 91);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
}

void TOptionsForm::buildPages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 136, 369, 161);

    auto* learnPage = new QWidget;
    learnPage->setObjectName(QStringLiteral("TabSheet1"));
    LearnBtnGroup = new RadioGroup(QStringLiteral("Learn Now Button"),
                                   {QStringLiteral("Show 'Learn Now' button (not recomended)"),
                                    QStringLiteral("Do not show 'Learn Now' button")},
                                   learnPage);
    LearnBtnGroup->setObjectName(QStringLiteral("LearnBtnGroup"));
    LearnBtnGroup->setGeometry(8, 8, 345, 77);
    connect(LearnBtnGroup, &RadioGroup::clicked, this, &TOptionsForm::LearnBtnGroupClick);
    PageControl1->addTab(learnPage, QStringLiteral("'Learn Now' button"));

    auto* calcPage = new QWidget;
    calcPage->setObjectName(QStringLiteral("TabSheet2"));
    CalcBtnGroup = new RadioGroup(
        QStringLiteral("Calculator Button"),
        {QStringLiteral("Show calculator button"), QStringLiteral("Do not show calculator button")},
        calcPage);
    CalcBtnGroup->setObjectName(QStringLiteral("CalcBtnGroup"));
    CalcBtnGroup->setGeometry(8, 4, 345, 65);
    connect(CalcBtnGroup, &RadioGroup::clicked, this, &TOptionsForm::CalcBtnGroupClick);
    Label1 = new QLabel(QStringLiteral("Calculator path:"), calcPage);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 74, 200, 16);
    Edit1 = new QLineEdit(calcPage);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 92, 317, 23);
    SpeedButton1 = new QToolButton(calcPage);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Browse"));
    SpeedButton1->setGeometry(328, 92, 25, 23);
    connect(SpeedButton1, &QToolButton::clicked, this, &TOptionsForm::SpeedButton1Click);
    Label1->setBuddy(Edit1);
    PageControl1->addTab(calcPage, QStringLiteral("Calculator"));

    auto* timerPage = new QWidget;
    timerPage->setObjectName(QStringLiteral("TabSheet3"));
    TimerGroup =
        new RadioGroup(QStringLiteral("Timer"),
                       {QStringLiteral("Timer On"), QStringLiteral("Timer Off")}, timerPage);
    TimerGroup->setObjectName(QStringLiteral("TimerGroup"));
    TimerGroup->setGeometry(8, 4, 345, 65);
    connect(TimerGroup, &RadioGroup::clicked, this, &TOptionsForm::TimerGroupClick);
    Label2 = new QLabel(QStringLiteral("Deafault Time (min):"), timerPage);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 84, 130, 16);
    SpinEdit1 = new QSpinBox(timerPage);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(kMinTime, kMaxTime);
    SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    SpinEdit1->setGeometry(140, 80, 73, 23);
    Label2->setBuddy(SpinEdit1);
    PageControl1->addTab(timerPage, QStringLiteral("Timer"));
}

void TOptionsForm::open(OptionValues& values)
{
    m_values = &values;
    PageControl1->setCurrentIndex(0);
    SpinEdit1->setValue(qBound(kMinTime, values.DefaultTime, kMaxTime));
    Edit1->setText(values.CalcPath);
    LearnBtnGroup->setItemIndex(values.ShowLearnBtn ? 0 : 1);
    TimerGroup->setItemIndex(values.TimerOn ? 0 : 1);
    CalcBtnGroup->setItemIndex(values.ShowCalcBtn ? 0 : 1);
    // A group whose selection did not change fired no click; the flags
    // still follow the selection.
    LearnBtnGroupClick();
    TimerGroupClick();
    CalcBtnGroupClick();
}

void TOptionsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TOptionsForm::FormActivate()
{
    ListBox1->setCurrentRow(0);
    ListBox1Click();
}

FontOption* TOptionsForm::selectedFont() const
{
    if (!m_values)
        return nullptr;
    switch (ListBox1->currentRow()) {
    case 0:
        return &m_values->questionFont;
    case 1:
        return &m_values->answersFont;
    case 2:
        return &m_values->explanationFont;
    default:
        return nullptr;
    }
}

void TOptionsForm::ListBox1Click()
{
    const FontOption* option = selectedFont();
    if (!option)
        return;
    Panel1->setText(ListBox1->currentItem()->text());
    Panel1->setFont(option->font);
    QPalette p = Panel1->palette();
    p.setColor(QPalette::WindowText, option->colour);
    Panel1->setPalette(p);
}

void TOptionsForm::BitBtn3Click()
{
    const std::optional<QFont> chosen = m_services.chooseFont(this, Panel1->font());
    if (chosen) {
        if (FontOption* option = selectedFont()) {
            option->font = *chosen;
            emit fontsChanged();
        }
    }
    ListBox1Click();
}

void TOptionsForm::LearnBtnGroupClick()
{
    m_learn = LearnBtnGroup->itemIndex() == 0;
}

void TOptionsForm::CalcBtnGroupClick()
{
    m_calc = CalcBtnGroup->itemIndex() == 0;
}

void TOptionsForm::TimerGroupClick()
{
    m_timer = TimerGroup->itemIndex() == 0;
}

void TOptionsForm::SpeedButton1Click()
{
    const QString current = Edit1->text().trimmed();
    const QString dir = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    // Programs on this desktop carry no file extension of their own.
    const QString file =
        m_services.chooseOpenFile(this, QString(), dir, QStringLiteral("Executable file (*)"));
    if (!file.isEmpty())
        Edit1->setText(file);
}

int TOptionsForm::timeFromField() const
{
    bool ok = false;
    const int minutes = SpinEdit1->cleanText().trimmed().toInt(&ok);
    return ok ? qBound(kMinTime, minutes, kMaxTime) : kMinTime;
}

void TOptionsForm::BitBtn1Click()
{
    if (m_values) {
        const int minutes = timeFromField();
        SpinEdit1->setValue(minutes);
        m_values->ShowLearnBtn = m_learn;
        m_values->TimerOn = m_timer;
        m_values->ShowCalcBtn = m_calc;
        m_values->DefaultTime = minutes;
        m_values->CalcPath = Edit1->text();
        // A failed write is shown and ends the saving; what the user chose
        // still takes effect, so the dialog closes with OK all the same.
        platform::reportErrors(m_services, this,
                               [this] { SaveOptions(m_services.settings(), *m_values); });
    }
    accept();
}

} // namespace options
