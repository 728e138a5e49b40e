#include "OptionsDialog.h"

#include "BoundedSpinBox.h"
#include "ErrorReport.h"
#include "Services.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFontInfo>
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

constexpr int kMinTime = kMinExamMinutes;
constexpr int kMaxTime = kMaxDefaultMinutes;

// The font as it is drawn: a family the font chooser lists (a substituted
// name such as "MS Sans Serif" is in no list, and the chooser would open on
// its first entry instead) with the size and styles of the font.
QFont fontInUse(const QFont& font)
{
    const QFontInfo info(font);
    QFont shown(info.family());
    if (font.pointSizeF() > 0)
        shown.setPointSizeF(font.pointSizeF());
    else
        shown.setPixelSize(info.pixelSize());
    shown.setWeight(font.weight());
    shown.setItalic(font.italic());
    shown.setUnderline(font.underline());
    shown.setStrikeOut(font.strikeOut());
    return shown;
}

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

OptionsDialog::OptionsDialog(platform::Services& services, QWidget* parent)
    : QDialog(parent), m_services(services)
{
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(385, 341);

    buildFontGroup();
    buildPages();

    // Beside OK, outside the pages: it is about every window, not one button.
    m_highContrastBox = new QCheckBox(QStringLiteral("&High contrast"), this);
    m_highContrastBox->setObjectName(QStringLiteral("highContrastBox"));
    m_highContrastBox->setGeometry(12, 306, 200, 27);
    m_highContrastBox->setToolTip(
        QStringLiteral("Text colours that stand out from their ground (the desktop's own when "
                       "it is high-contrast)"));

    m_okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                 QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setGeometry(298, 306, 79, 27);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &OptionsDialog::saveAndClose);
}

void OptionsDialog::buildFontGroup()
{
    m_fontGroup = new QGroupBox(QStringLiteral("Fonts"), this);
    m_fontGroup->setObjectName(QStringLiteral("fontGroup"));
    m_fontGroup->setGeometry(8, 8, 369, 121);

    m_fontList = new QListWidget(m_fontGroup);
    m_fontList->setObjectName(QStringLiteral("fontList"));
    m_fontList->addItems(
        {QStringLiteral("Question"), QStringLiteral("Answers"), QStringLiteral("Explanation")});
    m_fontList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fontList->setAccessibleName(QStringLiteral("Fonts"));
    m_fontList->setGeometry(12, 22, 121, 60);
    connect(m_fontList, &QListWidget::currentRowChanged, this, &OptionsDialog::showSelectedFont);

    m_changeFontButton = new QPushButton(QStringLiteral("Change Font"), m_fontGroup);
    m_changeFontButton->setObjectName(QStringLiteral("changeFontButton"));
    m_changeFontButton->setGeometry(12, 88, 121, 25);
    m_changeFontButton->setAutoDefault(false);
    connect(m_changeFontButton, &QPushButton::clicked, this, &OptionsDialog::changeFont);

    m_fontExample = new QLabel(QStringLiteral("Example"), m_fontGroup);
    m_fontExample->setObjectName(QStringLiteral("fontExample"));
    m_fontExample->setGeometry(144, 22, 213, 60);
    m_fontExample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_fontExample->setAlignment(Qt::AlignCenter);
    m_fontExample->setAutoFillBackground(true);
    QPalette white = m_fontExample->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_fontExample->setPalette(white);

    // Each font's colour, chosen beside the font itself.
    m_changeColourButton = new QPushButton(QStringLiteral("Change Color"), m_fontGroup);
    m_changeColourButton->setObjectName(QStringLiteral("changeColourButton"));
    m_changeColourButton->setGeometry(144, 88, 121, 25);
    m_changeColourButton->setAutoDefault(false);
    connect(m_changeColourButton, &QPushButton::clicked, this, &OptionsDialog::changeColour);
}

void OptionsDialog::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_pages->setGeometry(8, 136, 369, 161);
    m_pages->setAccessibleName(QStringLiteral("Option pages"));

    auto* learnPage = new QWidget;
    learnPage->setObjectName(QStringLiteral("learnPage"));
    m_learnButtonGroup = new RadioGroup(QStringLiteral("Learn Now Button"),
                                        {QStringLiteral("Show 'Learn Now' button (not recomended)"),
                                         QStringLiteral("Do not show 'Learn Now' button")},
                                        learnPage);
    m_learnButtonGroup->setObjectName(QStringLiteral("learnButtonGroup"));
    m_learnButtonGroup->setGeometry(8, 8, 345, 77);
    connect(m_learnButtonGroup, &RadioGroup::clicked, this, &OptionsDialog::takeLearnChoice);
    m_pages->addTab(learnPage, QStringLiteral("'Learn Now' button"));

    auto* calcPage = new QWidget;
    calcPage->setObjectName(QStringLiteral("calcPage"));
    m_calcButtonGroup = new RadioGroup(
        QStringLiteral("Calculator Button"),
        {QStringLiteral("Show calculator button"), QStringLiteral("Do not show calculator button")},
        calcPage);
    m_calcButtonGroup->setObjectName(QStringLiteral("calcButtonGroup"));
    m_calcButtonGroup->setGeometry(8, 4, 345, 65);
    connect(m_calcButtonGroup, &RadioGroup::clicked, this, &OptionsDialog::takeCalcChoice);
    m_calcPathLabel = new QLabel(QStringLiteral("Calculator path:"), calcPage);
    m_calcPathLabel->setObjectName(QStringLiteral("calcPathLabel"));
    m_calcPathLabel->setGeometry(8, 74, 200, 16);
    m_calcPathEdit = new QLineEdit(calcPage);
    m_calcPathEdit->setObjectName(QStringLiteral("calcPathEdit"));
    m_calcPathEdit->setGeometry(8, 92, 317, 23);
    m_browseButton = new QToolButton(calcPage);
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setText(QStringLiteral("..."));
    m_browseButton->setToolTip(QStringLiteral("Browse"));
    m_browseButton->setGeometry(328, 92, 25, 23);
    connect(m_browseButton, &QToolButton::clicked, this, &OptionsDialog::browseCalculator);
    m_calcPathLabel->setBuddy(m_calcPathEdit);
    m_pages->addTab(calcPage, QStringLiteral("Calculator"));

    auto* timerPage = new QWidget;
    timerPage->setObjectName(QStringLiteral("timerPage"));
    m_timerGroup =
        new RadioGroup(QStringLiteral("Timer"),
                       {QStringLiteral("Timer On"), QStringLiteral("Timer Off")}, timerPage);
    m_timerGroup->setObjectName(QStringLiteral("timerGroup"));
    m_timerGroup->setGeometry(8, 4, 345, 65);
    connect(m_timerGroup, &RadioGroup::clicked, this, &OptionsDialog::takeTimerChoice);
    m_defaultTimeLabel = new QLabel(QStringLiteral("Deafault Time (min):"), timerPage);
    m_defaultTimeLabel->setObjectName(QStringLiteral("defaultTimeLabel"));
    m_defaultTimeLabel->setGeometry(8, 84, 130, 16);
    m_defaultTimeBox = new widgets::BoundedSpinBox(timerPage);
    m_defaultTimeBox->setObjectName(QStringLiteral("defaultTimeBox"));
    m_defaultTimeBox->setRange(kMinTime, kMaxTime);
    m_defaultTimeBox->setGeometry(140, 80, 73, 23);
    m_defaultTimeLabel->setBuddy(m_defaultTimeBox);
    m_pages->addTab(timerPage, QStringLiteral("Timer"));
}

void OptionsDialog::open(OptionValues& values)
{
    m_values = &values;
    m_pages->setCurrentIndex(0);
    m_defaultTimeBox->setValue(qBound(kMinTime, values.defaultTime, kMaxTime));
    m_calcPathEdit->setText(values.calcPath);
    m_learnButtonGroup->setItemIndex(values.showLearnButton ? 0 : 1);
    m_timerGroup->setItemIndex(values.timerOn ? 0 : 1);
    m_calcButtonGroup->setItemIndex(values.showCalcButton ? 0 : 1);
    m_highContrastBox->setChecked(values.highContrast);
    // A group whose selection did not change fired no click; the flags
    // still follow the selection.
    takeLearnChoice();
    takeTimerChoice();
    takeCalcChoice();
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    loadValues();
}

void OptionsDialog::loadValues()
{
    m_fontList->setCurrentRow(0);
    showSelectedFont();
}

FontOption* OptionsDialog::selectedFont() const
{
    if (!m_values)
        return nullptr;
    switch (m_fontList->currentRow()) {
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

void OptionsDialog::showSelectedFont()
{
    const FontOption* option = selectedFont();
    if (!option)
        return;
    m_fontExample->setText(m_fontList->currentItem()->text());
    m_fontExample->setFont(option->font);
    QPalette p = m_fontExample->palette();
    p.setColor(QPalette::WindowText, option->colour);
    m_fontExample->setPalette(p);
}

void OptionsDialog::changeFont()
{
    const FontOption* current = selectedFont();
    if (!current)
        return;
    const std::optional<QFont> chosen = m_services.chooseFont(this, fontInUse(current->font));
    if (chosen) {
        if (FontOption* option = selectedFont()) {
            option->font = *chosen;
            emit fontsChanged();
        }
    }
    showSelectedFont();
}

void OptionsDialog::changeColour()
{
    FontOption* option = selectedFont();
    if (!option)
        return;
    if (const std::optional<QColor> chosen = m_services.chooseColour(this, option->colour)) {
        option->colour = *chosen;
        emit fontsChanged();
    }
    showSelectedFont();
}

void OptionsDialog::takeLearnChoice()
{
    m_learn = m_learnButtonGroup->itemIndex() == 0;
}

void OptionsDialog::takeCalcChoice()
{
    m_calc = m_calcButtonGroup->itemIndex() == 0;
}

void OptionsDialog::takeTimerChoice()
{
    m_timer = m_timerGroup->itemIndex() == 0;
}

void OptionsDialog::browseCalculator()
{
    const QString current = m_calcPathEdit->text().trimmed();
    const QString dir = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    // Programs on this desktop carry no file extension of their own.
    const QString file =
        m_services.chooseOpenFile(this, QString(), dir, QStringLiteral("Executable file (*)"));
    if (!file.isEmpty())
        m_calcPathEdit->setText(file);
}

int OptionsDialog::timeFromField() const
{
    bool ok = false;
    const int minutes = m_defaultTimeBox->cleanText().trimmed().toInt(&ok);
    return ok ? qBound(kMinTime, minutes, kMaxTime) : kMinTime;
}

void OptionsDialog::saveAndClose()
{
    if (m_values) {
        const int minutes = timeFromField();
        m_defaultTimeBox->setValue(minutes);
        m_values->showLearnButton = m_learn;
        m_values->timerOn = m_timer;
        m_values->showCalcButton = m_calc;
        m_values->defaultTime = minutes;
        m_values->calcPath = m_calcPathEdit->text();
        m_values->highContrast = m_highContrastBox->isChecked();
        // A failed write is shown and ends the saving; what the user chose
        // still takes effect, so the dialog closes with OK all the same.
        platform::reportErrors(m_services, this,
                               [this] { saveOptions(m_services.settings(), *m_values); });
    }
    accept();
}

} // namespace options
