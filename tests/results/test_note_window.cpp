// The note window on real tables: saving into the current set and the bank,
// cancelling, losing an unsaved change on close, and a failed copy into the
// bank.
#include "BoundControls.h"
#include "DataSource.h"
#include "NoteWindow.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "ShadowLabel.h"
#include "Table.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using results::NoteWindow;
using store::Table;
using store::TableState;

namespace {

const QString kMemo = QStringLiteral("U_MEMO");

} // namespace

class TestNoteForm : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<Table> m_bank;
    std::unique_ptr<Table> m_current;
    std::unique_ptr<store::DataSource> m_ds;
    testing::ScriptedServices m_services;
    std::unique_ptr<NoteWindow> m_form;

    // What the file holds, read through a handle of its own.
    QString memoInFile(const QString& file, int recNo)
    {
        Table t(*m_session, file,
                file == QLatin1String(store::kBankFile) ? store::bankSchema()
                                                        : store::currentSetSchema());
        t.open();
        t.setRecNo(recNo);
        return t.asString(kMemo);
    }
    void setBankMemo(int recNo, const QString& text)
    {
        m_bank->setRecNo(recNo);
        m_bank->edit();
        m_bank->setValue(kMemo, text);
        m_bank->post();
    }
    void addItem(int bankItem, const QString& memo)
    {
        m_current->append();
        m_current->setValue(QStringLiteral("Q_OR_NUMBER"), bankItem);
        m_current->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("item %1").arg(bankItem));
        m_current->setValue(kMemo, memo);
        m_current->post();
    }
    void type(const QString& text)
    {
        m_form->m_noteEdit->moveCursor(QTextCursor::End);
        QTest::keyClicks(m_form->m_noteEdit, text);
    }
    // "Save Note" and "Cancel" are enabled and disabled together.
    bool buttonsEnabled() const
    {
        return m_form->m_saveButton->isEnabled() && m_form->m_cancelButton->isEnabled();
    }
    bool buttonsDisabled() const
    {
        return !m_form->m_saveButton->isEnabled() && !m_form->m_cancelButton->isEnabled();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        // As during Practice Exam B: the bank open under the exam's filter,
        // the current set holding bank items 3 and 4.
        m_bank = std::make_unique<Table>(*m_session, QString::fromLatin1(store::kBankFile),
                                         store::bankSchema());
        m_bank->open();
        setBankMemo(3, QStringLiteral("old note"));
        m_bank->setFilter(QStringLiteral("Q_EXAM_N=2"));
        m_bank->setFiltered(true);
        m_current = std::make_unique<Table>(*m_session, QString::fromLatin1(store::kCurrentSetFile),
                                            store::currentSetSchema(), true);
        m_current->setExclusive(false);
        m_current->open();
        m_current->emptyTable();
        addItem(3, QStringLiteral("old note"));
        addItem(4, QString());
        m_ds = std::make_unique<store::DataSource>(m_current.get());
        m_current->first();
        m_services.reset();
        m_form = std::make_unique<NoteWindow>(m_services);
        m_form->bindTables(m_current.get(), m_ds.get(), m_bank.get());
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_form.reset();
        m_ds.reset();
        m_current.reset();
        m_bank.reset();
        m_session.reset();
        m_dir.reset();
    }

    void looksAsDrawnAndNamesTheBankItem()
    {
        NoteWindow& f = *m_form;
        QCOMPARE(f.objectName(), QStringLiteral("noteWindow"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Quizlark"));
        QCOMPARE(f.size(), QSize(286, 222));
        QCOMPARE(f.m_bannerLabel->text(), QStringLiteral("User Note"));
        QCOMPARE(f.m_bannerLabel->textColour(), QColor(Qt::white));
        QVERIFY(f.m_bannerLabel->font().bold());
        QCOMPARE(QFontInfo(f.m_bannerLabel->font()).family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(f.m_saveButton->text(), QStringLiteral("Save Note"));
        QCOMPARE(f.m_cancelButton->text(), QStringLiteral("Cancel"));
        QCOMPARE(f.m_exitButton->text(), QStringLiteral("Exit"));
        QVERIFY(!f.m_saveButton->isEnabled());
        QVERIFY(!f.m_cancelButton->isEnabled());
        QCOMPARE(f.m_noteEdit->toPlainText(), QStringLiteral("old note"));

        // The bank's item number, not the position in the exam.
        f.prepare(QStringLiteral("Practice Exam B"));
        QCOMPARE(f.m_itemLine->text(), QStringLiteral("Practice Exam B,  Item ID: 3"));
        m_current->next();
        f.prepare(QStringLiteral("Practice Exam B"));
        QCOMPARE(f.m_itemLine->text(), QStringLiteral("Practice Exam B,  Item ID: 4"));

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(f.m_saveButton->x() < f.m_cancelButton->x());
        QVERIFY(f.m_exitButton->geometry().right() > f.width() - 12);
        QVERIFY(f.m_bannerLabel->y() < f.m_itemLine->y());
    }

    void aKeyboardUserGetsOutOfTheNote()
    {
        NoteWindow& f = *m_form;
        QAccessibleInterface* note = QAccessible::queryAccessibleInterface(f.m_noteEdit);
        QVERIFY(note);
        QCOMPARE(note->text(QAccessible::Name), QStringLiteral("Note"));
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.m_noteEdit->setFocus();
        type(QStringLiteral("x"));
        // Tab moves on to Save Note instead of going into the note.
        QTest::keyClick(f.windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.m_saveButton);
        QCOMPARE(f.m_noteEdit->toPlainText(), QStringLiteral("old notex"));
    }

    void savingStoresTheNoteInBothTables()
    {
        m_services.expectModal(QStringLiteral("noteWindow"), [&](QWidget*) {
            type(QStringLiteral(" and more"));
            if (buttonsDisabled() || m_current->state() != TableState::Edit)
                return -1;
            QTest::mouseClick(m_form->m_saveButton, Qt::LeftButton);
            if (buttonsEnabled() || !m_form->isVisible())
                return -2;
            QTest::mouseClick(m_form->m_exitButton, Qt::LeftButton);
            return m_form->isVisible() ? -3 : 0;
        });
        QCOMPARE(m_services.runModal(m_form.get()), 0);
        QCOMPARE(m_current->state(), TableState::Browse);
        QCOMPARE(m_current->asString(kMemo), QStringLiteral("old note and more"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 1),
                 QStringLiteral("old note and more"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3),
                 QStringLiteral("old note and more"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 4), QString());
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("old note and more"));
    }

    void aNoteOnTheSecondItemGoesToItsOwnBankRecord()
    {
        m_current->next();
        m_form->show();
        type(QStringLiteral("subnetting"));
        m_form->saveNote();
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 4),
                 QStringLiteral("subnetting"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3), QStringLiteral("old note"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 2),
                 QStringLiteral("subnetting"));
    }

    void cancelRestoresTheStoredNote()
    {
        m_form->show();
        type(QStringLiteral(" typed"));
        QVERIFY(buttonsEnabled());
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("old note typed"));
        QTest::mouseClick(m_form->m_cancelButton, Qt::LeftButton);
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("old note"));
        QVERIFY(buttonsDisabled());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_current->state(), TableState::Browse);
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 1),
                 QStringLiteral("old note"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3), QStringLiteral("old note"));
    }

    void closingLosesTheUnsavedChange_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "close";
        QTest::newRow("end of the modal run") << "hide";
    }
    void closingLosesTheUnsavedChange()
    {
        QFETCH(QString, how);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        type(QStringLiteral(" lost"));
        if (how == QLatin1String("exit"))
            QTest::mouseClick(m_form->m_exitButton, Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(m_form.get(), Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            m_form->close();
        else
            m_form->hide();
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_current->state(), TableState::Browse);
        QCOMPARE(m_current->asString(kMemo), QStringLiteral("old note"));
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("old note"));
        QVERIFY(buttonsDisabled());
        // Leaving the item afterwards must not post the discarded text.
        m_current->next();
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 1),
                 QStringLiteral("old note"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3), QStringLiteral("old note"));
    }

    void savingWithoutAnEditChangesNothing()
    {
        // The bank's copy differs, so a copy made anyway would show.
        m_bank->setFiltered(false);
        setBankMemo(3, QStringLiteral("bank differs"));
        m_bank->setFiltered(true);
        m_form->show();
        m_form->saveNote();
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3),
                 QStringLiteral("bank differs"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 1),
                 QStringLiteral("old note"));
        QVERIFY(buttonsDisabled());
        QVERIFY(m_services.shownMessages.isEmpty());
    }

    void movingToAnotherItemLeavesNothingToSave_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::newRow("window open") << true;
        QTest::newRow("window hidden") << false;
    }
    void movingToAnotherItemLeavesNothingToSave()
    {
        QFETCH(bool, visible);
        m_current->last();
        setBankMemo(4, QString());
        m_current->edit();
        m_current->setValue(kMemo, QStringLiteral("four"));
        m_current->post();
        m_current->first();
        if (visible)
            m_form->show();
        m_current->next();
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("four"));
        QVERIFY(buttonsDisabled());
        m_current->prior();
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("old note"));
        QVERIFY(buttonsDisabled());
    }

    void aFailedCopyKeepsTheButtonsForAnotherTry_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error");
        QTest::newRow("bank closed")
            << "closed" << QStringLiteral("Cannot move: the table \"tcpip.DAT\" is not open.");
        QTest::newRow("bank record filtered out")
            << "filter"
            << QStringLiteral("The table \"tcpip.DAT\" has no visible record number 3.");
    }
    void aFailedCopyKeepsTheButtonsForAnotherTry()
    {
        QFETCH(QString, fault);
        QFETCH(QString, error);
        if (fault == QLatin1String("closed"))
            m_bank->close();
        else
            m_bank->setFilter(QStringLiteral("Q_EXAM_N=1"));
        m_form->show();
        type(QStringLiteral("!"));
        m_services.expectMessage(error, platform::Ok);
        QTest::mouseClick(m_form->m_saveButton, Qt::LeftButton);
        QCOMPARE(m_services.shownKinds.value(0), platform::MsgKind::Error);
        QVERIFY(buttonsEnabled());
        QVERIFY(m_form->isVisible());
        // The first step went through: the note is in the current set.
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 1),
                 QStringLiteral("old note!"));
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3), QStringLiteral("old note"));

        if (fault == QLatin1String("closed"))
            m_bank->open();
        else
            m_bank->setFilter(QStringLiteral("Q_EXAM_N=2"));
        QTest::mouseClick(m_form->m_saveButton, Qt::LeftButton);
        QVERIFY(buttonsDisabled());
        QCOMPARE(memoInFile(QString::fromLatin1(store::kBankFile), 3), QStringLiteral("old note!"));
        QCOMPARE(m_bank->state(), TableState::Browse);
    }

    // Reopened after Exit, the window takes typing into the note: a space
    // never presses the button that closed it last time.
    void opensWithTheFocusInTheNote()
    {
        m_form->show();
        m_form->m_exitButton->setFocus();
        m_form->m_exitButton->click();
        QVERIFY(!m_form->isVisible());
        m_form->prepare(QStringLiteral("Practice Exam B"));
        m_form->show();
        QCOMPARE(m_form->focusWidget(), static_cast<QWidget*>(m_form->m_noteEdit));
        m_form->hide();
    }

    // The note being typed is told to the exam as it changes, and its end
    // (saved, cancelled or closed) clears it; a draft brought back by a
    // resumed exam is there to save.
    void typingIsKeptAsADraftUntilSavedOrDropped()
    {
        QStringList drafts;
        m_form->setDraftKeeper([&](const QString& text) { drafts << text; });
        m_form->show();
        type(QStringLiteral("ab"));
        QCOMPARE(drafts.last(), QStringLiteral("old noteab"));
        m_form->m_cancelButton->click();
        QCOMPARE(drafts.last(), QString());

        drafts.clear();
        m_form->hide();
        m_form->prepare(QStringLiteral("Practice Exam B"), QStringLiteral("typed before a crash"));
        m_form->show();
        QCOMPARE(m_form->m_noteEdit->toPlainText(), QStringLiteral("typed before a crash"));
        QVERIFY(buttonsEnabled());
        m_form->m_saveButton->click();
        QCOMPARE(memoInFile(QString::fromLatin1(store::kCurrentSetFile), 1),
                 QStringLiteral("typed before a crash"));
        QCOMPARE(drafts.last(), QString());
        m_form->hide();
    }
};

QTEST_MAIN(TestNoteForm)
#include "test_note_window.moc"
