#include "NoteWindow.h"

#include "ItemMapper.h"

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

NoteWindow::NoteWindow(platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_services(services)
{
    setObjectName(QStringLiteral("noteWindow"));
    setWindowTitle(QStringLiteral("Quizlark"));
    setFixedSize(286, 222);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    auto* title = new QWidget(this);
    title->setObjectName(QStringLiteral("titleStrip"));
    title->setFixedHeight(41);
    title->setAutoFillBackground(true);
    QPalette titlePalette = title->palette();
    // A teal in which both the white banner and the black item line read
    // at 4.5:1 or more.
    titlePalette.setColor(QPalette::Window, QColor(0, 131, 131));
    title->setPalette(titlePalette);
    auto* tv = new QVBoxLayout(title);
    tv->setContentsMargins(2, 2, 2, 3);
    tv->setSpacing(0);
    m_bannerLabel = new widgets::ShadowLabel(QStringLiteral("User Note"), title);
    m_bannerLabel->setObjectName(QStringLiteral("bannerLabel"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(11);
    verdana.setBold(true);
    m_bannerLabel->setFont(verdana);
    m_bannerLabel->setTextColour(Qt::white);
    m_bannerLabel->setShadowColour(Qt::black);
    m_bannerLabel->setAlignment(Qt::AlignCenter);
    m_itemLine = new QLabel(title);
    m_itemLine->setObjectName(QStringLiteral("itemLine"));
    m_itemLine->setAlignment(Qt::AlignCenter);
    QPalette black = m_itemLine->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_itemLine->setPalette(black);
    tv->addWidget(m_bannerLabel);
    tv->addWidget(m_itemLine);
    v->addWidget(title);

    m_noteEdit = new widgets::DBMemo(this);
    m_noteEdit->setObjectName(QStringLiteral("noteEdit"));
    // Tab leaves the note for the buttons, which have no mnemonics: a
    // keyboard user would otherwise be held in the note for good.
    m_noteEdit->setTabChangesFocus(true);
    m_noteEdit->setAccessibleName(QStringLiteral("Note"));
    m_noteEdit->setRunner([this](const std::function<void()>& action) {
        platform::reportErrors(m_services, this, action);
    });
    auto* memoArea = new QWidget(this);
    auto* mv = new QVBoxLayout(memoArea);
    mv->setContentsMargins(4, 4, 4, 4);
    mv->addWidget(m_noteEdit);
    v->addWidget(memoArea, 1);

    auto* strip = new ButtonStrip(this);
    strip->setObjectName(QStringLiteral("buttonStrip"));
    strip->setFixedHeight(41);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 7, 6, 6);
    row->setSpacing(6);
    m_saveButton = new QPushButton(QStringLiteral("Save Note"), strip);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), strip);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_exitButton = new QPushButton(QStringLiteral("Exit"), strip);
    m_exitButton->setObjectName(QStringLiteral("exitButton"));
    for (QPushButton* b : {m_saveButton, m_cancelButton, m_exitButton}) {
        b->setFixedWidth(75);
        b->setAutoDefault(false);
    }
    row->addWidget(m_saveButton);
    row->addWidget(m_cancelButton);
    row->addStretch(1);
    row->addWidget(m_exitButton);
    v->addWidget(strip);
    disableNoteButtons();

    // Connected after the memo's own handler, so that by the time it runs
    // the typing has already put the record into edit state.
    connect(m_noteEdit, &QPlainTextEdit::textChanged, this, &NoteWindow::noteEdited);
    connect(m_saveButton, &QPushButton::clicked, this, &NoteWindow::saveNote);
    connect(m_cancelButton, &QPushButton::clicked, this, &NoteWindow::cancelNote);
    connect(m_exitButton, &QPushButton::clicked, this, &NoteWindow::exitNote);
}

void NoteWindow::bindTables(store::Table* currentSet, store::DataSource* currentSetSource,
                            store::Table* bank)
{
    if (m_dsCurrentSet)
        disconnect(m_dsCurrentSet, nullptr, this, nullptr);
    m_currentSet = currentSet;
    m_dsCurrentSet = currentSetSource;
    m_bank = bank;
    m_bankCopyPending = 0;
    m_noteEdit->bind(currentSetSource, kMemoField);
    if (currentSetSource)
        connect(currentSetSource, &store::DataSource::stateChanged, this,
                &NoteWindow::currentSetStateChanged);
    disableNoteButtons();
}

void NoteWindow::prepare(const QString& examTitle, const QString& draft)
{
    const qint64 id =
        m_currentSet && m_currentSet->isOpen() ? store::readSourceId(*m_currentSet) : 0;
    m_itemLine->setText(examTitle + QStringLiteral(",  Item ID: ") + QString::number(id));
    // Set as typing would, so that Save and Cancel act on it.
    if (!draft.isEmpty() && draft != m_noteEdit->toPlainText())
        m_noteEdit->setPlainText(draft);
}

void NoteWindow::keepDraft(const QString& text)
{
    if (m_keepDraft)
        m_keepDraft(text);
}

void NoteWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Typing goes into the note, never to a button a space would press,
    // and goes on after what is there.
    m_noteEdit->setFocus(Qt::OtherFocusReason);
    m_noteEdit->moveCursor(QTextCursor::End);
}

bool NoteWindow::editing() const
{
    return m_currentSet && (m_currentSet->state() == store::TableState::Edit ||
                            m_currentSet->state() == store::TableState::Insert);
}

void NoteWindow::disableNoteButtons()
{
    m_saveButton->setEnabled(false);
    m_cancelButton->setEnabled(false);
}

void NoteWindow::noteEdited()
{
    // Only typing edits the record; the text that follows a move to another
    // item leaves nothing to save or cancel.
    if (editing()) {
        m_saveButton->setEnabled(true);
        m_cancelButton->setEnabled(true);
        keepDraft(m_noteEdit->toPlainText());
    }
}

void NoteWindow::currentSetStateChanged()
{
    // An edit that ended elsewhere (a move posts it) leaves nothing pending.
    if (!m_saving && !editing() && m_bankCopyPending == 0)
        disableNoteButtons();
}

void NoteWindow::saveNote()
{
    if (!m_currentSet)
        return;
    const bool pendingEdit = editing();
    const bool retryCopy = m_bankCopyPending != 0 && m_bankCopyPending == m_currentSet->recNo();
    if (!pendingEdit && !retryCopy) {
        m_bankCopyPending = 0;
        disableNoteButtons();
        return;
    }
    m_saving = true;
    const bool ok = platform::reportErrors(m_services, this, [&] {
        if (pendingEdit)
            m_currentSet->post();
        m_bankCopyPending = m_currentSet->recNo();
        const qint64 item = store::readSourceId(*m_currentSet);
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
        keepDraft(QString());
        disableNoteButtons();
        return;
    }
    // A half-done bank edit would otherwise be posted by the bank's next move.
    if (m_bank && m_bank->isOpen())
        m_bank->cancel();
    m_saveButton->setEnabled(true);
    m_cancelButton->setEnabled(true);
}

void NoteWindow::cancelNote()
{
    if (m_currentSet)
        m_currentSet->cancel();
    m_bankCopyPending = 0;
    keepDraft(QString());
    disableNoteButtons();
}

void NoteWindow::exitNote()
{
    reject();
}

void NoteWindow::finishClosing()
{
    if (m_currentSet)
        m_currentSet->cancel();
    m_bankCopyPending = 0;
    keepDraft(QString());
    disableNoteButtons();
}

void NoteWindow::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        finishClosing();
    QDialog::hideEvent(event);
}

} // namespace results
