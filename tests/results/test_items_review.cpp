// The items review: entry texts and state icons in exam and review mode,
// the legend, going to an item, and the button with nothing selected.
#include "ItemsReview.h"
#include "ScriptedServices.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using results::ItemsReview;
using results::ReviewIcon;

namespace {

store::ItemResponse response(const QString& letters, bool marked = false, bool correct = false)
{
    store::ItemResponse r;
    for (QChar c : letters)
        r.Choice[static_cast<size_t>(c.toLatin1() - 'a')] = true;
    r.Marked = marked;
    r.Correct = correct;
    r.Section = 1;
    return r;
}

QStringList legendTexts(QWidget* row)
{
    QStringList out;
    for (QLabel* l : row->findChildren<QLabel*>())
        if (!l->text().isEmpty())
            out << l->text();
    return out;
}

QList<int> legendIcons(QWidget* row)
{
    QList<int> out;
    for (QLabel* l : row->findChildren<QLabel*>())
        if (l->property("reviewIcon").isValid())
            out << l->property("reviewIcon").toInt();
    return out;
}

// A real double click: press and release, then the double-click event and
// its release.
void doubleClickAt(QWidget* target, const QPoint& at)
{
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
}

int iconOf(const ItemsReview& f, int row)
{
    return f.m_itemList->item(row)->data(results::kIconRole).toInt();
}

// What a screen reader is given for a list entry.
QString spokenEntry(const ItemsReview& f, int row, QAccessible::Text t)
{
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(f.m_itemList);
    if (!list || !list->tableInterface())
        return QStringLiteral("<no table>");
    QAccessibleInterface* cell = list->tableInterface()->cellAt(row, 0);
    return cell ? cell->text(t) : QStringLiteral("<no cell>");
}

} // namespace

class TestReviewForm : public QObject {
    Q_OBJECT
    testing::ScriptedServices m_services;
    std::unique_ptr<ItemsReview> m_form;

    void clickEntry(int row)
    {
        QListWidget* list = m_form->m_itemList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void clickEmptySpace()
    {
        QListWidget* list = m_form->m_itemList;
        const QPoint p = list->viewport()->rect().bottomRight() - QPoint(4, 4);
        QVERIFY(!list->indexAt(p).isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, p);
    }

private slots:
    void init()
    {
        m_services.reset();
        m_form = std::make_unique<ItemsReview>(m_services);
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_form.reset();
    }

    void looksAsDrawn()
    {
        ItemsReview& f = *m_form;
        QCOMPARE(f.objectName(), QStringLiteral("itemsReview"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Items Review"));
        QCOMPARE(f.size(), QSize(442, 372));
        QVERIFY(!(f.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(f.m_goToButton->text(), QStringLiteral("&Go to the selected question"));
        QCOMPARE(f.m_returnButton->text(), QStringLiteral("&Return"));
        QVERIFY(!f.m_goToButton->isEnabled());
        QCOMPARE(f.m_itemList->viewMode(), QListView::ListMode);
        QCOMPARE(f.m_itemList->flow(), QListView::TopToBottom);
        QVERIFY(f.m_itemList->isWrapping());
        QCOMPARE(f.m_itemList->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(f.m_itemList->editTriggers(), QAbstractItemView::NoEditTriggers);

        QCOMPARE(legendTexts(f.m_examLegend),
                 QStringList({" - incomplete   ", " - complete   ", " - marked   "}));
        QCOMPARE(legendIcons(f.m_examLegend), QList<int>({0, 1, 2}));
        QCOMPARE(legendTexts(f.m_reviewLegend),
                 QStringList({" - incorrect item   ", " - correct item   "}));
        QCOMPARE(legendIcons(f.m_reviewLegend), QList<int>({3, 1}));
        // The legend's pictures have names for a screen reader.
        QStringList pictureNames;
        for (QLabel* l : f.findChildren<QLabel*>())
            if (l->property("reviewIcon").isValid())
                pictureNames << QAccessible::queryAccessibleInterface(l)->text(QAccessible::Name);
        QCOMPARE(pictureNames, QStringList({"incomplete icon", "complete icon", "marked icon",
                                            "incorrect item icon", "correct item icon"}));

        // The pictures: 16 x 16, a black frame around a white square, and a
        // different sign on each.
        QSet<qint64> distinct;
        for (int i = 0; i < 4; ++i) {
            const QImage img = f.picture(i).toImage();
            QCOMPARE(img.size(), QSize(16, 16));
            for (const QPoint& p : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
                QCOMPARE(img.pixelColor(p), QColor(Qt::black));
            QCOMPARE(img.pixelColor(1, 1), QColor(Qt::white));
            distinct.insert(f.picture(i).cacheKey());
            bool signColour = false;
            const QColor want = i == 1 ? QColor(0, 0, 255) : QColor(255, 0, 0);
            for (int y = 1; y < 15; ++y)
                for (int x = 1; x < 15; ++x)
                    signColour = signColour || img.pixelColor(x, y) == want;
            QVERIFY2(signColour, qPrintable(QString::number(i)));
        }
        QCOMPARE(distinct.size(), 4);
    }

    void entryShowsNumberLettersAndIcon_data()
    {
        QTest::addColumn<QString>("letters");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("correct");
        QTest::addColumn<QString>("text"); // for item 3
        QTest::addColumn<int>("progressIcon");
        QTest::addColumn<int>("resultIcon");
        // What a screen reader says for the icon, in exam and in review.
        QTest::addColumn<QString>("progressSaid");
        QTest::addColumn<QString>("resultSaid");
        QTest::newRow("unanswered") << "" << false << false << "3  " << 0 << 3 << "incomplete"
                                    << "incorrect item";
        QTest::newRow("a and c") << "ac" << false << true << "3  AC" << 1 << 1 << "complete"
                                 << "correct item";
        QTest::newRow("one of two required")
            << "b" << false << false << "3  B" << 1 << 3 << "complete"
            << "incorrect item";
        QTest::newRow("all six, in order")
            << "fdbeca" << false << false << "3  ABCDEF" << 1 << 3 << "complete"
            << "incorrect item";
        QTest::newRow("marked, unanswered") << "" << true << false << "3  " << 2 << 3 << "marked"
                                            << "incorrect item";
        QTest::newRow("marked, answered right")
            << "ad" << true << true << "3  AD" << 2 << 1 << "marked"
            << "correct item";
        QTest::newRow("simulation outcome in f")
            << "f" << false << true << "3  F" << 1 << 1 << "complete"
            << "correct item";
    }
    void entryShowsNumberLettersAndIcon()
    {
        QFETCH(QString, letters);
        QFETCH(bool, marked);
        QFETCH(bool, correct);
        QFETCH(QString, text);
        QFETCH(int, progressIcon);
        QFETCH(int, resultIcon);
        QFETCH(QString, progressSaid);
        QFETCH(QString, resultSaid);
        store::Responses exam(4);
        exam[2] = response(letters, marked, correct);

        m_form->fillProgressList(exam);
        QCOMPARE(m_form->m_itemList->count(), 4);
        QCOMPARE(m_form->m_itemList->item(2)->text(), text);
        QCOMPARE(iconOf(*m_form, 2), progressIcon);
        QCOMPARE(m_form->m_itemList->item(2)->icon().pixmap(16, 16).toImage(),
                 m_form->picture(progressIcon).toImage());
        QCOMPARE(spokenEntry(*m_form, 2, QAccessible::Name),
                 text + QStringLiteral(", ") + progressSaid);
        QCOMPARE(spokenEntry(*m_form, 2, QAccessible::Description), progressSaid);
        QVERIFY(!m_form->m_examLegend->isHidden());
        QVERIFY(m_form->m_reviewLegend->isHidden());

        m_form->fillResultList(exam);
        QCOMPARE(m_form->m_itemList->count(), 4);
        QCOMPARE(m_form->m_itemList->item(2)->text(), text);
        QCOMPARE(iconOf(*m_form, 2), resultIcon);
        QCOMPARE(m_form->m_itemList->item(2)->icon().pixmap(16, 16).toImage(),
                 m_form->picture(resultIcon).toImage());
        // A window of its own: with no screen reader running, Qt goes on
        // handing out the entries of the list as first filled.
        ItemsReview inReview(m_services);
        inReview.fillResultList(exam);
        QCOMPARE(spokenEntry(inReview, 2, QAccessible::Name),
                 text + QStringLiteral(", ") + resultSaid);
        QCOMPARE(spokenEntry(inReview, 2, QAccessible::Description), resultSaid);
        QVERIFY(m_form->m_examLegend->isHidden());
        QVERIFY(!m_form->m_reviewLegend->isHidden());
    }

    void anExamFromStartToReview()
    {
        store::Responses exam(12);
        m_form->fillProgressList(exam);
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(m_form->m_itemList->item(i)->text(), QString::number(i + 1) + "  ");
            QCOMPARE(iconOf(*m_form, i), int(results::Incomplete));
        }

        exam[4] = response("b");
        exam[6] = response("", true);
        exam[8] = response("ad", true);
        // Rebuilt at each opening: the list shows what was done since.
        m_form->fillProgressList(exam);
        QCOMPARE(m_form->m_itemList->count(), 12);
        QCOMPARE(m_form->m_itemList->item(4)->text(), QStringLiteral("5  B"));
        QCOMPARE(iconOf(*m_form, 4), int(results::Complete));
        QCOMPARE(m_form->m_itemList->item(6)->text(), QStringLiteral("7  "));
        QCOMPARE(iconOf(*m_form, 6), int(results::Marked));
        QCOMPARE(m_form->m_itemList->item(8)->text(), QStringLiteral("9  AD"));
        QCOMPARE(iconOf(*m_form, 8), int(results::Marked));

        exam[4].Correct = true;
        m_form->fillResultList(exam);
        QCOMPARE(m_form->m_itemList->count(), 12);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(iconOf(*m_form, i), i == 4 ? int(results::Complete) : int(results::Incorrect));
        QCOMPARE(m_form->m_itemList->item(8)->text(), QStringLiteral("9  AD"));
    }

    void entriesFlowDownThenAcross()
    {
        m_form->fillProgressList(store::Responses(60));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QListWidget* list = m_form->m_itemList;
        const QRect first = list->visualItemRect(list->item(0));
        const QRect second = list->visualItemRect(list->item(1));
        const QRect last = list->visualItemRect(list->item(59));
        QCOMPARE(second.x(), first.x());
        QVERIFY(second.y() > first.y());
        QVERIFY(last.x() > first.x());
    }

    void goesToTheSelectedItem_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("entry 12 and the button") << 11 << false;
        QTest::newRow("double click on entry 1") << 0 << true;
    }
    void goesToTheSelectedItem()
    {
        QFETCH(int, row);
        QFETCH(bool, doubleClick);
        store::Responses exam(14);
        m_form->fillProgressList(exam);
        QSignalSpy go(m_form.get(), &ItemsReview::goToItemRequested);
        bool openAtSignal = false;
        connect(m_form.get(), &ItemsReview::goToItemRequested, this,
                [&] { openAtSignal = m_form->isVisible(); });
        m_services.expectModal(QStringLiteral("itemsReview"), [&](QWidget* w) {
            auto* f = static_cast<ItemsReview*>(w);
            if (!QTest::qWaitForWindowExposed(f))
                return -1;
            if (f->m_goToButton->isEnabled())
                return -2; // must open disabled
            QListWidget* list = f->m_itemList;
            const QPoint at = list->visualItemRect(list->item(row)).center();
            if (doubleClick) {
                doubleClickAt(list->viewport(), at);
            } else {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                if (!f->m_goToButton->isEnabled())
                    return -3;
                QTest::mouseClick(f->m_goToButton, Qt::LeftButton);
            }
            if (f->isVisible())
                return -4;
            return f->result();
        });
        QCOMPARE(m_services.runModal(m_form.get()), int(QDialog::Accepted));
        QCOMPARE(go.count(), 1);
        QCOMPARE(go.at(0).at(0).toInt(), row + 1);
        QVERIFY(openAtSignal);
        // Closing disables the button again.
        QVERIFY(!m_form->m_goToButton->isEnabled());
    }

    // Typed digits make one number while they come within a second of each
    // other (on the services' clock) and no other key comes between them.
    void typingANumberSelectsItsItem_data()
    {
        QTest::addColumn<QString>("typed"); // "," is a pause of two seconds
        QTest::addColumn<int>("selected");  // item number, 0 for none
        QTest::newRow("3 then 6") << "36" << 36;
        QTest::newRow("one digit") << "7" << 7;
        QTest::newRow("a pause starts anew") << "3,6" << 6;
        QTest::newRow("a letter starts anew") << "3x6" << 6;
        QTest::newRow("beyond the list: the last digit") << "39" << 9;
        QTest::newRow("nought alone") << "0" << 0;
        QTest::newRow("typed twice over") << "12,38" << 38;
    }
    void typingANumberSelectsItsItem()
    {
        QFETCH(QString, typed);
        QFETCH(int, selected);
        m_form->fillResultList(store::Responses(38));
        m_form->show();
        m_form->m_itemList->setFocus();
        for (QChar c : typed) {
            if (c == u',') {
                m_services.clock += 2.0 / 86400;
                continue;
            }
            QTest::keyClicks(m_form->m_itemList, QString(c));
            m_services.clock += 0.3 / 86400;
        }
        const QList<QListWidgetItem*> chosen = m_form->m_itemList->selectedItems();
        QCOMPARE(chosen.isEmpty() ? 0 : m_form->m_itemList->row(chosen.first()) + 1, selected);
        QCOMPARE(m_form->m_goToButton->isEnabled(), selected > 0);
    }

    void nothingSelectedGoesNowhere()
    {
        m_form->fillProgressList(store::Responses(5));
        QSignalSpy go(m_form.get(), &ItemsReview::goToItemRequested);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QVERIFY(!m_form->m_goToButton->isEnabled());
        m_form->goToSelectedItem();
        QCOMPARE(go.count(), 0);
        QVERIFY(m_form->isVisible());

        clickEntry(2);
        QVERIFY(m_form->m_goToButton->isEnabled());
        QCOMPARE(m_form->m_itemList->selectedItems().size(), 1);
        // Empty space clears the selection; the button stays enabled but
        // has nothing to go to.
        clickEmptySpace();
        QVERIFY(m_form->m_itemList->selectedItems().isEmpty());
        QVERIFY(m_form->m_goToButton->isEnabled());
        QTest::mouseClick(m_form->m_goToButton, Qt::LeftButton);
        QCOMPARE(go.count(), 0);
        QVERIFY(m_form->isVisible());
        doubleClickAt(m_form->m_itemList->viewport(),
                      m_form->m_itemList->viewport()->rect().bottomRight() - QPoint(4, 4));
        QCOMPARE(go.count(), 0);
        QVERIFY(m_form->isVisible());
    }

    void returnLeavesWithoutMoving()
    {
        m_form->fillResultList(store::Responses(5));
        QSignalSpy go(m_form.get(), &ItemsReview::goToItemRequested);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        clickEntry(3);
        QTest::mouseClick(m_form->m_returnButton, Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(go.count(), 0);
        QVERIFY(!m_form->m_goToButton->isEnabled());
        // Reopened without a rebuild, it keeps its entries but the button
        // starts disabled.
        m_form->show();
        QCOMPARE(m_form->m_itemList->count(), 5);
        QVERIFY(!m_form->m_goToButton->isEnabled());
    }
};

QTEST_MAIN(TestReviewForm)
#include "test_items_review.moc"
