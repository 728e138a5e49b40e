#include "TNoteForm.h"

#include "BoundControls.h"
#include "DataSource.h"
#include "Decor.h"
#include "ErrorReport.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "Table.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace results {

namespace {

const QString kMemoField = QStringLiteral("U_MEMO");

} // namespace

TNoteForm::TNoteForm(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_services(services)
{
    setObjectName(QStringLiteral("NoteForm"));
    setWindowTitle(QStringLiteral("Quizlark"));
    setFixedSize(286, 222);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    auto* title = new QWidget(this);
    title->setObjectName(QStringLiteral("Panel1"));
    title->setFixedHeight(41);
    title->setAutoFillBackground(true);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::Window, QColor(0, 128, 128));
    title->setPalette(titlePalette);
    auto* tv = new QVBoxLayout(title);
    tv->setContentsMargins(2, 2, 2, 3);
    tv->setSpacing(0);
    Label1 = new platform::ShadowLabel(QStringLiteral("User Note"), title);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(11);
    verdana.setBold(true);
    Label1->setFont(verdana);
    Label1->setTextColour(Qt::white);
    Label1->setShadowColour(Qt::black);
    Label1->setAlignment(Qt::AlignCenter);
    Label2 = new QLabel(title);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    QPalette black = Label2->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(black);
    tv->addWidget(Label1);
    tv->addWidget(Label2);
    v->addWidget(title);

    DBMemo1 = new store::DBMemo(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setRunner([this](const std::function<void()>& action) {
        platform::reportErrors(m_services, this, action);
    });
    auto* memoArea = new QWidget(this);
    auto* mv = new QVBoxLayout(memoArea);
    mv->setContentsMargins(4, 4, 4, 4);
    mv->addWidget(DBMemo1);
    v->addWidget(memoArea, 1);

    auto* strip = new ButtonStrip(this);
    strip->setObjectName(QStringLiteral("Panel2"));
    strip->setFixedHeight(41);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 7, 6, 6);
    row->setSpacing(6);
    Button1 = new QPushButton(QStringLiteral("Save Note"), strip);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Cancel"), strip);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(QStringLiteral("Exit"), strip);
    Button3->setObjectName(QStringLiteral("Button3"));
    for (QPushButton* b : {Button1, Button2, Button3}) {
        b->setFixedWidth(75);
        b->setAutoDefault(false);
    }
    row->addWidget(Button1);
    row->addWidget(Button2);
    row->addStretch(1);
    row->addWidget(Button3);
    v->addWidget(strip);
    ClearNoteButtons();

    // Connected after the memo's own handler, so that by the time it runs
    // the typing has already put the record into edit state.
    connect(DBMemo1, &QPlainTextEdit::textChanged, this, &TNoteForm::DBMemo1Change);
    connect(Button1, &QPushButton::clicked, this, &TNoteForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TNoteForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TNoteForm::Button3Click);
}

void TNoteForm::bindTables(store::Table* currentSet, store::DataSource* dsCurrentSet,
                           store::Table* bank)
{
    if (m_dsCurrentSet)
        disconnect(m_dsCurrentSet, nullptr, this, nullptr);
    m_currentSet = currentSet;
    m_dsCurrentSet = dsCurrentSet;
    m_bank = bank;
    m_bankCopyPending = 0;
    DBMemo1->bind(dsCurrentSet, kMemoField);
    if (dsCurrentSet)
        connect(dsCurrentSet, &store::DataSource::stateChanged, this,
                &TNoteForm::currentSetStateChanged);
    ClearNoteButtons();
}

void TNoteForm::prepare(const QString& examTitle)
{
    const qint64 id = m_currentSet && m_currentSet->isOpen()
                          ? m_currentSet->asInteger(QStringLiteral("Q_OR_NUMBER"))
                          : 0;
    Label2->setText(examTitle + QStringLiteral(",  Item ID: ") + QString::number(id));
}

bool TNoteForm::editing() const
{
    return m_currentSet && (m_currentSet->state() == store::TableState::Edit ||
                            m_currentSet->state() == store::TableState::Insert);
}

void TNoteForm::ClearNoteButtons()
{
    Button1->setEnabled(false);
    Button2->setEnabled(false);
}

void TNoteForm::DBMemo1Change()
{
    // Only typing edits the record; the text that follows a move to another
    // item leaves nothing to save or cancel.
    if (editing()) {
        Button1->setEnabled(true);
        Button2->setEnabled(true);
    }
}

void TNoteForm::currentSetStateChanged()
{
    // An edit that ended elsewhere (a move posts it) leaves nothing pending.
    if (!m_saving && !editing() && m_bankCopyPending == 0)
        ClearNoteButtons();
}

void TNoteForm::Button1Click()
{
    if (!m_currentSet)
        return;
    const bool pendingEdit = editing();
    const bool retryCopy = m_bankCopyPending != 0 && m_bankCopyPending == m_currentSet->recNo();
    if (!pendingEdit && !retryCopy) {
        m_bankCopyPending = 0;
        ClearNoteButtons();
        return;
    }
    m_saving = true;
    const bool ok = platform::reportErrors(m_services, this, [&] {
        if (pendingEdit)
            m_currentSet->post();
        m_bankCopyPending = m_currentSet->recNo();
        const qint64 item = m_currentSet->asInteger(QStringLiteral("Q_OR_NUMBER"));
        if (!m_bank)
            throw std::runtime_error("The question bank is not available.");
        m_bank->setRecNo(static_cast<int>(item));
        m_bank->edit();
        m_bank->setValue(kMemoField, m_currentSet->asString(kMemoField));
        m_bank->post();
        m_bankCopyPending = 0;
    });
    m_saving = false;
    if (ok) {
        ClearNoteButtons();
        return;
    }
    // A half-done bank edit would otherwise be posted by the bank's next move.
    if (m_bank && m_bank->isOpen())
        m_bank->cancel();
    Button1->setEnabled(true);
    Button2->setEnabled(true);
}

void TNoteForm::Button2Click()
{
    if (m_currentSet)
        m_currentSet->cancel();
    m_bankCopyPending = 0;
    ClearNoteButtons();
}

void TNoteForm::Button3Click()
{
    reject();
}

void TNoteForm::FormClose()
{
    if (m_currentSet)
        m_currentSet->cancel();
    m_bankCopyPending = 0;
    ClearNoteButtons();
}

void TNoteForm::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        FormClose();
    QDialog::hideEvent(event);
}

} // namespace results
