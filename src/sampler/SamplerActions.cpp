// What the sampler does: its commands, Save and Cancel, the header and status
// bar that follow the user set, and opening and closing the set.
#include "BoundControls.h"
#include "ErrorReport.h"
#include "Schemas.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "TDM.h"
#include "TSamplerForm.h"
#include "Table.h"

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

bool TSamplerForm::run(const std::function<void()>& action)
{
    return platform::reportErrors(m_services, this, action);
}

bool TSamplerForm::editing() const
{
    return m_table.state() == TableState::Edit || m_table.state() == TableState::Insert;
}

void TSamplerForm::FormCreate()
{
    const QScopedValueRollback<bool> guard(m_loading, true);
    ComboBox1->setCurrentIndex(0);
    BitBtn1->setEnabled(false);
    BitBtn2->setEnabled(false);
}

void TSamplerForm::EnableActions(bool flag)
{
    AddAct->setEnabled(flag);
    EditAct->setEnabled(flag);
    DelAct->setEnabled(flag);
    DBList1->setEnabled(flag);
    DBNavigator1->setEnabled(flag);
}

void TSamplerForm::FormShow()
{
    // A sampler closed during Add or Edit would otherwise come back with
    // every command disabled; the data change below disables what an empty
    // set cannot do.
    EnableActions(true);
    setPanel(3, QString());
    {
        const QScopedValueRollback<bool> guard(m_loading, true);
        ListBox1->clear();
        for (const QString& name : store::sectionNames())
            ListBox1->addItem(name);
        ListBox1->setCurrentRow(-1);
        ListBox1->clearSelection();
    }
    if (!m_table.isOpen())
        run([this] { m_table.open(); });
    PageControl1->setCurrentWidget(TabSheet1);
}

void TSamplerForm::FormClose()
{
    // Closing the handle discards a pending insert or edit.
    run([this] { m_table.close(); });
}

void TSamplerForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSamplerForm::hideEvent(QHideEvent* event)
{
    // However the window goes away, the handle is open only while it shows.
    if (!event->spontaneous() && m_table.isOpen())
        FormClose();
    QDialog::hideEvent(event);
}

void TSamplerForm::closeEvent(QCloseEvent* event)
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure to exit?"),
                           platform::Ok | platform::Cancel) != platform::Ok) {
        event->ignore();
        return;
    }
    FormClose();
    setResult(QDialog::Rejected);
    event->accept();
}

void TSamplerForm::keyPressEvent(QKeyEvent* event)
{
    // Escape answers Cancel; it never closes the window past the exit question.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (BitBtn2->isEnabled())
            BitBtn2->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TSamplerForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == PageControl1 || watched == TabSheet3))
        PageControl1Resize();
    return QDialog::eventFilter(watched, event);
}

void TSamplerForm::AddActExecute()
{
    PageControl1->setCurrentWidget(TabSheet1);
    DBMemo1->setFocus();
    EnableActions(false);
    run([this] { m_table.insert(); });
}

void TSamplerForm::EditActExecute()
{
    EnableActions(false);
    run([this] { m_table.edit(); });
}

void TSamplerForm::DelActExecute()
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure to delete this item?"),
                           platform::Ok | platform::Cancel) != platform::Ok)
        return;
    run([this] { m_table.remove(); });
}

void TSamplerForm::BitBtn1Click()
{
    if (!editing())
        return;
    run([this] {
        const int type = ComboBox1->currentIndex();
        if (type == 0)
            m_table.setValue(kType, false);
        else if (type == 1)
            m_table.setValue(kType, true);
        const QList<QListWidgetItem*> chosen = ListBox1->selectedItems();
        m_table.setValue(kSection, chosen.isEmpty() ? 0 : ListBox1->row(chosen.first()) + 1);
        m_table.post();
        setPanel(3, QStringLiteral(" Saved"));
        EnableActions(true);
    });
}

void TSamplerForm::BitBtn2Click()
{
    EnableActions(true);
    run([this] { m_table.cancel(); });
    setPanel(3, QString());
}

void TSamplerForm::Emptyquestionset1Click()
{
    if (m_services.message(
            this, platform::MsgKind::Warning,
            QStringLiteral("This action will erase all items in this question set!\rAre you sure?"),
            platform::Ok | platform::Cancel) != platform::Ok)
        return;
    // A pending Add or Edit is discarded with the set; without this the
    // window would be left with no command and no Save or Cancel to use.
    EnableActions(true);
    setPanel(3, QString());
    run([this] {
        m_table.close();
        m_table.setExclusive(true);
        m_table.open();
        m_table.emptyTable();
    });
}

void TSamplerForm::ComboBox1Change()
{
    if (m_table.isOpen() && m_table.state() == TableState::Browse)
        run([this] { m_table.edit(); });
}

void TSamplerForm::ListBox1Click()
{
    ComboBox1Change();
}

void TSamplerForm::TabSheet2Enter()
{
    ListBox1->setFocus();
}

void TSamplerForm::PageControl1Resize()
{
    for (store::DBEdit* field : DBEdit)
        field->resize(std::max(0, TabSheet3->width() - field->x() - 10), field->height());
}

void TSamplerForm::Exit1Click()
{
    close();
}

void TSamplerForm::About1Click()
{
    emit aboutRequested();
}

void TSamplerForm::dsUserSetStateChange()
{
    switch (m_table.state()) {
    case TableState::Browse:
        BitBtn1->setEnabled(false);
        BitBtn2->setEnabled(false);
        setPanel(2, QStringLiteral("  Browsing"));
        break;
    case TableState::Edit:
        setPanel(2, QStringLiteral(" Edit Item"));
        HeaderLabel->setText(QStringLiteral("Edit Item"));
        break;
    case TableState::Insert:
        HeaderLabel->setText(QStringLiteral("Add new item"));
        setPanel(2, QStringLiteral(" Add new item"));
        break;
    default:
        return;
    }
    if (editing()) {
        BitBtn1->setEnabled(true);
        BitBtn2->setEnabled(true);
        setPanel(3, QStringLiteral(" Modified"));
    }
}

void TSamplerForm::dsUserSetDataChange()
{
    if (!m_table.isOpen())
        return;
    const bool browsing = m_table.state() == TableState::Browse;
    if (browsing) {
        const QString id = QString::number(m_table.asInteger(kId));
        HeaderLabel->setText(QStringLiteral("Item ID: ") + id);
        setPanel(0, QStringLiteral(" Item ID: ") + id);
        setPanel(1, QStringLiteral(" Items: ") + QString::number(m_table.recordCount()));
        const QScopedValueRollback<bool> guard(m_loading, true);
        const qint64 section = m_table.asInteger(kSection);
        if (section >= 1 && section <= store::kSectionCount && section <= ListBox1->count()) {
            ListBox1->setCurrentRow(static_cast<int>(section - 1));
        } else {
            ListBox1->setCurrentRow(-1);
            ListBox1->clearSelection();
        }
        ComboBox1->setCurrentIndex(m_table.asBoolean(kType) ? 1 : 0);
    }
    if (m_table.isEmpty()) {
        EditAct->setEnabled(false);
        DelAct->setEnabled(false);
        // While the first item is being written the header keeps saying so.
        if (browsing)
            HeaderLabel->setText(QStringLiteral("The question set is empty"));
        setPanel(0, QStringLiteral(" Empty"));
    }
}

} // namespace sampler
