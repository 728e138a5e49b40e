#include "ItemsReview.h"

#include "Decor.h"
#include "Services.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
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

void ReviewList::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool digit = text.size() == 1 && text[0] >= u'0' && text[0] <= u'9' &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!digit) {
        m_typed.clear();
        QListWidget::keyPressEvent(event);
        return;
    }
    const double now = m_clock ? m_clock() : 0.0;
    if (!m_typed.isEmpty() && now - m_lastDigit > kTypingPause)
        m_typed.clear();
    m_lastDigit = now;
    m_typed += text;
    int number = m_typed.toInt();
    // A number beyond the list starts again from the digit just typed.
    if (number < 1 || number > count()) {
        m_typed = text;
        number = text.toInt();
    }
    if (number >= 1 && number <= count()) {
        setCurrentRow(number - 1, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(number - 1));
    }
    event->accept();
}

ItemsReview::ItemsReview(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services)
{
    setObjectName(QStringLiteral("itemsReview"));
    setWindowTitle(QStringLiteral("Items Review"));
    setFixedSize(442, 372);
    for (int i = 0; i < 4; ++i)
        m_pictures[static_cast<size_t>(i)] = statePicture(i);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 0);
    v->setSpacing(4);

    m_examLegend = legendRow(
        QStringLiteral("examLegend"),
        {{Incomplete, " - incomplete   "}, {Complete, " - complete   "}, {Marked, " - marked   "}});
    m_reviewLegend = legendRow(QStringLiteral("reviewLegend"), {{Incorrect, " - incorrect item   "},
                                                                {Complete, " - correct item   "}});
    m_reviewLegend->hide();
    v->addWidget(m_examLegend);
    v->addWidget(m_reviewLegend);

    m_itemList = new ReviewList(this);
    m_itemList->setObjectName(QStringLiteral("itemList"));
    m_itemList->setAccessibleName(QStringLiteral("Items"));
    m_itemList->setAccessibleDescription(QStringLiteral("Type an item's number to select it"));
    m_itemList->setClock([this] { return m_services.monotonicNow(); });
    m_itemList->setViewMode(QListView::ListMode);
    m_itemList->setFlow(QListView::TopToBottom);
    m_itemList->setWrapping(true);
    m_itemList->setResizeMode(QListView::Adjust);
    m_itemList->setMovement(QListView::Static);
    m_itemList->setSpacing(1);
    m_itemList->setIconSize(QSize(16, 16));
    m_itemList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_itemList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_itemList->setMouseTracking(true);
    m_itemList->viewport()->setAttribute(Qt::WA_Hover);
    m_itemList->setItemDelegate(new HoverDelegate(m_itemList));
    v->addWidget(m_itemList, 1);

    auto* strip = new ButtonStrip(this);
    strip->setObjectName(QStringLiteral("buttonStrip"));
    strip->setFixedHeight(41);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 7, 0, 6);
    m_goToButton =
        new QPushButton(glyph(Glyph::GoTo), QStringLiteral("&Go to the selected question"), strip);
    m_goToButton->setObjectName(QStringLiteral("goToButton"));
    m_goToButton->setMinimumWidth(220);
    m_goToButton->setEnabled(false);
    m_returnButton = new QPushButton(glyph(Glyph::Return), QStringLiteral("&Return"), strip);
    m_returnButton->setObjectName(QStringLiteral("returnButton"));
    m_returnButton->setMinimumWidth(96);
    for (QPushButton* b : {m_goToButton, m_returnButton})
        b->setAutoDefault(false);
    row->addWidget(m_goToButton);
    row->addStretch(1);
    row->addWidget(m_returnButton);
    v->addWidget(strip);

    connect(m_itemList, &QListWidget::itemSelectionChanged, this, &ItemsReview::itemSelected);
    connect(m_itemList, &QListWidget::itemDoubleClicked, this, &ItemsReview::itemDoubleClicked);
    connect(m_goToButton, &QPushButton::clicked, this, &ItemsReview::goToSelectedItem);
    connect(m_returnButton, &QPushButton::clicked, this, &ItemsReview::returnToExam);
}

QWidget* ItemsReview::legendRow(const QString& name,
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
        // The picture's meaning for a screen reader, which cannot see it.
        picture->setAccessibleName(caption->text().remove(QLatin1Char('-')).trimmed() +
                                   QStringLiteral(" icon"));
        row->addWidget(picture);
        row->addWidget(caption);
    }
    return panel;
}

QString ItemsReview::entryText(int itemNumber, const store::ItemResponse& response)
{
    QString text = QString::number(itemNumber) + QStringLiteral("  ");
    for (int i = 0; i < 6; ++i)
        if (response.Choice[static_cast<size_t>(i)])
            text += QLatin1Char(static_cast<char>('A' + i));
    return text;
}

ReviewIcon ItemsReview::progressIcon(const store::ItemResponse& response)
{
    if (response.Marked)
        return Marked;
    for (bool chosen : response.Choice)
        if (chosen)
            return Complete;
    return Incomplete;
}

ReviewIcon ItemsReview::resultIcon(const store::ItemResponse& response)
{
    return response.Correct ? Complete : Incorrect;
}

QString ItemsReview::iconText(ReviewIcon icon, bool results)
{
    switch (icon) {
    case Incomplete:
        return QStringLiteral("incomplete");
    case Complete:
        return results ? QStringLiteral("correct item") : QStringLiteral("complete");
    case Marked:
        return QStringLiteral("marked");
    case Incorrect:
        return QStringLiteral("incorrect item");
    }
    return QString();
}

void ItemsReview::fill(const store::Responses& responses, bool results)
{
    {
        const QSignalBlocker quiet(m_itemList);
        m_itemList->clear();
        int k = 0;
        for (const store::ItemResponse& r : responses) {
            ++k;
            const ReviewIcon icon = results ? resultIcon(r) : progressIcon(r);
            auto* entry = new QListWidgetItem(QIcon(m_pictures[static_cast<size_t>(icon)]),
                                              entryText(k, r), m_itemList);
            entry->setData(kIconRole, static_cast<int>(icon));
            // The icon in words, for a screen reader; the legend's wording.
            const QString state = iconText(icon, results);
            entry->setData(Qt::AccessibleTextRole, entry->text() + QStringLiteral(", ") + state);
            entry->setData(Qt::AccessibleDescriptionRole, state);
        }
    }
    m_examLegend->setVisible(!results);
    m_reviewLegend->setVisible(results);
    m_goToButton->setEnabled(false);
}

void ItemsReview::fillProgressList(const store::Responses& responses)
{
    fill(responses, false);
}

void ItemsReview::fillResultList(const store::Responses& responses)
{
    fill(responses, true);
}

void ItemsReview::itemSelected()
{
    m_goToButton->setEnabled(true);
}

void ItemsReview::goToSelectedItem()
{
    const QList<QListWidgetItem*> chosen = m_itemList->selectedItems();
    if (chosen.isEmpty())
        return;
    emit goToItemRequested(m_itemList->row(chosen.first()) + 1);
    accept();
}

void ItemsReview::itemDoubleClicked()
{
    goToSelectedItem();
}

void ItemsReview::returnToExam()
{
    reject();
}

void ItemsReview::finishClosing()
{
    m_goToButton->setEnabled(false);
}

void ItemsReview::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        m_goToButton->setEnabled(false);
    QDialog::showEvent(event);
}

void ItemsReview::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        finishClosing();
    QDialog::hideEvent(event);
}

} // namespace results
