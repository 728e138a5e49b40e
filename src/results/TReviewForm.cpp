#include "TReviewForm.h"

#include "Decor.h"
#include "Services.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace results {

namespace {

// A black-framed white square with a sign, one per ReviewIcon.
QPixmap statePicture(int index)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 15);
    const QColor red(255, 0, 0);
    switch (index) {
    case Incomplete:
        p.fillRect(7, 3, 2, 7, red);
        p.fillRect(7, 11, 2, 2, red);
        break;
    case Complete: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 255), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        QPainterPath tick;
        tick.moveTo(3.5, 7.5);
        tick.lineTo(6.5, 11);
        tick.lineTo(12.5, 4);
        p.drawPath(tick);
        break;
    }
    case Marked: {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(red);
        p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("M"));
        break;
    }
    case Incorrect:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(red, 2, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
        break;
    default:
        break;
    }
    return pm;
}

// Lights the entry under the mouse, which the desktop style leaves plain.
class HoverDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        if ((option.state & QStyle::State_MouseOver) && !(option.state & QStyle::State_Selected)) {
            QColor light = option.palette.color(QPalette::Highlight);
            light.setAlpha(48);
            painter->fillRect(option.rect, light);
        }
        QStyledItemDelegate::paint(painter, option, index);
    }
};

} // namespace

ReviewList::ReviewList(QWidget* parent) : QListWidget(parent) {}

void ReviewList::mousePressEvent(QMouseEvent* event)
{
    if (!indexAt(event->position().toPoint()).isValid()) {
        clearSelection();
        return;
    }
    QListWidget::mousePressEvent(event);
}

TReviewForm::TReviewForm(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services)
{
    setObjectName(QStringLiteral("ReviewForm"));
    setWindowTitle(QStringLiteral("Items Review"));
    setFixedSize(442, 372);
    for (int i = 0; i < 4; ++i)
        m_pictures[static_cast<size_t>(i)] = statePicture(i);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 0);
    v->setSpacing(4);

    Panel5 = legendRow(
        QStringLiteral("Panel5"),
        {{Incomplete, " - incomplete   "}, {Complete, " - complete   "}, {Marked, " - marked   "}});
    Panel4 = legendRow(QStringLiteral("Panel4"),
                       {{Incorrect, " - incorrect item   "}, {Complete, " - correct item   "}});
    Panel4->hide();
    v->addWidget(Panel5);
    v->addWidget(Panel4);

    ListView1 = new ReviewList(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setViewMode(QListView::ListMode);
    ListView1->setFlow(QListView::TopToBottom);
    ListView1->setWrapping(true);
    ListView1->setResizeMode(QListView::Adjust);
    ListView1->setMovement(QListView::Static);
    ListView1->setSpacing(1);
    ListView1->setIconSize(QSize(16, 16));
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setMouseTracking(true);
    ListView1->viewport()->setAttribute(Qt::WA_Hover);
    ListView1->setItemDelegate(new HoverDelegate(ListView1));
    v->addWidget(ListView1, 1);

    auto* strip = new ButtonStrip(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFixedHeight(41);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 7, 0, 6);
    BitBtn2 =
        new QPushButton(glyph(Glyph::GoTo), QStringLiteral("&Go to the selected question"), strip);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setMinimumWidth(220);
    BitBtn2->setEnabled(false);
    BitBtn1 = new QPushButton(glyph(Glyph::Return), QStringLiteral("&Return"), strip);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setMinimumWidth(96);
    for (QPushButton* b : {BitBtn2, BitBtn1})
        b->setAutoDefault(false);
    row->addWidget(BitBtn2);
    row->addStretch(1);
    row->addWidget(BitBtn1);
    v->addWidget(strip);

    connect(ListView1, &QListWidget::itemSelectionChanged, this, &TReviewForm::ListView1SelectItem);
    connect(ListView1, &QListWidget::itemDoubleClicked, this, &TReviewForm::ListView1DblClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TReviewForm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TReviewForm::BitBtn1Click);
}

QWidget* TReviewForm::legendRow(const QString& name,
                                std::initializer_list<std::pair<int, const char*>> entries)
{
    auto* panel = new QWidget(this);
    panel->setObjectName(name);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(2);
    row->addStretch(1);
    for (const auto& [icon, text] : entries) {
        auto* picture = new QLabel(panel);
        picture->setPixmap(m_pictures[static_cast<size_t>(icon)]);
        picture->setProperty("reviewIcon", icon);
        auto* caption = new QLabel(QLatin1String(text), panel);
        row->addWidget(picture);
        row->addWidget(caption);
    }
    return panel;
}

QString TReviewForm::entryText(int itemNumber, const store::ItemResponse& response)
{
    QString text = QString::number(itemNumber) + QStringLiteral("  ");
    for (int i = 0; i < 6; ++i)
        if (response.Choice[static_cast<size_t>(i)])
            text += QLatin1Char(static_cast<char>('A' + i));
    return text;
}

ReviewIcon TReviewForm::progressIcon(const store::ItemResponse& response)
{
    if (response.Marked)
        return Marked;
    for (bool chosen : response.Choice)
        if (chosen)
            return Complete;
    return Incomplete;
}

ReviewIcon TReviewForm::resultIcon(const store::ItemResponse& response)
{
    return response.Correct ? Complete : Incorrect;
}

void TReviewForm::fill(const store::Responses& responses, bool results)
{
    {
        const QSignalBlocker quiet(ListView1);
        ListView1->clear();
        int k = 0;
        for (const store::ItemResponse& r : responses) {
            ++k;
            const ReviewIcon icon = results ? resultIcon(r) : progressIcon(r);
            auto* entry = new QListWidgetItem(QIcon(m_pictures[static_cast<size_t>(icon)]),
                                              entryText(k, r), ListView1);
            entry->setData(kIconRole, static_cast<int>(icon));
        }
    }
    Panel5->setVisible(!results);
    Panel4->setVisible(results);
    BitBtn2->setEnabled(false);
}

void TReviewForm::FillProgressList(const store::Responses& responses)
{
    fill(responses, false);
}

void TReviewForm::FillResultList(const store::Responses& responses)
{
    fill(responses, true);
}

void TReviewForm::ListView1SelectItem()
{
    BitBtn2->setEnabled(true);
}

void TReviewForm::BitBtn2Click()
{
    const QList<QListWidgetItem*> chosen = ListView1->selectedItems();
    if (chosen.isEmpty())
        return;
    emit goToItemRequested(ListView1->row(chosen.first()) + 1);
    accept();
}

void TReviewForm::ListView1DblClick()
{
    BitBtn2Click();
}

void TReviewForm::BitBtn1Click()
{
    reject();
}

void TReviewForm::FormClose()
{
    BitBtn2->setEnabled(false);
}

void TReviewForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        BitBtn2->setEnabled(false);
    QDialog::showEvent(event);
}

void TReviewForm::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        FormClose();
    QDialog::hideEvent(event);
}

} // namespace results
