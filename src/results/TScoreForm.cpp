#include "TScoreForm.h"

#include "Decor.h"
#include "Services.h"
#include "ShadowLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace results {

namespace {

const QColor kYourScore(0, 128, 0);
const QColor kRequiredScore(0, 0, 255);
const QColor kSectionBar(255, 0, 0);

QFont arial(double points, bool bold, bool italic)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

} // namespace

TScoreForm::TScoreForm(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services)
{
    setObjectName(QStringLiteral("ScoreForm"));
    setWindowTitle(QStringLiteral("Quizlark - Score Report"));
    setFixedSize(582, 426);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    auto* banner = new BannerStrip(this);
    banner->setObjectName(QStringLiteral("Panel1"));
    banner->setFixedHeight(33);
    auto* bannerRow = new QHBoxLayout(banner);
    bannerRow->setContentsMargins(0, 0, 0, 2);
    Label1 = new platform::ShadowLabel(QStringLiteral("Examination Score Report"), banner);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(arial(14, true, true));
    Label1->setTextColour(Qt::white);
    Label1->setShadowColour(Qt::black);
    Label1->setAlignment(Qt::AlignCenter);
    bannerRow->addWidget(Label1);
    v->addWidget(banner);

    auto* totalArea = new QWidget(this);
    totalArea->setObjectName(QStringLiteral("Panel2"));
    totalArea->setFixedHeight(184);
    auto* tv = new QVBoxLayout(totalArea);
    tv->setContentsMargins(5, 5, 5, 5);
    tv->setSpacing(2);
    TotalChart = new platform::BarChart(totalArea);
    TotalChart->setObjectName(QStringLiteral("TotalChart"));
    platform::ChartStyle totalStyle;
    totalStyle.barFraction = 0.9;
    TotalChart->setStyle(totalStyle);
    TotalChart->setTitleColour(QColor(0, 0, 128));
    TotalChart->setAxis({0, kScaleMaximum, 100});
    TotalLabel = new QLabel(totalArea);
    TotalLabel->setObjectName(QStringLiteral("TotalLabel"));
    QFont bold = TotalLabel->font();
    bold.setBold(true);
    TotalLabel->setFont(bold);
    TotalLabel->setAlignment(Qt::AlignCenter);
    tv->addWidget(TotalChart, 1);
    tv->addWidget(TotalLabel);
    v->addWidget(totalArea);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Chart1 = new platform::BarChart;
    Chart1->setObjectName(QStringLiteral("Chart1"));
    platform::ChartStyle sectionStyle;
    sectionStyle.background = palette().color(QPalette::Window);
    sectionStyle.border = false;
    sectionStyle.barFraction = 0.8;
    sectionStyle.titleFont = arial(9, false, true);
    sectionStyle.titleAlignment = Qt::AlignLeft;
    sectionStyle.titleFramed = true;
    sectionStyle.titleBackground = Qt::white;
    Chart1->setStyle(sectionStyle);
    Chart1->setTitle(QStringLiteral(" Sections "));
    Chart1->setTitleColour(QColor(0, 0, 255));
    Chart1->setAxis({0, 100, 10});
    ScrollBox1->setWidget(Chart1);
    v->addWidget(ScrollBox1, 1);

    auto* strip = new ButtonStrip(this);
    strip->setObjectName(QStringLiteral("Panel3"));
    strip->setFixedHeight(40);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 6, 8, 5);
    row->setSpacing(8);
    BitBtn1 = new QPushButton(glyph(Glyph::Answers), QStringLiteral("&View Answers"), strip);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(glyph(Glyph::Printer), QStringLiteral("&Print Report"), strip);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = new QPushButton(glyph(Glyph::Exit), QStringLiteral("E&xit Exam"), strip);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
        b->setMinimumWidth(120);
        b->setAutoDefault(false);
    }
    BitBtn1->setDefault(true);
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    row->addStretch(1);
    row->addWidget(BitBtn3);
    v->addWidget(strip);

    connect(BitBtn1, &QPushButton::clicked, this, &TScoreForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TScoreForm::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TScoreForm::BitBtn3Click);
}

QString TScoreForm::headingText(const QString& candidateName, const QString& examTitle)
{
    return candidateName + QStringLiteral(",  ") + QLatin1String(kProductName) +
           QStringLiteral(",  ") + examTitle;
}

QString TScoreForm::scoreText(const TotalScore& score)
{
    return QStringLiteral("Passing Score: ") + QString::number(kPassingScore) +
           QStringLiteral("   Your Score: ") + QString::number(score.shown) +
           QStringLiteral("   Grade: ") +
           (score.pass ? QStringLiteral("Pass") : QStringLiteral("Fail"));
}

void TScoreForm::showResults(const QString& candidateName, const QString& examTitle,
                             const store::Responses& responses)
{
    ComputeTotalScore(candidateName, examTitle, responses);
    ComputeSectionScores(responses);
}

void TScoreForm::ComputeTotalScore(const QString& candidateName, const QString& examTitle,
                                   const store::Responses& responses)
{
    m_score = totalScore(countCorrect(responses), static_cast<int>(responses.size()));
    // Replacing the whole list is what keeps a second grading from adding
    // bars to those of the first.
    TotalChart->setBars({
        {QStringLiteral("Your score"), static_cast<double>(m_score.value), kYourScore},
        {QStringLiteral("Required score"), static_cast<double>(kPassingScore), kRequiredScore},
    });
    TotalChart->setTitle(headingText(candidateName, examTitle));
    TotalLabel->setText(scoreText(m_score));
}

void TScoreForm::ComputeSectionScores(const store::Responses& responses)
{
    const auto tally = sectionScores(responses);
    std::vector<platform::ChartBar> bars;
    // Added from the last section to the first, so that the first stands at
    // the top.
    for (int s = store::kSectionCount; s >= 1; --s) {
        const SectionScore& t = tally[static_cast<size_t>(s - 1)];
        const QString label = store::sectionName(s) + QStringLiteral(" (") +
                              QString::number(t.correct) + QLatin1Char('/') +
                              QString::number(t.total) + QStringLiteral(") ");
        bars.push_back({label, static_cast<double>(t.shown), kSectionBar});
    }
    Chart1->setBars(std::move(bars));
}

void TScoreForm::BitBtn1Click()
{
    emit viewAnswersRequested();
    accept();
}

void TScoreForm::BitBtn2Click()
{
    emit printReportRequested();
}

void TScoreForm::BitBtn3Click()
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure you wish to end this exam?"),
                           platform::Yes | platform::No) != platform::Yes)
        return;
    emit exitExamRequested();
    QDialog::reject();
}

} // namespace results
