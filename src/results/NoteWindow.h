#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace widgets {
class DBMemo;
class ShadowLabel;
} // namespace widgets

namespace platform {
class Services;
} // namespace platform

namespace store {
class DataSource;
class Table;
} // namespace store

namespace results {

// The candidate's note on the current item: edited in the current exam set
// and, when saved, copied into the item's record of the bank.
class NoteWindow final : public QDialog {
    Q_OBJECT
public:
    explicit NoteWindow(platform::Services& services, QWidget* parent = nullptr);

    // The bank must be open (under the exam's filter) whenever a note is
    // saved; this window never opens or closes a table.
    void bindTables(store::Table* currentSet, store::DataSource* currentSetSource,
                    store::Table* bank);
    // Sets the item line for the current item and brings back a note typed
    // but not saved before the program stopped; call before each showing.
    void prepare(const QString& examTitle, const QString& draft = QString());
    // Told of every change to the note being typed, and of its end (an
    // empty text), so that the text outlives a crash.
    void setDraftKeeper(std::function<void(const QString&)> keeper)
    {
        m_keepDraft = std::move(keeper);
    }

    widgets::ShadowLabel* m_bannerLabel;
    QLabel* m_itemLine;
    widgets::DBMemo* m_noteEdit;
    QPushButton* m_saveButton;
    QPushButton* m_cancelButton;
    QPushButton* m_exitButton;

public slots:
    void noteEdited();
    void saveNote();
    void cancelNote();
    void exitNote();

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void keepDraft(const QString& text);
    void finishClosing();
    void disableNoteButtons();
    bool editing() const;
    void currentSetStateChanged();

    platform::Services& m_services;
    store::Table* m_currentSet = nullptr;
    store::DataSource* m_dsCurrentSet = nullptr;
    store::Table* m_bank = nullptr;
    bool m_saving = false;
    // Record number of a note posted into the current set whose copy into
    // the bank failed; a later "Save Note" retries the copy.
    int m_bankCopyPending = 0;
    std::function<void(const QString&)> m_keepDraft;
};

} // namespace results
