// The three printed documents: what each reads from the exam, where its
// blocks stand, how the exam printout breaks into pages, and the page setup
// and job names the printer gets.
#include "DataSource.h"
#include "Printing.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"

#include "PdfPages.h"
#include <QFontMetricsF>
#include <QLabel>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QtTest>

using namespace results;

namespace {

std::array<QString, 6> choicesOf(const QStringList& list)
{
    std::array<QString, 6> c;
    for (int i = 0; i < list.size() && i < 6; ++i)
        c[i] = list[i];
    return c;
}

ExamItem examItem(qint64 id, const QStringList& choices, const QList<int>& keys,
                  const QString& question = QStringLiteral("Which one?"),
                  const QString& explanation = QStringLiteral("Because."))
{
    ExamItem item;
    item.id = id;
    item.question = question;
    item.choices = choicesOf(choices);
    for (int k : keys)
        item.keys[k] = true;
    item.explanation = explanation;
    return item;
}

std::unique_ptr<QPdfWriter> pdfWriter(const QString& file)
{
    auto w = std::make_unique<QPdfWriter>(file);
    w->setResolution(600);
    applyPageSetup(*w);
    return w;
}

using testing::pdfPageCount;

// A text's bottom, or where its clip ends it.
double shownBottom(const PlacedText& t)
{
    return t.clip.isEmpty() ? t.rect.bottom() : t.clip.bottom();
}

QString longText(int words)
{
    QStringList w;
    for (int i = 0; i < words; ++i)
        w << QStringLiteral("word%1").arg(i);
    return w.join(QLatin1Char(' '));
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    std::unique_ptr<QPdfWriter> m_device;

private slots:
    void init() { m_device = pdfWriter(m_tmp.filePath(QStringLiteral("measure.pdf"))); }
    void cleanup() { m_device.reset(); }

    void itemChoiceLines_data()
    {
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("expected");
        // Every choice line is followed by an empty line; a missing c..f
        // drops its line but keeps its empty line.
        QTest::newRow("four choices")
            << QStringList{"A", "B", "C", "D"}
            << QStringLiteral("a.  A\n\nb.  B\n\nc.  C\n\nd.  D\n\n\n\n\nWhy");
        QTest::newRow("five choices")
            << QStringList{"A", "B", "C", "D", "E"}
            << QStringLiteral("a.  A\n\nb.  B\n\nc.  C\n\nd.  D\n\ne.  E\n\n\n\nWhy");
        QTest::newRow("six choices")
            << QStringList{"A", "B", "C", "D", "E", "F"}
            << QStringLiteral("a.  A\n\nb.  B\n\nc.  C\n\nd.  D\n\ne.  E\n\nf.  F\n\n\nWhy");
        QTest::newRow("empty b still printed")
            << QStringList{"A", "", "C"} << QStringLiteral("a.  A\n\nb.  \n\nc.  C\n\n\n\n\n\nWhy");
        QTest::newRow("gap at c") << QStringList{"A", "B", "", "D"}
                                  << QStringLiteral("a.  A\n\nb.  B\n\n\nd.  D\n\n\n\n\nWhy");
    }
    void itemChoiceLines()
    {
        QFETCH(QStringList, choices);
        QFETCH(QString, expected);
        QCOMPARE(itemChoiceText(choicesOf(choices), QStringLiteral("Why")), expected);
    }

    void itemPrintoutReadsTheCurrentRecordAndFitsOnePage()
    {
        testing::ProgramDir dir(false);
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(session, QStringLiteral("ces.DAT"), store::currentSetSchema(), true);
        t.open();
        for (int i = 1; i <= 3; ++i) {
            t.append();
            t.setValue(QStringLiteral("Q_OR_NUMBER"), 100 + i);
            t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("Question %1").arg(i));
            t.setValue(QStringLiteral("Q1"), QStringLiteral("one %1").arg(i));
            t.setValue(QStringLiteral("Q2"), QStringLiteral("two"));
            t.setValue(QStringLiteral("Q4"), QStringLiteral("four"));
            t.setValue(QStringLiteral("Q_EXPL"), QStringLiteral("Explained %1").arg(i));
            t.post();
        }
        t.setRecNo(2);
        const ItemPrintout data = gatherItem(t, QStringLiteral("Shown text"), "Practice Exam B");
        QCOMPARE(data.question, QStringLiteral("Shown text"));
        QCOMPARE(data.examLine, QStringLiteral("Quizlark TCP/IP 4.0, Practice Exam B"));
        QCOMPARE(data.itemNumberLine, QStringLiteral("Item Number: 2"));
        QCOMPARE(data.choiceText,
                 QStringLiteral("a.  one 2\n\nb.  two\n\n\nd.  four\n\n\n\n\nExplained 2"));
        QCOMPARE(data.footer, QStringLiteral("Quizlark TCP/IP 4.0"));
        QCOMPARE(t.recNo(), 2);

        // Positions from the left margin and the top of the page.
        const std::vector<PageLayout> pages = layoutItemPrintout(m_device.get(), data);
        QCOMPARE(pages.size(), size_t(1));
        const PageLayout& page = pages.front();
        const PlacedText* exam = page.findText(data.examLine);
        QVERIFY(exam);
        QCOMPARE(exam->rect.right(), 180.98);
        QVERIFY(exam->flags & Qt::AlignRight);
        QCOMPARE(page.findText(data.itemNumberLine)->rect.top(), 19.84);
        QCOMPARE(page.findText(QStringLiteral(" Quizlark "))->colour, QColor(0, 0, 128));
        QCOMPARE(page.findText(data.question)->rect.topLeft(), QPointF(12.70, 29.10));
        const PlacedText* choices = page.findText(data.choiceText);
        QVERIFY(choices);
        QCOMPARE(choices->rect.top(), 35.7 + 4.23); // one-line question: designed height
        const double footerTop = printableSizeMm().height() - 32.0;
        QCOMPARE(page.findText(data.footer)->rect.topLeft(), QPointF(10.05, footerTop + 1.85));
    }

    // What does not fit on the item's page goes on on the next, line by
    // line, the page-top rule and the page bottom on every page; nothing is
    // cut off.
    void longItemPrintoutGoesOnOnTheNextPage_data()
    {
        QTest::addColumn<int>("questionWords");
        QTest::addColumn<int>("choiceWords");
        QTest::addColumn<QString>("token"); // a word without blanks, in the choices
        QTest::newRow("long choices") << 5 << 1500 << QString();
        QTest::newRow("long question") << 1500 << 20 << QString();
        QTest::newRow("both long") << 900 << 900 << QString();
        QTest::newRow("long choices with a 324-character word")
            << 5 << 1200 << QString(324, QLatin1Char('x'));
    }
    void longItemPrintoutGoesOnOnTheNextPage()
    {
        QFETCH(int, questionWords);
        QFETCH(int, choiceWords);
        QFETCH(QString, token);
        ItemPrintout data;
        data.examLine = examLine(QStringLiteral("Practice Exam A"));
        data.itemNumberLine = QStringLiteral("Item Number: 3");
        data.question = longText(questionWords);
        data.choiceText = itemChoiceText(
            choicesOf({longText(choiceWords) + QLatin1Char(' ') + token, QStringLiteral("two")}),
            QStringLiteral("The explanation ends here."));
        data.footer = QStringLiteral("Quizlark TCP/IP 4.0");
        const std::vector<PageLayout> pages = layoutItemPrintout(m_device.get(), data);
        QVERIFY(pages.size() > 1);
        const double footerTop = printableSizeMm().height() - 32.0;
        QString printed;
        for (const PageLayout& page : pages) {
            QVERIFY(page.findText(data.footer));
            QVERIFY(!page.rules.empty());
            for (const PlacedText& t : page.texts) {
                if (t.text == data.footer || t.text == data.examLine ||
                    t.text == data.itemNumberLine || t.text == QStringLiteral(" Quizlark "))
                    continue;
                QVERIFY(t.clip.isEmpty());
                QVERIFY2(t.rect.bottom() <= footerTop + 1e-9, qPrintable(t.text.left(20)));
                QVERIFY2(QFontMetricsF(t.font, m_device.get()).horizontalAdvance(t.text) * 25.4 /
                                 m_device->logicalDpiX() <=
                             t.rect.width() + 1e-6,
                         qPrintable(t.text.left(20)));
                printed += t.text + QLatin1Char('\n');
            }
        }
        // Every word, in order, the explanation last.
        auto words = [](const QString& text) { return text.simplified().remove(QLatin1Char(' ')); };
        QCOMPARE(words(printed), words(data.question + data.choiceText));
        QVERIFY(pages.back().findText(QStringLiteral("The explanation ends here.")));
        const QString file = m_tmp.filePath(QStringLiteral("item.pdf"));
        {
            auto writer = pdfWriter(file);
            QVERIFY(printItem(*writer, data));
        }
        QCOMPARE(pdfPageCount(file), int(pages.size()));
    }

    // A word wider than its line is broken inside: every character is on
    // the page and no text runs past its width.
    void overlongWordIsBrokenOnPaper_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("question") << "question";
        QTest::newRow("choice") << "choice";
        QTest::newRow("explanation") << "explanation";
    }
    void overlongWordIsBrokenOnPaper()
    {
        QFETCH(QString, where);
        const QString token = QStringLiteral("http://") + QString(317, QLatin1Char('w'));
        QCOMPARE(token.size(), 324);
        const QString text = QStringLiteral("See ") + token + QStringLiteral(" for more.");
        ExamItem item = examItem(7, {"one", "two"}, {0});
        if (where == QLatin1String("question"))
            item.question = text;
        else if (where == QLatin1String("choice"))
            item.choices[1] = text;
        else
            item.explanation = text;
        const ExamPrintout data{
            examLine("Practice Exam A"), "All Items in Practice Exam A", {item}};
        const std::vector<PageLayout> pages = layoutExamPrintout(m_device.get(), data);
        QString printed;
        for (const PageLayout& page : pages)
            for (const PlacedText& t : page.texts) {
                const double width =
                    QFontMetricsF(t.font, m_device.get()).horizontalAdvance(t.text) * 25.4 /
                    m_device->logicalDpiX();
                QVERIFY2(width <= t.rect.width() + 1e-6, qPrintable(t.text.left(30)));
                QVERIFY(t.rect.right() <= printableSizeMm().width() + 1e-6);
                printed += t.text;
            }
        QVERIFY(printed.remove(QLatin1Char(' ')).contains(QString(text).remove(QLatin1Char(' '))));
        // The item printout breaks it the same way.
        ItemPrintout one;
        one.question = item.question;
        one.choiceText = itemChoiceText(item.choices, item.explanation);
        QString onPaper;
        for (const PageLayout& page : layoutItemPrintout(m_device.get(), one))
            for (const PlacedText& t : page.texts) {
                QVERIFY2(QFontMetricsF(t.font, m_device.get()).horizontalAdvance(t.text) * 25.4 /
                                 m_device->logicalDpiX() <=
                             t.rect.width() + 1e-6,
                         qPrintable(t.text.left(30)));
                onPaper += t.text;
            }
        QVERIFY(onPaper.remove(QLatin1Char(' ')).contains(QString(token)));
    }

    // A PDF printer makes no copies of its own: the pages are painted as
    // many times as asked, collated or not.
    void copiesReachAPdfFile_data()
    {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<std::vector<size_t>>("order"); // of a two-page document
        QTest::newRow("one copy") << 1 << true << std::vector<size_t>{0, 1};
        QTest::newRow("two copies, collated") << 2 << true << std::vector<size_t>{0, 1, 0, 1};
        QTest::newRow("three copies, not collated")
            << 3 << false << std::vector<size_t>{0, 0, 0, 1, 1, 1};
    }
    void copiesReachAPdfFile()
    {
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(std::vector<size_t>, order);
        const QString file = m_tmp.filePath(QStringLiteral("copies.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        applyPageSetup(printer, kItemJobName);
        printer.setCopyCount(copies);
        printer.setCollateCopies(collate);
        QCOMPARE(pageOrder(printer, 2), order);

        ItemPrintout item;
        item.question = QStringLiteral("Which one?");
        item.choiceText = itemChoiceText(choicesOf({"A", "B"}), QStringLiteral("Why"));
        QVERIFY(printItem(printer, item));
        QCOMPARE(pdfPageCount(file), copies);

        // The exam printout, more than a page long.
        ExamPrintout exam{examLine("Practice Exam A"), "All Items in Practice Exam A", {}};
        for (int i = 0; i < 12; ++i)
            exam.items.push_back(examItem(i + 1, {"one", "two", "three", "four"}, {0}));
        const int pages = int(layoutExamPrintout(&printer, exam).size());
        QVERIFY(pages > 1);
        QVERIFY(printExam(printer, exam));
        QCOMPARE(pdfPageCount(file), pages * copies);
    }

    void examRowsAndKeys_data()
    {
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("letters"); // the rows printed
        QTest::addColumn<QString>("ticked");  // their boxes, 'x' ticked
        QTest::newRow("a..d") << QStringList{"A", "B", "C", "D"} << QList<int>{1} << "abcd"
                              << "-x--";
        QTest::newRow("multiple a and c")
            << QStringList{"A", "B", "C", "D", "E", "F"} << QList<int>{0, 2} << "abcdef"
            << "x-x---";
        QTest::newRow("empty b, gap at c")
            << QStringList{"A", "", "", "D", "", "F"} << QList<int>{5} << "abdf"
            << "---x";
        QTest::newRow("simulation: no texts, key f") << QStringList{} << QList<int>{5} << "ab"
                                                     << "--";
    }
    void examRowsAndKeys()
    {
        QFETCH(QStringList, choices);
        QFETCH(QList<int>, keys);
        QFETCH(QString, letters);
        QFETCH(QString, ticked);
        ExamPrintout data{examLine("Practice Exam A"),
                          "All Items in Practice Exam A",
                          {examItem(42, choices, keys)}};
        const std::vector<PageLayout> pages = layoutExamPrintout(m_device.get(), data);
        QCOMPARE(pages.size(), size_t(1));
        const PageLayout& page = pages[0];
        QVERIFY(page.findText(QStringLiteral("Item ID: 42 ")));
        QVERIFY(page.findText(QStringLiteral("All Items in Practice Exam A")));
        QCOMPARE(page.findText(QStringLiteral("Item ID: 42 "))->rect.top(), 20.4 + 0.79);

        QString shownLetters, shownTicks;
        double lastRowTop = 0;
        for (const PlacedText& t : page.texts)
            if (t.text.size() == 2 && t.text[1] == QLatin1Char('.') && t.rect.left() == 20.11) {
                shownLetters += t.text[0];
                QVERIFY(t.rect.top() > lastRowTop); // each row below the previous
                lastRowTop = t.rect.top();
            }
        for (const PlacedBox& b : page.boxes)
            shownTicks += b.ticked ? QLatin1Char('x') : QLatin1Char('-');
        QCOMPARE(shownLetters, letters);
        QCOMPARE(shownTicks, ticked);
        // An omitted row takes no space: the explanation follows the last
        // printed row.
        const PlacedText* expl = page.findText(QStringLiteral("Because."));
        QVERIFY(expl);
        QVERIFY(expl->font.italic());
        QVERIFY(expl->rect.top() > lastRowTop);
        QVERIFY(expl->rect.top() < lastRowTop + 10);
    }

    void examPrintoutBreaksIntoNumberedPages()
    {
        ExamPrintout data{examLine("All Items"), "All Items in All Items", {}};
        for (int i = 1; i <= 14; ++i)
            data.items.push_back(
                examItem(i, {"A", "B", "C", "D"}, {0}, QStringLiteral("Question %1").arg(i)));
        // One item taller than a whole page.
        data.items.push_back(examItem(99, {"A", "B"}, {1}, longText(1500), longText(40)));
        data.items.push_back(examItem(100, {"A", "B"}, {1}));

        const std::vector<PageLayout> pages = layoutExamPrintout(m_device.get(), data);
        QVERIFY(pages.size() >= 4);
        const double footerTop = printableSizeMm().height() - 19.6;
        QList<int> idsSeen;
        for (size_t p = 0; p < pages.size(); ++p) {
            const PlacedText* number = pages[p].findText(QStringLiteral("Page: %1").arg(p + 1));
            QVERIFY2(number, qPrintable(QStringLiteral("page %1").arg(p + 1)));
            QCOMPARE(number->rect.right(), 189.44);
            QCOMPARE(number->rect.top(), footerTop + 1.59);
            QCOMPARE(number->font.pointSizeF(), 8.0);
            QCOMPARE(bool(pages[p].findText(QStringLiteral("All Items in All Items"))), p == 0);
            for (const PlacedText& t : pages[p].texts) {
                if (t.text.startsWith(QStringLiteral("Page: ")))
                    continue;
                QVERIFY(shownBottom(t) <= footerTop + 1e-9);
                if (t.text.startsWith(QStringLiteral("Item ID: ")))
                    idsSeen << t.text.mid(9).trimmed().toInt();
            }
        }
        QList<int> expected;
        for (int i = 1; i <= 14; ++i)
            expected << i;
        expected << 99 << 100;
        QCOMPARE(idsSeen, expected);

        // A block that fits on a page is never split: its ID and its
        // explanation stand on the same page.
        for (const PageLayout& page : pages)
            for (int i = 1; i <= 14; ++i)
                if (page.findText(QStringLiteral("Item ID: %1 ").arg(i)))
                    QVERIFY(page.findText(QStringLiteral("Question %1").arg(i)));
        int explanationsOnPages = 0;
        for (const PageLayout& page : pages)
            for (const PlacedText& t : page.texts)
                explanationsOnPages += t.text == QStringLiteral("Because.");
        QCOMPARE(explanationsOnPages, 15);

        // The giant item starts a page and its long question goes on over
        // the pages it needs, every word of it, before the rest of its block.
        size_t giantPage = 0;
        for (size_t p = 0; p < pages.size(); ++p)
            if (pages[p].findText(QStringLiteral("Item ID: 99 ")))
                giantPage = p;
        const PlacedText* id = pages[giantPage].findText(QStringLiteral("Item ID: 99 "));
        QCOMPARE(id->rect.top(), 0.79);
        QStringList printedWords;
        size_t lastQuestionPage = giantPage;
        for (size_t p = giantPage; p < pages.size(); ++p)
            for (const PlacedText& t : pages[p].texts) {
                QVERIFY2(t.clip.isEmpty(), qPrintable(t.text.left(40)));
                if (t.text.startsWith(QStringLiteral("word")) && t.text != longText(40)) {
                    printedWords << t.text;
                    lastQuestionPage = p;
                }
            }
        QCOMPARE(printedWords.join(QLatin1Char(' ')), longText(1500));
        QVERIFY(lastQuestionPage > giantPage);
        bool explanationAfter = false;
        for (size_t p = lastQuestionPage; p < pages.size(); ++p)
            explanationAfter = explanationAfter || pages[p].findText(longText(40));
        QVERIFY(explanationAfter);

        const QString file = m_tmp.filePath(QStringLiteral("exam.pdf"));
        {
            auto writer = pdfWriter(file);
            QVERIFY(printExam(*writer, data));
        }
        QCOMPARE(pdfPageCount(file), int(pages.size()));
    }

    void examWalkReturnsToTheCurrentItemUnseen()
    {
        testing::ProgramDir dir(false);
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(session, QStringLiteral("ces.DAT"), store::currentSetSchema(), true);
        store::DataSource ds(&t);
        t.open();
        for (int i = 1; i <= 9; ++i) {
            t.append();
            t.setValue(QStringLiteral("Q_OR_NUMBER"), 200 + i);
            t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("Q%1").arg(i));
            t.setValue(QStringLiteral("Q1"), QStringLiteral("x"));
            t.setValue(QStringLiteral("Q2"), QStringLiteral("y"));
            t.setValue(QStringLiteral("A%1").arg(i % 2 + 1), true);
            t.post();
        }
        t.setRecNo(7);
        // What the window would show: record numbers seen by the data source.
        QList<int> shown;
        connect(&ds, &store::DataSource::dataChanged, this, [&] { shown << t.recNo(); });

        const ExamPrintout data = gatherExam(t, QStringLiteral("Practice Exam C"));
        QCOMPARE(data.heading, QStringLiteral("All Items in Practice Exam C"));
        QCOMPARE(data.examLine, QStringLiteral("Quizlark TCP/IP 4.0, Practice Exam C"));
        QCOMPARE(int(data.items.size()), 9);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(data.items[i].id, qint64(201 + i));
            QCOMPARE(data.items[i].question, QStringLiteral("Q%1").arg(i + 1));
            QCOMPARE(data.items[i].keys[0], (i + 1) % 2 == 0);
            QCOMPARE(data.items[i].keys[1], (i + 1) % 2 == 1);
        }
        QCOMPARE(t.recNo(), 7);
        QVERIFY(!t.controlsDisabled());
        QVERIFY(!shown.contains(1));
        QVERIFY(!shown.contains(9));
        for (int r : shown)
            QCOMPARE(r, 7);
    }

    void scoreReportRepeatsTheLastGrading()
    {
        testing::ScriptedServices services;
        ScoreReport form(services);
        store::Responses responses;
        for (int i = 0; i < 20; ++i) {
            store::ItemResponse r;
            r.Section = i % 5 + 1;
            r.Correct = i < 17;
            responses.push_back(r);
        }
        form.showResults(QStringLiteral("Pat"), QStringLiteral("Practice Exam A"), responses);
        const ScorePrintout data = gatherScore(form, QStringLiteral("12/10/26"));
        QCOMPARE(data.heading, QStringLiteral("Pat,  Quizlark TCP/IP 4.0,  Practice Exam A"));
        QCOMPARE(data.scoreLine,
                 QStringLiteral("Passing Score: 850   Your Score: 850   Grade: Pass"));
        QCOMPARE(data.footer, QStringLiteral("Quizlark TCP/IP 4.0"));
        QCOMPARE(int(data.totalBars.size()), 2);
        QCOMPARE(data.totalBars[0].label, QStringLiteral("Your score"));
        QCOMPARE(data.totalBars[0].value, 850.0);
        QCOMPARE(data.totalBars[1].value, 850.0);
        QCOMPARE(int(data.sectionBars.size()), 5);
        QCOMPARE(data.sectionBars[4].label, QStringLiteral("Planning (4/4) "));
        QCOMPARE(data.sectionBars[4].value, 100.0);

        const PageLayout page = layoutScorePrintout(m_device.get(), data);
        QCOMPARE(page.findText(data.heading)->rect.right(), 182.30);
        QCOMPARE(page.findText(QStringLiteral("12/10/26"))->rect.right(), 182.67);
        const PlacedText* title = page.findText(QStringLiteral("Examination Score Report"));
        QCOMPARE(title->rect.center().x(), 100.9);
        QCOMPARE(page.findText(data.scoreLine)->rect.center().x(), 99.5);
        QCOMPARE(page.findText(data.scoreLine)->rect.top(), 68.53);
        // The caption stands on the rule and hides it up to its own right
        // edge: no stub of the rule shows before it.
        const PlacedText* sections = page.findText(QStringLiteral(" Sections "));
        QCOMPARE(sections->rect.top(), 88.11);
        QCOMPARE(sections->rect.right(), 16.93 + 16.40);
        QVERIFY(sections->flags & Qt::AlignRight);
        bool ruleUnderCaption = false;
        for (const QLineF& rule : page.rules)
            if (qFuzzyCompare(rule.y1(), 90.22)) {
                ruleUnderCaption = true;
                QVERIFY(sections->rect.left() <= rule.x1());
                QVERIFY(sections->rect.bottom() > rule.y1());
            }
        QVERIFY(ruleUnderCaption);
        QCOMPARE(int(page.charts.size()), 2);
        QCOMPARE(page.charts[0].rect, QRectF(16.40, 34.92, 165.37, 31.22));
        QCOMPARE(page.charts[0].axis.maximum, 1000.0);
        QVERIFY(page.charts[0].style.axisFont.bold());
        QCOMPARE(page.charts[1].rect, QRectF(10.05, 92.60, 177.80, 34.92));
        QCOMPARE(page.charts[1].axis.maximum, 100.0);
        QCOMPARE(page.charts[1].bars.size(), size_t(5));
        const double footerTop = printableSizeMm().height() - 25.7;
        QCOMPARE(page.findText(data.footer)->rect.topLeft(), QPointF(10.05, footerTop + 2.38));
        QCOMPARE(page.findText(data.footer)->font.pointSizeF(), 9.0);

        const QString file = m_tmp.filePath(QStringLiteral("score.pdf"));
        {
            auto writer = pdfWriter(file);
            QVERIFY(printScore(*writer, data));
        }
        QCOMPARE(pdfPageCount(file), 1);
    }

    void longNameFitsBetweenTheLogoAndTheRightEdge()
    {
        testing::ScriptedServices services;
        ScoreReport form(services);
        store::Responses responses(10);
        const QString name = QStringLiteral("Maximilian ") + QString(120, QLatin1Char('W'));
        form.showResults(name, QStringLiteral("Practice Exam A"), responses);
        const ScorePrintout data = gatherScore(form, QStringLiteral("12/10/26"));
        const PageLayout page = layoutScorePrintout(m_device.get(), data);
        const PlacedText* heading = nullptr;
        for (const PlacedText& t : page.texts)
            if (t.text.startsWith(QStringLiteral("Maximilian")))
                heading = &t;
        QVERIFY(heading);
        QCOMPARE(heading->rect.right(), 182.30);
        // Right of the logo frame, and still naming the candidate and the exam.
        QVERIFY2(heading->rect.left() >= 14.55 + 29.10,
                 qPrintable(QString::number(heading->rect.left())));
        QVERIFY(heading->text.endsWith(QStringLiteral("Practice Exam A")));
        QVERIFY(heading->text.contains(QChar(0x2026)));
        // A short heading is printed as it is.
        form.showResults(QStringLiteral("Pat"), QStringLiteral("Practice Exam A"), responses);
        const ScorePrintout shortData = gatherScore(form, QStringLiteral("12/10/26"));
        QVERIFY(layoutScorePrintout(m_device.get(), shortData).findText(shortData.heading));
    }

    void pageSetupAndJobNames_data()
    {
        QTest::addColumn<QString>("job");
        QTest::newRow("item") << QString::fromLatin1(kItemJobName);
        QTest::newRow("exam") << QString::fromLatin1(kExamJobName);
        QTest::newRow("score") << QString::fromLatin1(kScoreJobName);
    }
    void pageSetupAndJobNames()
    {
        QFETCH(QString, job);
        QVERIFY(QStringList({"Report", "Report1", "Score Report"}).contains(job));
        QPrinter printer;
        printer.setPageSize(QPageSize(QPageSize::A4));
        applyPageSetup(printer, job.toLatin1().constData());
        QCOMPARE(printer.docName(), job);
        const QPageLayout layout = printer.pageLayout();
        QCOMPARE(layout.pageSize().id(), QPageSize::Letter);
        QCOMPARE(layout.orientation(), QPageLayout::Portrait);
        const QMarginsF m = layout.margins(QPageLayout::Millimeter);
        QCOMPARE(m, QMarginsF(6.35, 6.35, 6.35, 6.35));
        QCOMPARE(printableSizeMm().width(), 215.9 - 12.7);
    }
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
