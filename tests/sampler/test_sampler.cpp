// The test sampler on a real user set: opening and closing the set with the
// window, adding, editing, cancelling, deleting and emptying through the
// controls, navigation, the header and status bar, and the exit question.
#include "BoundControls.h"
#include "DataSource.h"
#include "ProgramDir.h"
#include "SamplerData.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "ShadowLabel.h"
#include "Table.h"
#include "TableError.h"
#include "TestSampler.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using sampler::TestSampler;
using store::Table;
using store::TableState;

namespace {

const QString kExitQuestion = QStringLiteral("Are you sure to exit?");
const QString kDeleteQuestion = QStringLiteral("Are you sure to delete this item?");
const QString kEmptyQuestion =
    QStringLiteral("This action will erase all items in this question set!\rAre you sure?");

struct Seed {
    QString text;
    int section;
    bool multiple;
};

} // namespace

class SamplerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;
    testing::ScriptedServices m_services;
    std::unique_ptr<sampler::SamplerData> m_dm;
    std::unique_ptr<TestSampler> m_form;

    Table& table() { return m_dm->userSet(); }

    void seed(const QList<Seed>& items)
    {
        Table t(*m_session, QString::fromLatin1(store::kUserSetFile), store::userSetSchema());
        t.open();
        for (const Seed& s : items) {
            t.append();
            t.setValue(QStringLiteral("Q_TEXT"), s.text);
            t.setValue(QStringLiteral("Q_SECT"), s.section);
            t.setValue(QStringLiteral("Q_TYPE"), s.multiple);
            t.setValue(QStringLiteral("Q1"), s.text + QStringLiteral(" a"));
            t.setValue(QStringLiteral("A1"), true);
            t.post();
        }
    }

    // Every record as the file holds it, read through a handle of its own.
    QList<QVariantMap> stored()
    {
        Table t(*m_session, QString::fromLatin1(store::kUserSetFile), store::userSetSchema());
        t.open();
        QList<QVariantMap> rows;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            QVariantMap row;
            for (const auto& column : store::userSetSchema())
                row.insert(column.name, t.value(column.name));
            rows << row;
        }
        return rows;
    }

    void show()
    {
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
    }

    void chooseSection(int row)
    {
        m_form->m_pages->setCurrentWidget(m_form->m_typeTab);
        QListWidgetItem* it = m_form->m_sectionList->item(row);
        QTest::mouseClick(m_form->m_sectionList->viewport(), Qt::LeftButton, {},
                          m_form->m_sectionList->visualItemRect(it).center());
    }

    void chooseType(int entry)
    {
        QComboBox* box = m_form->m_typeBox;
        m_form->m_pages->setCurrentWidget(m_form->m_typeTab);
        while (box->currentIndex() != entry)
            QTest::keyClick(box, entry > box->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
    }

    int selectedSection() const
    {
        const auto chosen = m_form->m_sectionList->selectedItems();
        return chosen.isEmpty() ? 0 : m_form->m_sectionList->row(chosen.first()) + 1;
    }

    bool commandsEnabled() const
    {
        return m_form->m_addItemAction->isEnabled() && m_form->m_editItemAction->isEnabled() &&
               m_form->m_deleteItemAction->isEnabled() && m_form->m_itemList->isEnabled() &&
               m_form->m_navigator->isEnabled();
    }

    bool commandsDisabled() const
    {
        return !m_form->m_addItemAction->isEnabled() && !m_form->m_editItemAction->isEnabled() &&
               !m_form->m_deleteItemAction->isEnabled() && !m_form->m_itemList->isEnabled() &&
               !m_form->m_navigator->isEnabled();
    }

    void navigate(int button) { m_form->m_navigator->button(button)->click(); }

    // Clicks a key box until it shows ticked or not; an undetermined box
    // (a null field) goes to ticked first.
    void tick(int box, bool on)
    {
        const Qt::CheckState wanted = on ? Qt::Checked : Qt::Unchecked;
        while (m_form->m_keyBoxes[box]->checkState() != wanted)
            m_form->m_keyBoxes[box]->click();
    }

    // A choice a that is the key: what Save asks of every item.
    void giveAnswer()
    {
        QTest::keyClicks(m_form->m_choiceEdits[0], QStringLiteral("yes"));
        m_form->m_keyBoxes[0]->click();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        m_services.reset();
        m_dm = std::make_unique<sampler::SamplerData>(*m_session);
        m_form = std::make_unique<TestSampler>(m_services, *m_dm);
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_form->hide();
        m_form.reset();
        m_dm.reset();
        m_session.reset();
        m_dir.reset();
    }

    void windowHasItsPartsAndTexts()
    {
        QCOMPARE(m_form->objectName(), QStringLiteral("testSampler"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Quizlark Test Sampler"));
        QCOMPARE(m_form->size(), QSize(646, 481));
        QCOMPARE(m_form->minimumSize(), QSize(646, 462));

        QStringList menus;
        for (QAction* a : m_form->m_menuBar->actions()) {
            QStringList entries;
            for (QAction* e : a->menu()->actions())
                entries << (e->isSeparator() ? QStringLiteral("-") : e->text());
            menus << a->text() + QLatin1Char(':') + entries.join(QLatin1Char(','));
        }
        QCOMPARE(menus, QStringList({"&File:&Import…,Ex&port…,-,E&xit",
                                     "&Items:&Add new item,&Edit item,&Delete Item,-,E&mpty "
                                     "question set",
                                     "&Help:A&bout"}));
        QCOMPARE(m_form->m_toolBar->actions(),
                 QList<QAction*>({m_form->m_addItemAction, m_form->m_editItemAction,
                                  m_form->m_deleteItemAction}));
        QCOMPARE(m_form->m_listMenu->actions(),
                 QList<QAction*>({m_form->m_addItemAction, m_form->m_editItemAction,
                                  m_form->m_deleteItemAction}));
        for (QAction* a :
             {m_form->m_addItemAction, m_form->m_editItemAction, m_form->m_deleteItemAction})
            QVERIFY(!a->icon().isNull());

        QStringList tabs;
        for (int i = 0; i < m_form->m_pages->count(); ++i)
            tabs << m_form->m_pages->tabText(i);
        QCOMPARE(tabs, QStringList(
                           {"Test question", "Type, Section", "Responce choices", "Explanation"}));
        auto hasText = [](QWidget* page, const QString& text) {
            for (QLabel* l : page->findChildren<QLabel*>())
                if (l->text() == text)
                    return true;
            return false;
        };
        QVERIFY(hasText(m_form->m_questionTab, "Enter the question text in the box bellow."));
        QVERIFY(hasText(m_form->m_typeTab, "Select item type:"));
        QVERIFY(hasText(m_form->m_typeTab, "Select item section:"));
        QVERIFY(hasText(m_form->m_choicesTab,
                        "Enter the responce choices and mark the correct choice(s)."));
        QVERIFY(hasText(m_form->m_explanationTab, "Enter the explanation text."));
        QCOMPARE(m_form->m_typeBox->count(), 2);
        QCOMPARE(m_form->m_typeBox->itemText(0), QStringLiteral("Single responce"));
        QCOMPARE(m_form->m_typeBox->itemText(1), QStringLiteral("Multiple responces"));
        QCOMPARE(m_form->m_typeBox->currentIndex(), 0);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(m_form->m_keyBoxes[i]->text(), QString(QChar('a' + i)) + QLatin1Char('.'));
        QCOMPARE(m_form->m_questionEdit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(m_form->m_explanationEdit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        const QStringList hints = {"First item", "Prior item", "Next item", "Last item"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_form->m_navigator->button(i)->toolTip(), hints.at(i));
        QCOMPARE(m_form->m_saveButton->text(), QStringLiteral("Save"));
        QCOMPARE(m_form->m_cancelButton->text(), QStringLiteral("Cancel"));
        QVERIFY(m_form->m_saveButton->isDefault());

        const int widths[4] = {70, 80, 100, 100};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_form->m_statusPanels[i]->width(), widths[i]);

        QFont expected(QStringLiteral("Verdana"));
        QCOMPARE(QFontInfo(m_form->m_headerLabel->font()).family(), QFontInfo(expected).family());
        QVERIFY(m_form->m_headerLabel->font().bold());
        QCOMPARE(m_form->m_headerLabel->textColour(), QColor(0, 255, 255));
    }

    void choiceFieldsFollowTheWidthOfTheirPage()
    {
        show();
        m_form->m_pages->setCurrentWidget(m_form->m_choicesTab);
        for (int width : {646, 900}) {
            m_form->resize(width, 500);
            QApplication::processEvents();
            for (widgets::DBEdit* field : m_form->m_choiceEdits)
                QCOMPARE(field->width(), m_form->m_choicesTab->width() - field->x() - 10);
        }
        m_form->m_splitter->setSizes({300, 600});
        QApplication::processEvents();
        for (widgets::DBEdit* field : m_form->m_choiceEdits)
            QCOMPARE(field->width(), m_form->m_choicesTab->width() - field->x() - 10);
    }

    void openingAnEmptySet()
    {
        show();
        QVERIFY(table().isOpen());
        QVERIFY(!table().exclusive());
        QCOMPARE(m_form->headerText(), QStringLiteral("The question set is empty"));
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Empty"));
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 0"));
        QCOMPARE(m_form->panelText(2), QStringLiteral("  Browsing"));
        QCOMPARE(m_form->panelText(3), QString());
        QVERIFY(m_form->m_addItemAction->isEnabled());
        QVERIFY(!m_form->m_editItemAction->isEnabled());
        QVERIFY(!m_form->m_deleteItemAction->isEnabled());
        QVERIFY(!m_form->m_saveButton->isEnabled());
        QVERIFY(!m_form->m_cancelButton->isEnabled());
        QCOMPARE(m_form->m_typeBox->currentIndex(), 0);
        QCOMPARE(selectedSection(), 0);
        QStringList sections;
        for (int i = 0; i < m_form->m_sectionList->count(); ++i)
            sections << m_form->m_sectionList->item(i)->text();
        QCOMPARE(sections,
                 QStringList({"Planning", "Installation and Configuration", "Connectivity",
                              "Monitoring and Optimization", "Troubleshooting"}));
        QCOMPARE(m_form->m_pages->currentWidget(), m_form->m_questionTab);
        QCOMPARE(m_form->m_itemList->count(), 0);

        // The handle lives exactly as long as the window shows; a second
        // opening refills the section list rather than doubling it.
        m_form->hide();
        QVERIFY(!table().isOpen());
        show();
        QVERIFY(table().isOpen());
        QCOMPARE(m_form->m_sectionList->count(), 5);
    }

    void openingShowsTheFirstItemWithItsTypeAndSection()
    {
        seed({{"first", 3, true}, {"second", 1, false}});
        show();
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 1"));
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Item ID: 1"));
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 2"));
        QCOMPARE(m_form->m_sectionList->selectedItems().size(), 1);
        QCOMPARE(m_form->m_sectionList->selectedItems().first()->text(),
                 QStringLiteral("Connectivity"));
        QCOMPARE(m_form->m_typeBox->currentIndex(), 1);
        QCOMPARE(m_form->m_questionEdit->toPlainText(), QStringLiteral("first"));
        QCOMPARE(m_form->m_choiceEdits[0]->text(), QStringLiteral("first a"));
        QCOMPARE(m_form->m_keyBoxes[0]->checkState(), Qt::Checked);
        QCOMPARE(m_form->m_itemList->count(), 2);
        QCOMPARE(m_form->m_itemList->item(0)->text(), QStringLiteral("1"));
        QCOMPARE(m_form->m_itemList->currentRow(), 0);
        QVERIFY(commandsEnabled());

        m_form->m_editItemAction->trigger();
        QCOMPARE(table().state(), TableState::Edit);
        QCOMPARE(m_form->headerText(), QStringLiteral("Edit Item"));
        QCOMPARE(m_form->panelText(2), QStringLiteral(" Edit Item"));
        QCOMPARE(m_form->panelText(3), QStringLiteral(" Modified"));
        QVERIFY(commandsDisabled());
        QVERIFY(m_form->m_saveButton->isEnabled() && m_form->m_cancelButton->isEnabled());
        m_form->m_saveButton->click();
        QCOMPARE(table().state(), TableState::Browse);
        QCOMPARE(m_form->panelText(3), QStringLiteral(" Saved"));
        QVERIFY(commandsEnabled());
        const auto rows = stored();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].value("Q_SECT").toInt(), 3);
        QCOMPARE(rows[0].value("Q_TYPE").toBool(), true);
    }

    void addingAnItemThroughTheControls_data()
    {
        QTest::addColumn<QList<int>>("existing"); // sections of items already there
        QTest::addColumn<int>("type");            // entry to choose, -1 to leave it
        QTest::addColumn<int>("section");         // list row to click, -1 to leave it
        QTest::addColumn<bool>("saveByEnter");
        QTest::addColumn<bool>("expectMultiple");
        QTest::addColumn<int>("expectSection");
        QTest::newRow("first item, section and type chosen")
            << QList<int>{} << 1 << 3 << false << true << 4;
        QTest::newRow("first item without a section keeps 0")
            << QList<int>{} << -1 << -1 << false << false << 0;
        QTest::newRow("takes the type and section shown before")
            << QList<int>{2} << -1 << -1 << true << true << 2;
        QTest::newRow("chosen over the shown ones")
            << QList<int>{2} << 0 << 0 << true << false << 1;
    }
    void addingAnItemThroughTheControls()
    {
        QFETCH(QList<int>, existing);
        QFETCH(int, type);
        QFETCH(int, section);
        QFETCH(bool, saveByEnter);
        QFETCH(bool, expectMultiple);
        QFETCH(int, expectSection);
        QList<Seed> seeds;
        for (int s : existing)
            seeds << Seed{QStringLiteral("old"), s, true};
        seed(seeds);
        show();
        m_form->m_pages->setCurrentWidget(m_form->m_explanationTab);

        m_form->m_addItemAction->trigger();
        QCOMPARE(table().state(), TableState::Insert);
        QCOMPARE(m_form->m_pages->currentWidget(), m_form->m_questionTab);
        QCOMPARE(m_form->headerText(), QStringLiteral("Add new item"));
        QCOMPARE(m_form->panelText(2), QStringLiteral(" Add new item"));
        QCOMPARE(m_form->panelText(3), QStringLiteral(" Modified"));
        QVERIFY(commandsDisabled());
        QVERIFY(m_form->m_saveButton->isEnabled() && m_form->m_cancelButton->isEnabled());
        for (widgets::DBCheckBox* box : m_form->m_keyBoxes)
            QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        QCOMPARE(m_form->m_questionEdit->toPlainText(), QString());

        QTest::keyClicks(m_form->m_questionEdit, QStringLiteral("What is ARP?"));
        QCOMPARE(m_form->headerText(), QStringLiteral("Add new item"));
        m_form->m_pages->setCurrentWidget(m_form->m_choicesTab);
        QTest::keyClicks(m_form->m_choiceEdits[0], QStringLiteral("Address resolution"));
        QTest::keyClicks(m_form->m_choiceEdits[1], QStringLiteral("Routing"));
        m_form->m_keyBoxes[0]->click();
        m_form->m_keyBoxes[1]->click();
        m_form->m_keyBoxes[1]->click();
        QCOMPARE(m_form->m_keyBoxes[1]->checkState(), Qt::Unchecked);
        m_form->m_pages->setCurrentWidget(m_form->m_explanationTab);
        QTest::keyClicks(m_form->m_explanationEdit, QStringLiteral("It maps IP to MAC."));
        if (type >= 0)
            chooseType(type);
        if (section >= 0)
            chooseSection(section);
        QCOMPARE(table().state(), TableState::Insert);

        const int before = m_form->m_itemList->count();
        if (saveByEnter)
            QTest::keyClick(m_form->m_choiceEdits[1], Qt::Key_Return);
        else
            m_form->m_saveButton->click();

        QCOMPARE(table().state(), TableState::Browse);
        const auto rows = stored();
        QCOMPARE(rows.size(), existing.size() + 1);
        const QVariantMap& row = rows.last();
        const int id = row.value("Q_ID").toInt();
        QVERIFY(id > 0);
        for (int i = 0; i < rows.size() - 1; ++i)
            QVERIFY(rows[i].value("Q_ID").toInt() < id);
        QCOMPARE(row.value("Q_TEXT").toString(), QStringLiteral("What is ARP?"));
        QCOMPARE(row.value("Q1").toString(), QStringLiteral("Address resolution"));
        QCOMPARE(row.value("Q2").toString(), QStringLiteral("Routing"));
        QCOMPARE(row.value("Q3").toString(), QString());
        QCOMPARE(row.value("A1").toBool(), true);
        QCOMPARE(row.value("A2").toBool(), false);
        QCOMPARE(row.value("A3").toBool(), false);
        QCOMPARE(row.value("Q_EXPL").toString(), QStringLiteral("It maps IP to MAC."));
        QCOMPARE(row.value("Q_TYPE").toBool(), expectMultiple);
        QCOMPARE(row.value("Q_SECT").toInt(), expectSection);
        QCOMPARE(row.value("U_MEMO").toString(), QString());

        const QString idText = QString::number(id);
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: ") + idText);
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Item ID: ") + idText);
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: %1").arg(rows.size()));
        QCOMPARE(m_form->panelText(2), QStringLiteral("  Browsing"));
        QCOMPARE(m_form->panelText(3), QStringLiteral(" Saved"));
        QCOMPARE(m_form->m_itemList->count(), before + 1);
        QCOMPARE(m_form->m_itemList->currentItem()->text(), idText);
        QCOMPARE(selectedSection(), expectSection);
        QCOMPARE(m_form->m_typeBox->currentIndex(), expectMultiple ? 1 : 0);
        QVERIFY(commandsEnabled());
        QVERIFY(!m_form->m_saveButton->isEnabled() && !m_form->m_cancelButton->isEnabled());
    }

    void cancellingAnEditOrAnAdd_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("edit, Cancel button") << false << false;
        QTest::newRow("edit, Escape") << false << true;
        QTest::newRow("add, Cancel button") << true << false;
        QTest::newRow("add, Escape") << true << true;
    }
    void cancellingAnEditOrAnAdd()
    {
        QFETCH(bool, add);
        QFETCH(bool, byEscape);
        seed({{"first", 1, false}, {"second", 5, true}});
        const auto before = stored();
        show();
        navigate(3);
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 2"));
        if (add)
            m_form->m_addItemAction->trigger();
        else
            m_form->m_editItemAction->trigger();
        QTest::keyClicks(m_form->m_questionEdit, QStringLiteral(" changed"));
        chooseSection(0);
        if (byEscape)
            QTest::keyClick(m_form->m_choiceEdits[2], Qt::Key_Escape);
        else
            m_form->m_cancelButton->click();

        QVERIFY(m_form->isVisible());
        QCOMPARE(table().state(), TableState::Browse);
        QCOMPARE(stored(), before);
        QCOMPARE(m_form->m_questionEdit->toPlainText(), QStringLiteral("second"));
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 2"));
        QCOMPARE(m_form->panelText(3), QString());
        QCOMPARE(selectedSection(), 5);
        QVERIFY(commandsEnabled());
        QVERIFY(!m_form->m_saveButton->isEnabled() && !m_form->m_cancelButton->isEnabled());

        // With nothing to cancel, Escape leaves the window alone.
        QTest::keyClick(m_form->m_choiceEdits[2], Qt::Key_Escape);
        QVERIFY(m_form->isVisible());
    }

    void typingIntoABrowsedItemEditsItAndAMovePostsIt()
    {
        seed({{"first", 1, false}, {"second", 2, false}});
        show();
        m_form->m_pages->setCurrentWidget(m_form->m_choicesTab);
        QTest::keyClicks(m_form->m_choiceEdits[2], QStringLiteral("new choice"));
        QCOMPARE(table().state(), TableState::Edit);
        QCOMPARE(m_form->headerText(), QStringLiteral("Edit Item"));
        QCOMPARE(m_form->panelText(2), QStringLiteral(" Edit Item"));
        QCOMPARE(m_form->panelText(3), QStringLiteral(" Modified"));
        QVERIFY(m_form->m_saveButton->isEnabled());
        QVERIFY(commandsEnabled());
        navigate(2);
        QCOMPARE(table().state(), TableState::Browse);
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 2"));
        QCOMPARE(stored()[0].value("Q3").toString(), QStringLiteral("new choice"));

        // A changed section alone is written only by Save: a move loses it.
        chooseSection(4);
        QCOMPARE(table().state(), TableState::Edit);
        QVERIFY(commandsEnabled());
        navigate(0);
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 1"));
        QCOMPARE(selectedSection(), 1);
        chooseType(1);
        QCOMPARE(table().state(), TableState::Edit);
        navigate(2);
        navigate(0);
        QCOMPARE(m_form->m_typeBox->currentIndex(), 0);
        QCOMPARE(stored()[0].value("Q_SECT").toInt(), 1);
        QCOMPARE(stored()[0].value("Q_TYPE").toBool(), false);
    }

    void typingIntoAnEmptySetStartsTheFirstItem()
    {
        show();
        QTest::keyClicks(m_form->m_questionEdit, QStringLiteral("Q"));
        QCOMPARE(table().state(), TableState::Insert);
        QCOMPARE(m_form->headerText(), QStringLiteral("Add new item"));
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Empty"));
        QVERIFY(!m_form->m_editItemAction->isEnabled());
        giveAnswer();
        m_form->m_saveButton->click();
        QCOMPARE(stored().size(), 1);
        QCOMPARE(stored()[0].value("Q_SECT").toInt(), 0);
        QVERIFY(commandsEnabled());
    }

    void navigatorAndItemListMoveThroughTheItems()
    {
        seed({{"one", 1, false}, {"two", 2, false}, {"three", 3, false}});
        show();
        QVERIFY(!m_form->m_navigator->button(0)->isEnabled());
        QVERIFY(!m_form->m_navigator->button(1)->isEnabled());
        const QList<QPair<int, QString>> steps = {
            {2, "two"}, {3, "three"}, {1, "two"}, {0, "one"}, {3, "three"}};
        for (const auto& [button, text] : steps) {
            navigate(button);
            QCOMPARE(m_form->m_questionEdit->toPlainText(), text);
            const int id = text == "one" ? 1 : text == "two" ? 2 : 3;
            QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: %1").arg(id));
            QCOMPARE(m_form->panelText(0), QStringLiteral(" Item ID: %1").arg(id));
            QCOMPARE(m_form->m_itemList->currentRow(), id - 1);
            QCOMPARE(selectedSection(), id);
        }
        QVERIFY(!m_form->m_navigator->button(2)->isEnabled());
        m_form->m_itemList->setCurrentRow(1);
        QCOMPARE(m_form->m_questionEdit->toPlainText(), QStringLiteral("two"));
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 2"));
    }

    void deletingAnItem_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("shownAfter"); // Q_ID, 0 for the empty set
        QTest::newRow("middle item, OK") << 3 << 2 << true << 3;
        QTest::newRow("last item, OK") << 3 << 3 << true << 2;
        QTest::newRow("only item, OK") << 1 << 1 << true << 0;
        QTest::newRow("Cancel keeps it") << 3 << 2 << false << 2;
    }
    void deletingAnItem()
    {
        QFETCH(int, items);
        QFETCH(int, at);
        QFETCH(bool, confirm);
        QFETCH(int, shownAfter);
        QList<Seed> seeds;
        for (int i = 1; i <= items; ++i)
            seeds << Seed{QStringLiteral("item %1").arg(i), 1, false};
        seed(seeds);
        show();
        m_form->m_itemList->setCurrentRow(at - 1);
        m_services.expectMessage(kDeleteQuestion, confirm ? platform::Ok : platform::Cancel);
        m_form->m_deleteItemAction->trigger();
        QCOMPARE(m_services.shownKinds.last(), platform::MsgKind::Confirmation);

        const int left = confirm ? items - 1 : items;
        QCOMPARE(stored().size(), left);
        QCOMPARE(m_form->m_itemList->count(), left);
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: %1").arg(left));
        if (shownAfter == 0) {
            QCOMPARE(m_form->headerText(), QStringLiteral("The question set is empty"));
            QCOMPARE(m_form->panelText(0), QStringLiteral(" Empty"));
            QVERIFY(m_form->m_addItemAction->isEnabled());
            QVERIFY(!m_form->m_editItemAction->isEnabled());
            QVERIFY(!m_form->m_deleteItemAction->isEnabled());
            QCOMPARE(m_form->m_questionEdit->toPlainText(), QString());
        } else {
            QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: %1").arg(shownAfter));
            QCOMPARE(m_form->m_questionEdit->toPlainText(),
                     QStringLiteral("item %1").arg(shownAfter));
            QVERIFY(commandsEnabled());
        }
    }

    void closingAsksFirst_data()
    {
        QTest::addColumn<QString>("pending"); // "", "add" or "edit"
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("browsing, OK") << "" << true << true;
        QTest::newRow("browsing, Cancel") << "" << false << false;
        QTest::newRow("adding, OK") << "add" << false << true;
        QTest::newRow("adding, Cancel") << "add" << true << false;
        QTest::newRow("editing, OK") << "edit" << true << true;
        QTest::newRow("editing, Cancel") << "edit" << false << false;
    }
    void closingAsksFirst()
    {
        QFETCH(QString, pending);
        QFETCH(bool, viaMenu);
        QFETCH(bool, confirm);
        seed({{"first", 2, false}});
        const auto before = stored();
        show();
        if (pending == "add")
            m_form->m_addItemAction->trigger();
        else if (pending == "edit")
            m_form->m_editItemAction->trigger();
        if (!pending.isEmpty())
            QTest::keyClicks(m_form->m_questionEdit, QStringLiteral("unsaved"));

        m_services.expectMessage(kExitQuestion, confirm ? platform::Ok : platform::Cancel);
        if (viaMenu)
            m_form->m_exitAction->trigger();
        else
            m_form->close();
        QCOMPARE(m_services.shownKinds.last(), platform::MsgKind::Confirmation);

        QCOMPARE(m_form->isVisible(), !confirm);
        QCOMPARE(table().isOpen(), !confirm);
        if (!confirm) {
            const TableState expected = pending == "add"    ? TableState::Insert
                                        : pending == "edit" ? TableState::Edit
                                                            : TableState::Browse;
            QCOMPARE(table().state(), expected);
            if (!pending.isEmpty())
                QVERIFY(m_form->m_questionEdit->toPlainText().contains("unsaved"));
            return;
        }
        QCOMPARE(stored(), before);

        // Opened again, the window offers its commands whatever it was doing
        // when it closed.
        show();
        QVERIFY(commandsEnabled());
        QCOMPARE(m_form->panelText(3), QString());
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 1"));
    }

    void closingThroughAModalRunLikeTheStartWindow()
    {
        seed({{"first", 2, false}});
        m_services.expectModal(QStringLiteral("testSampler"), [this](QWidget* w) {
            auto* form = static_cast<TestSampler*>(w);
            form->m_addItemAction->trigger();
            QTest::keyClicks(form->m_questionEdit, QStringLiteral("never saved"));
            m_services.expectMessage(kExitQuestion, platform::Ok);
            form->m_exitAction->trigger();
            return 0;
        });
        m_services.runModal(m_form.get());
        QVERIFY(!table().isOpen());
        QCOMPARE(stored().size(), 1);
    }

    void emptyingTheSet_data()
    {
        QTest::addColumn<bool>("whileAdding");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("browsing, OK") << false << true;
        QTest::newRow("adding, OK") << true << true;
        QTest::newRow("Cancel keeps the items") << false << false;
    }
    void emptyingTheSet()
    {
        QFETCH(bool, whileAdding);
        QFETCH(bool, confirm);
        seed({{"first", 2, false}, {"second", 3, true}});
        show();
        if (whileAdding) {
            m_form->m_addItemAction->trigger();
            QTest::keyClicks(m_form->m_questionEdit, QStringLiteral("lost"));
        }
        QVERIFY(m_form->m_emptySetAction->isEnabled());
        m_services.expectMessage(kEmptyQuestion, confirm ? platform::Ok : platform::Cancel);
        m_form->m_emptySetAction->trigger();
        QCOMPARE(m_services.shownKinds.last(), platform::MsgKind::Warning);
        if (!confirm) {
            QVERIFY(!table().exclusive());
            QCOMPARE(table().recordCount(), 2);
            return;
        }
        QVERIFY(table().isOpen());
        QVERIFY(table().exclusive());
        QCOMPARE(table().recordCount(), 0);
        QCOMPARE(m_form->headerText(), QStringLiteral("The question set is empty"));
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Empty"));
        QCOMPARE(m_form->panelText(3), QString());
        QCOMPARE(m_form->m_itemList->count(), 0);
        QVERIFY(m_form->m_addItemAction->isEnabled());
        QVERIFY(!m_form->m_editItemAction->isEnabled());
        QVERIFY(!m_form->m_deleteItemAction->isEnabled());
        QVERIFY(!m_form->m_saveButton->isEnabled());

        // The set can be written again at once, and the handle stays
        // exclusive for later openings.
        m_form->m_addItemAction->trigger();
        QTest::keyClicks(m_form->m_questionEdit, QStringLiteral("fresh"));
        giveAnswer();
        m_form->m_saveButton->click();
        QCOMPARE(table().recordCount(), 1);
        m_services.expectMessage(kExitQuestion, platform::Ok);
        m_form->close();
        const auto rows = stored();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value("Q_TEXT").toString(), QStringLiteral("fresh"));
        show();
        QVERIFY(table().exclusive());
        QVERIFY(table().isOpen());
    }

    void aMissingSetIsReportedAndNothingBreaks()
    {
        QVERIFY(QFile::remove(m_dir->file(QString::fromLatin1(store::kUserSetFile))));
        QString text;
        try {
            Table t(*m_session, QString::fromLatin1(store::kUserSetFile), store::userSetSchema());
            t.open();
        } catch (const platform::TableError& e) {
            text = e.text();
        }
        QVERIFY(!text.isEmpty());
        m_services.expectMessage(text, platform::Ok);
        show();
        QVERIFY(m_form->isVisible());
        QVERIFY(!table().isOpen());
        QVERIFY(!m_form->m_saveButton->isEnabled());
        m_services.expectMessage(kExitQuestion, platform::Ok);
        m_form->close();
        QVERIFY(!m_form->isVisible());
    }

    void aboutIsAskedOfTheOwner()
    {
        QSignalSpy about(m_form.get(), &TestSampler::aboutRequested);
        m_form->m_aboutAction->trigger();
        QCOMPARE(about.size(), 1);
    }

    // Looking at the "Type, Section" tab of an item with no section changes
    // nothing: no edit starts, and no row looks chosen.
    void lookingAtTheTypeTabStartsNoEdit()
    {
        seed({{"no section", 0, false}});
        show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QCOMPARE(selectedSection(), 0);
        QTabBar* tabs = m_form->m_pages->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {},
                          tabs->tabRect(m_form->m_pages->indexOf(m_form->m_typeTab)).center());
        QCOMPARE(m_form->m_pages->currentWidget(), m_form->m_typeTab);
        QVERIFY(m_form->m_sectionList->hasFocus());
        QCOMPARE(table().state(), TableState::Browse);
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 1"));
        QCOMPARE(m_form->panelText(3), QString());
        QVERIFY(!m_form->m_saveButton->isEnabled());
        QCOMPARE(m_form->m_sectionList->currentRow(), -1);
        QCOMPARE(selectedSection(), 0);
        // Choosing a row is what starts the edit.
        chooseSection(1);
        QCOMPARE(table().state(), TableState::Edit);
        QCOMPARE(selectedSection(), 2);
    }

    // An unfinished item is kept as a draft, whichever way its edit ends,
    // and the same warning names what it lacks once it is in the file.
    void unfinishedItemIsSavedAsADraftOnEveryPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("gaps");
        const QString noKey = QStringLiteral("No choice is marked correct.");
        for (const char* path : {"Save", "navigator", "item list", "Add new item"}) {
            QTest::addRow("no key, %s", path)
                << path << "Which?" << QStringList{"one", "two"} << "" << noKey;
            QTest::addRow("nothing at all, %s", path)
                << path << "" << QStringList{} << ""
                << "It has no question.\rIt has no choices.\r" + noKey;
        }
        QTest::newRow("key on a blank choice") << "Save"
                                               << "Which?" << QStringList{"one", "two", ""} << "c"
                                               << "Choice c. is marked correct but has no text.";
        QTest::newRow("two keys, single response")
            << "navigator"
            << "Which?" << QStringList{"one", "two"} << "ab"
            << "A single responce item has one correct choice; 2 are marked.";
        QTest::newRow("Choose two. with one key")
            << "item list"
            << "Which? Choose two." << QStringList{"one", "two", "three"} << "a"
            << "The question says \"Choose two.\" but 1 choices are marked correct.";
    }
    void unfinishedItemIsSavedAsADraftOnEveryPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, question);
        QFETCH(QStringList, choices);
        QFETCH(QString, key);
        QFETCH(QString, gaps);
        seed({{"first", 1, false}, {"second", 2, false}});
        show();
        // Item 1 changed by typing, which leaves the navigator and the list
        // usable.
        m_form->m_questionEdit->setPlainText(question);
        for (int i = 0; i < 6; ++i) {
            if (!m_form->m_choiceEdits[i]->text().isEmpty()) {
                m_form->m_choiceEdits[i]->selectAll();
                QTest::keyClick(m_form->m_choiceEdits[i], Qt::Key_Backspace);
            }
            if (i < choices.size())
                QTest::keyClicks(m_form->m_choiceEdits[i], choices[i]);
            tick(i, key.contains(QChar(u'a' + i)));
        }
        QCOMPARE(table().state(), TableState::Edit);

        bool writtenFirst = false;
        m_services.onMessage = [&](const QString&) {
            const QList<QVariantMap> rows = stored();
            writtenFirst = rows.size() == 2 &&
                           rows[0].value(QStringLiteral("Q_TEXT")).toString() == question &&
                           rows[0].value(QStringLiteral("A1")).toBool() == key.contains(u'a');
        };
        m_services.expectMessage(
            QStringLiteral("The item with Q_ID 1 is saved as a draft:\r") + gaps +
                QStringLiteral("\rThe user exam counts it as incorrect until it is mended."),
            platform::Ok);
        if (path == QLatin1String("Save"))
            m_form->m_saveButton->click();
        else if (path == QLatin1String("navigator"))
            navigate(2); // next
        else if (path == QLatin1String("item list"))
            m_form->m_itemList->setCurrentRow(1);
        else
            m_form->m_addItemAction->trigger();
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        QCOMPARE(m_services.shownKinds.last(), platform::MsgKind::Warning);
        QVERIFY(writtenFirst);
        m_services.onMessage = nullptr;
        if (path == QLatin1String("Add new item"))
            m_form->m_cancelButton->click();
        QCOMPARE(table().state(), TableState::Browse);

        // Mended, it saves without a word.
        table().setRecNo(1);
        m_form->m_editItemAction->trigger();
        m_form->m_questionEdit->setPlainText(QStringLiteral("Which one?"));
        QTest::keyClicks(m_form->m_choiceEdits[0], QStringLiteral("yes"));
        for (int i = 0; i < 6; ++i)
            tick(i, i == 0);
        chooseType(0);
        m_form->m_saveButton->click();
        QCOMPARE(table().state(), TableState::Browse);
        QCOMPARE(stored().size(), 2);
    }
};

QTEST_MAIN(SamplerTest)
#include "test_sampler.moc"
