// What the sampler does: its commands, Save and Cancel, the header and status
// bar that follow the user set, and opening and closing the set.
#include "BoundControls.h"
#include "ErrorReport.h"
#include "ItemRules.h"
#include "SamplerData.h"
#include "Schemas.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "Table.h"
#include "TestSampler.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>

namespace sampler {

using store::TableState;

namespace {

const QString kType = QStringLiteral("Q_TYPE");
const QString kSection = QStringLiteral("Q_SECT");
const QString kId = QStringLiteral("Q_ID");

} // namespace

bool TestSampler::run(const std::function<void()>& action)
{
    return platform::reportErrors(m_services, this, action);
}

bool TestSampler::editing() const
{
    return m_table.state() == TableState::Edit || m_table.state() == TableState::Insert;
}

void TestSampler::initialise()
{
    const QScopedValueRollback<bool> guard(m_loading, true);
    m_typeBox->setCurrentIndex(0);
    m_saveButton->setEnabled(false);
    m_cancelButton->setEnabled(false);
}

void TestSampler::enableActions(bool flag)
{
    m_addItemAction->setEnabled(flag);
    m_editItemAction->setEnabled(flag);
    m_deleteItemAction->setEnabled(flag);
    m_itemList->setEnabled(flag);
    m_navigator->setEnabled(flag);
}

void TestSampler::prepareShowing()
{
    // A sampler closed during Add or Edit would otherwise come back with
    // every command disabled; the data change below disables what an empty
    // set cannot do.
    enableActions(true);
    setPanel(3, QString());
    {
        const QScopedValueRollback<bool> guard(m_loading, true);
        m_sectionList->clear();
        for (const QString& name : store::sectionNames())
            m_sectionList->addItem(name);
        m_sectionList->setCurrentRow(-1);
        m_sectionList->clearSelection();
    }
    if (!m_table.isOpen())
        run([this] { m_table.open(); });
    m_pages->setCurrentWidget(m_questionTab);
}

void TestSampler::finishClosing()
{
    // Closing the handle discards a pending insert or edit.
    run([this] { m_table.close(); });
}

void TestSampler::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareShowing();
}

void TestSampler::hideEvent(QHideEvent* event)
{
    // However the window goes away, the handle is open only while it shows.
    if (!event->spontaneous() && m_table.isOpen())
        finishClosing();
    QDialog::hideEvent(event);
}

void TestSampler::closeEvent(QCloseEvent* event)
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure to exit?"),
                           platform::Ok | platform::Cancel) != platform::Ok) {
        event->ignore();
        return;
    }
    finishClosing();
    setResult(QDialog::Rejected);
    event->accept();
}

void TestSampler::keyPressEvent(QKeyEvent* event)
{
    // Escape answers Cancel; it never closes the window past the exit question.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancelButton->isEnabled())
            m_cancelButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TestSampler::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == m_pages || watched == m_choicesTab))
        pagesResized();
    return QDialog::eventFilter(watched, event);
}

void TestSampler::addItem()
{
    m_pages->setCurrentWidget(m_questionTab);
    m_questionEdit->setFocus();
    enableActions(false);
    run([this] { m_table.insert(); });
}

void TestSampler::editItem()
{
    enableActions(false);
    run([this] { m_table.edit(); });
}

void TestSampler::deleteItem()
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure to delete this item?"),
                           platform::Ok | platform::Cancel) != platform::Ok)
        return;
    run([this] { m_table.remove(); });
}

QStringList TestSampler::draftGaps() const
{
    std::array<QString, 6> choices;
    std::array<bool, 6> key{};
    bool anyChoice = false;
    for (int i = 0; i < 6; ++i) {
        choices[static_cast<size_t>(i)] = m_table.asString(QStringLiteral("Q%1").arg(i + 1));
        key[static_cast<size_t>(i)] = m_table.asBoolean(QStringLiteral("A%1").arg(i + 1));
        anyChoice = anyChoice || !choices[static_cast<size_t>(i)].trimmed().isEmpty();
    }
    const QString question = m_table.asString(QStringLiteral("Q_TEXT"));
    QStringList gaps;
    if (question.trimmed().isEmpty())
        gaps << QStringLiteral("It has no question.");
    if (!anyChoice)
        gaps << QStringLiteral("It has no choices.");
    for (const store::KeyProblem& p :
         store::keyProblems(question, choices, key, m_table.asBoolean(kType)))
        gaps << store::keyProblemText(p);
    return gaps;
}

void TestSampler::itemPosted()
{
    // Save, a move with the navigator or the item list, and Add new item all
    // post through the table; each says the same of what it wrote.
    const QStringList gaps = draftGaps();
    if (gaps.isEmpty())
        return;
    m_services.message(
        this, platform::MsgKind::Warning,
        QStringLiteral("The item with Q_ID %1 is saved as a draft:\r").arg(m_table.asInteger(kId)) +
            gaps.join(QLatin1Char('\r')) +
            QStringLiteral("\rThe user exam counts it as incorrect until it is "
                           "mended."),
        platform::Ok);
}

void TestSampler::saveItem()
{
    if (!editing())
        return;
    run([this] {
        const int type = m_typeBox->currentIndex();
        if (type == 0)
            m_table.setValue(kType, false);
        else if (type == 1)
            m_table.setValue(kType, true);
        const QList<QListWidgetItem*> chosen = m_sectionList->selectedItems();
        m_table.setValue(kSection, chosen.isEmpty() ? 0 : m_sectionList->row(chosen.first()) + 1);
        m_table.post();
        setPanel(3, QStringLiteral(" Saved"));
        enableActions(true);
    });
}

void TestSampler::cancelEdit()
{
    enableActions(true);
    run([this] { m_table.cancel(); });
    setPanel(3, QString());
}

void TestSampler::emptyQuestionSet()
{
    if (m_services.message(
            this, platform::MsgKind::Warning,
            QStringLiteral("This action will erase all items in this question set!\rAre you sure?"),
            platform::Ok | platform::Cancel) != platform::Ok)
        return;
    // A pending Add or Edit is discarded with the set; without this the
    // window would be left with no command and no Save or Cancel to use.
    enableActions(true);
    setPanel(3, QString());
    run([this] {
        m_table.close();
        m_table.setExclusive(true);
        m_table.open();
        m_table.emptyTable();
    });
}

void TestSampler::typeChanged()
{
    if (m_table.isOpen() && m_table.state() == TableState::Browse)
        run([this] { m_table.edit(); });
}

void TestSampler::sectionChosen()
{
    typeChanged();
}

void TestSampler::typeTabEntered()
{
    m_sectionList->setFocus();
}

void TestSampler::pagesResized()
{
    for (widgets::DBEdit* field : m_choiceEdits)
        field->resize(std::max(0, m_choicesTab->width() - field->x() - 10), field->height());
}

void TestSampler::closeSampler()
{
    close();
}

void TestSampler::showAbout()
{
    emit aboutRequested();
}

void TestSampler::userSetStateChanged()
{
    switch (m_table.state()) {
    case TableState::Browse:
        m_saveButton->setEnabled(false);
        m_cancelButton->setEnabled(false);
        setPanel(2, QStringLiteral("  Browsing"));
        break;
    case TableState::Edit:
        setPanel(2, QStringLiteral(" Edit Item"));
        m_headerLabel->setText(QStringLiteral("Edit Item"));
        break;
    case TableState::Insert:
        m_headerLabel->setText(QStringLiteral("Add new item"));
        setPanel(2, QStringLiteral(" Add new item"));
        break;
    default:
        return;
    }
    if (editing()) {
        m_saveButton->setEnabled(true);
        m_cancelButton->setEnabled(true);
        setPanel(3, QStringLiteral(" Modified"));
    }
}

void TestSampler::userSetDataChanged()
{
    if (!m_table.isOpen())
        return;
    const bool browsing = m_table.state() == TableState::Browse;
    if (browsing) {
        const QString id = QString::number(m_table.asInteger(kId));
        m_headerLabel->setText(QStringLiteral("Item ID: ") + id);
        setPanel(0, QStringLiteral(" Item ID: ") + id);
        setPanel(1, QStringLiteral(" Items: ") + QString::number(m_table.recordCount()));
        const QScopedValueRollback<bool> guard(m_loading, true);
        const qint64 section = m_table.asInteger(kSection);
        if (section >= 1 && section <= store::kSectionCount && section <= m_sectionList->count()) {
            m_sectionList->setCurrentRow(static_cast<int>(section - 1));
        } else {
            m_sectionList->setCurrentRow(-1);
            m_sectionList->clearSelection();
        }
        m_typeBox->setCurrentIndex(m_table.asBoolean(kType) ? 1 : 0);
    }
    if (m_table.isEmpty()) {
        m_editItemAction->setEnabled(false);
        m_deleteItemAction->setEnabled(false);
        // While the first item is being written the header keeps saying so.
        if (browsing)
            m_headerLabel->setText(QStringLiteral("The question set is empty"));
        setPanel(0, QStringLiteral(" Empty"));
    }
}

} // namespace sampler
