#include "ObjectiveReport.h"

#include "Decor.h"
#include "Objectives.h"
#include "ShadowLabel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace results {

namespace {

// The share right as a bar; the item's text stays for screen readers and is
// not drawn.
constexpr int kShareRole = Qt::UserRole + 1;

class ShareBar final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain(option);
        initStyleOption(&plain, index);
        plain.text.clear();
        QStyledItemDelegate::paint(painter, plain, index);
        const double share = index.data(kShareRole).toDouble();
        const QRectF frame = QRectF(option.rect).adjusted(4, 4, -4, -4);
        painter->save();
        painter->setPen(QColor(128, 128, 128));
        painter->setBrush(Qt::white);
        painter->drawRect(frame);
        // Green at the share the exam asks for, red below it.
        painter->setPen(Qt::NoPen);
        painter->setBrush(share >= 0.85 ? QColor(0, 128, 0) : QColor(192, 0, 0));
        painter->drawRect(QRectF(frame.left(), frame.top(), frame.width() * share, frame.height()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(160, 20));
    }
};

} // namespace

ObjectiveReport::ObjectiveReport(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("objectiveReport"));
    setWindowTitle(QStringLiteral("Quizlark - Results by Objective"));
    resize(720, 520);
    setMinimumSize(560, 400);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_bannerLabel = addBanner(this, v, QStringLiteral("Results by Objective"));

    auto* body = new QWidget(this);
    auto* bv = new QVBoxLayout(body);
    bv->setContentsMargins(8, 6, 8, 6);
    m_headingLabel = new QLabel(body);
    m_headingLabel->setObjectName(QStringLiteral("headingLabel"));
    m_headingLabel->setWordWrap(true);
    m_headingLabel->setFont(arial(10, true, false));
    bv->addWidget(m_headingLabel);
    m_readinessLabel = new QLabel(body);
    m_readinessLabel->setObjectName(QStringLiteral("readinessLabel"));
    m_readinessLabel->setWordWrap(true);
    m_readinessLabel->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
    m_readinessLabel->setFocusPolicy(Qt::StrongFocus);
    m_readinessLabel->setAccessibleName(QStringLiteral("Readiness estimate"));
    bv->addWidget(m_readinessLabel);

    m_objectiveList = new QTreeWidget(body);
    m_objectiveList->setObjectName(QStringLiteral("objectiveList"));
    m_objectiveList->setAccessibleName(QStringLiteral("Results by objective, weakest first"));
    m_objectiveList->setRootIsDecorated(false);
    m_objectiveList->setAlternatingRowColors(true);
    m_objectiveList->setWordWrap(true);
    m_objectiveList->setColumnCount(ColumnCount);
    m_objectiveList->setHeaderLabels({QStringLiteral("Objective"), QStringLiteral("Answered"),
                                      QStringLiteral("Correct"), QStringLiteral("Share correct")});
    m_objectiveList->setItemDelegateForColumn(BarColumn, new ShareBar(m_objectiveList));
    m_objectiveList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_objectiveList->header()->setSectionResizeMode(ObjectiveColumn, QHeaderView::Stretch);
    m_objectiveList->header()->setSectionResizeMode(BarColumn, QHeaderView::Fixed);
    m_objectiveList->header()->resizeSection(BarColumn, 170);
    m_objectiveList->header()->setStretchLastSection(false);
    bv->addWidget(m_objectiveList, 1);
    m_noteLabel = new QLabel(body);
    m_noteLabel->setObjectName(QStringLiteral("noteLabel"));
    m_noteLabel->setWordWrap(true);
    bv->addWidget(m_noteLabel);
    v->addWidget(body, 1);

    auto* strip = new ButtonStrip(this);
    strip->setFixedHeight(40);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 6, 8, 5);
    m_closeButton = new QPushButton(glyph(Glyph::Exit), QStringLiteral("&Close"), strip);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setDefault(true);
    row->addStretch(1);
    row->addWidget(m_closeButton);
    v->addWidget(strip);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(m_readinessLabel, m_objectiveList);
    setTabOrder(m_objectiveList, m_closeButton);
}

void ObjectiveReport::showBreakdown(const QString& heading,
                                    const learning::ObjectiveBreakdown& breakdown,
                                    const QString& readiness)
{
    m_headingLabel->setText(heading);
    m_readinessLabel->setText(readiness);
    m_readinessLabel->setVisible(!readiness.isEmpty());
    m_objectiveList->clear();
    for (const learning::ObjectiveResult& r : breakdown.results) {
        const int percent = static_cast<int>(std::nearbyint(r.share() * 100.0));
        const QString wording = store::ItemObjectives::wording(r.objective);
        auto* item = new QTreeWidgetItem(m_objectiveList);
        item->setText(ObjectiveColumn, wording.isEmpty() ? r.objective : wording);
        item->setToolTip(ObjectiveColumn, item->text(ObjectiveColumn));
        item->setText(AnsweredColumn, QString::number(r.answered));
        item->setTextAlignment(AnsweredColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(CorrectColumn, QStringLiteral("%1 %").arg(percent));
        item->setTextAlignment(CorrectColumn, Qt::AlignRight | Qt::AlignVCenter);
        // Read by a screen reader in place of the bar.
        item->setText(BarColumn, QStringLiteral("%1 of %2 correct").arg(r.correct).arg(r.answered));
        item->setData(BarColumn, kShareRole, r.share());
    }
    if (breakdown.results.empty())
        m_noteLabel->setText(QStringLiteral("No answered item has a known objective."));
    else if (breakdown.unattributed > 0)
        m_noteLabel->setText(
            QStringLiteral("%1 answered item(s) are not counted: their objective is not known "
                           "(an item of your own set that has since been deleted).")
                .arg(breakdown.unattributed));
    else
        m_noteLabel->clear();
    m_noteLabel->setVisible(!m_noteLabel->text().isEmpty());
    if (m_objectiveList->topLevelItemCount() > 0)
        m_objectiveList->setCurrentItem(m_objectiveList->topLevelItem(0));
    m_closeButton->setFocus();
}

} // namespace results
