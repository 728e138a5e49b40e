#include "ScoreReport.h"

#include "Accessibility.h"
#include "Contrast.h"
#include "Decor.h"
#include "Services.h"
#include "ShadowLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace results {

using exam::countCorrect;
using exam::kPassingScore;
using exam::kScaleMaximum;
using exam::sectionScore;
using exam::sectionScores;
using exam::totalScore;

namespace {

const QColor kYourScore(0, 128, 0);
const QColor kRequiredScore(0, 0, 255);
const QColor kSectionBar(255, 0, 0);

} // namespace

ScoreReport::ScoreReport(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services)
{
    setObjectName(QStringLiteral("scoreReport"));
    setWindowTitle(QStringLiteral("Quizlark - Score Report"));
    setFixedSize(582, 426);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    m_bannerLabel = addBanner(this, v, QStringLiteral("Examination Score Report"));

    auto* totalArea = new QWidget(this);
    totalArea->setObjectName(QStringLiteral("totalArea"));
    totalArea->setFixedHeight(184);
    auto* tv = new QVBoxLayout(totalArea);
    tv->setContentsMargins(5, 5, 5, 5);
    tv->setSpacing(2);
    m_totalChart = new widgets::BarChart(totalArea);
    m_totalChart->setObjectName(QStringLiteral("totalChart"));
    widgets::ChartStyle totalStyle;
    totalStyle.barFraction = 0.9;
    m_totalChart->setStyle(totalStyle);
    m_totalChart->setTitleColour(QColor(0, 0, 128));
    m_totalChart->setAxis({0, kScaleMaximum, 100});
    m_totalLabel = new QLabel(totalArea);
    m_totalLabel->setObjectName(QStringLiteral("totalLabel"));
    QFont bold = m_totalLabel->font();
    bold.setBold(true);
    m_totalLabel->setFont(bold);
    m_totalLabel->setAlignment(Qt::AlignCenter);
    tv->addWidget(m_totalChart, 1);
    tv->addWidget(m_totalLabel);
    v->addWidget(totalArea);

    m_sectionArea = new QScrollArea(this);
    m_sectionArea->setObjectName(QStringLiteral("sectionArea"));
    m_sectionArea->setFrameShape(QFrame::NoFrame);
    // Tab stops here (the keys scroll a long chart); without a frame nothing
    // would show where the focus went.
    m_sectionArea->setStyleSheet(
        QStringLiteral("QScrollArea#sectionArea { border: 1px solid transparent; }"
                       "QScrollArea#sectionArea:focus { border: 1px dashed rgb(0, 0, 160); }"));
    m_sectionArea->setWidgetResizable(true);
    m_sectionArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sectionChart = new widgets::BarChart;
    m_sectionChart->setObjectName(QStringLiteral("sectionChart"));
    widgets::ChartStyle sectionStyle;
    sectionStyle.background = palette().color(QPalette::Window);
    sectionStyle.border = false;
    sectionStyle.barFraction = 0.8;
    sectionStyle.titleFont = arial(9, false, true);
    sectionStyle.titleAlignment = Qt::AlignLeft;
    sectionStyle.titleFramed = true;
    sectionStyle.titleBackground = Qt::white;
    m_sectionChart->setStyle(sectionStyle);
    m_sectionChart->setTitle(QStringLiteral(" Sections "));
    m_sectionChart->setTitleColour(QColor(0, 0, 255));
    m_sectionChart->setAxis({0, 100, 10});
    m_sectionArea->setWidget(m_sectionChart);
    v->addWidget(m_sectionArea, 1);

    auto* strip = new ButtonStrip(this);
    strip->setObjectName(QStringLiteral("buttonStrip"));
    strip->setFixedHeight(40);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 6, 8, 5);
    row->setSpacing(8);
    m_viewAnswersButton =
        new QPushButton(glyph(Glyph::Answers), QStringLiteral("&View Answers"), strip);
    m_viewAnswersButton->setObjectName(QStringLiteral("viewAnswersButton"));
    m_printReportButton =
        new QPushButton(glyph(Glyph::Printer), QStringLiteral("&Print Report"), strip);
    m_printReportButton->setObjectName(QStringLiteral("printReportButton"));
    m_exitExamButton = new QPushButton(glyph(Glyph::Exit), QStringLiteral("E&xit Exam"), strip);
    m_exitExamButton->setObjectName(QStringLiteral("exitExamButton"));
    m_drillsButton = new QPushButton(QStringLiteral("&Drills"), strip);
    m_drillsButton->setObjectName(QStringLiteral("drillsButton"));
    auto* drills = new QMenu(m_drillsButton);
    drills->setObjectName(QStringLiteral("drillsMenu"));
    m_retakeMissedAction = drills->addAction(QStringLiteral("Retake &missed items"));
    m_retakeMissedAction->setObjectName(QStringLiteral("retakeMissedAction"));
    m_retakeMarkedAction = drills->addAction(QStringLiteral("Retake m&arked items"));
    m_retakeMarkedAction->setObjectName(QStringLiteral("retakeMarkedAction"));
    drills->addSeparator();
    m_objectiveResultsAction = drills->addAction(QStringLiteral("Results by &objective"));
    m_objectiveResultsAction->setObjectName(QStringLiteral("objectiveResultsAction"));
    connect(m_objectiveResultsAction, &QAction::triggered, this,
            &ScoreReport::objectiveResultsRequested);
    m_drillsButton->setMenu(drills);
    for (QPushButton* b :
         {m_viewAnswersButton, m_printReportButton, m_drillsButton, m_exitExamButton}) {
        b->setMinimumWidth(120);
        b->setAutoDefault(false);
    }
    // It has no glyph: without this it would stand a pixel lower than its
    // neighbours.
    m_drillsButton->setMinimumHeight(m_printReportButton->sizeHint().height());
    m_viewAnswersButton->setDefault(true);
    row->addWidget(m_viewAnswersButton);
    row->addWidget(m_printReportButton);
    row->addWidget(m_drillsButton);
    row->addStretch(1);
    row->addWidget(m_exitExamButton);
    // Made after Exit Exam, it stands before it: Tab follows what is seen.
    QWidget::setTabOrder(m_drillsButton, m_exitExamButton);
    v->addWidget(strip);

    connect(m_viewAnswersButton, &QPushButton::clicked, this, &ScoreReport::viewAnswers);
    connect(m_printReportButton, &QPushButton::clicked, this, &ScoreReport::printReport);
    connect(m_exitExamButton, &QPushButton::clicked, this, &ScoreReport::exitExam);
    connect(m_retakeMissedAction, &QAction::triggered, this,
            [this] { emit drillRequested(store::DrillKind::Missed); });
    connect(m_retakeMarkedAction, &QAction::triggered, this,
            [this] { emit drillRequested(store::DrillKind::Marked); });
}

void ScoreReport::setReadOnly(bool on)
{
    m_readOnly = on;
    m_viewAnswersButton->setVisible(!on);
    m_drillsButton->setVisible(!on);
    m_exitExamButton->setText(on ? QStringLiteral("&Close") : QStringLiteral("E&xit Exam"));
    m_exitExamButton->setIcon(on ? QIcon() : glyph(Glyph::Exit));
    (on ? m_printReportButton : m_viewAnswersButton)->setDefault(true);
}

QString ScoreReport::headingText(const QString& candidateName, const QString& examTitle)
{
    return candidateName + QStringLiteral(",  ") + QLatin1String(kProductName) +
           QStringLiteral(",  ") + examTitle;
}

QString ScoreReport::scoreText(const TotalScore& score)
{
    return QStringLiteral("Passing Score: ") + QString::number(kPassingScore) +
           QStringLiteral("   Your Score: ") + QString::number(score.shown) +
           QStringLiteral("   Grade: ") +
           (score.pass ? QStringLiteral("Pass") : QStringLiteral("Fail"));
}

void ScoreReport::showResults(const QString& candidateName, const QString& examTitle,
                              const store::Responses& responses)
{
    computeTotalScore(candidateName, examTitle, responses);
    computeSectionScores(responses);
}

void ScoreReport::computeTotalScore(const QString& candidateName, const QString& examTitle,
                                    const store::Responses& responses)
{
    m_score = totalScore(countCorrect(responses), static_cast<int>(responses.size()));
    showTotal(candidateName, examTitle);
}

void ScoreReport::showTotal(const QString& candidateName, const QString& examTitle)
{
    // Replacing the whole list is what keeps a second grading from adding
    // bars to those of the first.
    m_totalChart->setBars({
        {QStringLiteral("Your score"), static_cast<double>(m_score.value), kYourScore},
        {QStringLiteral("Required score"), static_cast<double>(kPassingScore), kRequiredScore},
    });
    m_totalChart->setTitle(headingText(candidateName, examTitle));
    m_totalLabel->setText(scoreText(m_score));
    // The chart is painted: its title (the candidate line) and its bars are
    // given to a screen reader in words.
    widgets::describeChart(m_totalChart, m_totalChart->title(),
                           QStringLiteral("Your score: %1 of %2; Required score: %3")
                               .arg(m_score.shown)
                               .arg(kScaleMaximum)
                               .arg(kPassingScore));
}

QString ScoreReport::sectionResultText(int section, const SectionScore& score)
{
    return QStringLiteral("%1: %2 of %3 correct, %4 percent")
        .arg(store::sectionName(section))
        .arg(score.correct)
        .arg(score.total)
        .arg(score.shown);
}

void ScoreReport::computeSectionScores(const store::Responses& responses)
{
    showSections(sectionScores(responses));
}

void ScoreReport::showAttempt(const store::Attempt& attempt)
{
    int correct = 0;
    for (const store::AttemptItem& i : attempt.items)
        correct += i.correct ? 1 : 0;
    m_score = totalScore(correct, attempt.itemCount);
    showTotal(attempt.candidate, attempt.title);
    std::array<SectionScore, store::kSectionCount> tally{};
    for (size_t s = 0; s < tally.size(); ++s)
        tally[s] = sectionScore(attempt.sections[s].correct, attempt.sections[s].total);
    showSections(tally);
}

void ScoreReport::showSections(const std::array<SectionScore, store::kSectionCount>& tally)
{
    std::vector<widgets::ChartBar> bars;
    // Added from the last section to the first, so that the first stands at
    // the top.
    for (int s = store::kSectionCount; s >= 1; --s) {
        const SectionScore& t = tally[static_cast<size_t>(s - 1)];
        const QString label = store::sectionName(s) + QStringLiteral(" (") +
                              QString::number(t.correct) + QLatin1Char('/') +
                              QString::number(t.total) + QStringLiteral(") ");
        bars.push_back({label, static_cast<double>(t.shown), kSectionBar});
    }
    m_sectionChart->setBars(std::move(bars));
    QStringList said;
    for (int s = 1; s <= store::kSectionCount; ++s)
        said << sectionResultText(s, tally[static_cast<size_t>(s - 1)]);
    const QString results = said.join(QStringLiteral("; "));
    widgets::describeChart(m_sectionChart, QStringLiteral("Section results"), results);
    // The Tab stop over the chart says the same when the focus reaches it.
    widgets::describeChart(m_sectionArea, QStringLiteral("Sections"), results);
}

void ScoreReport::setColourScheme(const widgets::ColourScheme* scheme)
{
    widgets::applySchemePalette(this, scheme);
    setBannerScheme(this, scheme);
    widgets::ChartStyle style = m_sectionChart->chartStyle();
    // The chart paints its text black: in high contrast it stands on white.
    style.background = scheme ? QColor(Qt::white) : palette().color(QPalette::Window);
    m_sectionChart->setStyle(style);
    m_sectionArea->setStyleSheet(
        QStringLiteral("QScrollArea#sectionArea { border: 1px solid transparent; }"
                       "QScrollArea#sectionArea:focus { border: 1px dashed %1; }")
            .arg(scheme ? scheme->palette.color(QPalette::WindowText).name()
                        : QStringLiteral("rgb(0, 0, 160)")));
}

void ScoreReport::viewAnswers()
{
    emit viewAnswersRequested();
    accept();
}

void ScoreReport::printReport()
{
    emit printReportRequested();
}

void ScoreReport::exitExam()
{
    if (m_readOnly) {
        accept();
        return;
    }
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure you wish to end this exam?"),
                           platform::Yes | platform::No) != platform::Yes)
        return;
    emit exitExamRequested();
    QDialog::reject();
}

void ScoreReport::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_viewAnswersButton->isVisible())
        m_viewAnswersButton->setFocus(Qt::OtherFocusReason);
    else
        m_printReportButton->setFocus(Qt::OtherFocusReason);
}

} // namespace results
