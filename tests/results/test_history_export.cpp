// The history out of the program: the answers as CSV read back against the
// stored history, the PDFs opened and read as text; and the charts that make
// the history readable at a glance.
#include "ColumnChart.h"
#include "History.h"
#include "HistoryExport.h"
#include "HistoryWindow.h"
#include "ItemTimes.h"
#include "PdfPages.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using store::Attempt;
using store::AttemptItem;

namespace {

store::Session& session()
{
    static store::Session s = [] {
        store::Session made(QString::fromLatin1(store::kSessionName));
        made.registerPassword(QString::fromLatin1(store::kTablePassword));
        return made;
    }();
    return s;
}

// RFC 4180 records: quoted fields may hold commas, quotes (doubled) and line
// breaks; records end with CR LF.
QList<QStringList> readCsv(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text[i + 1] == QLatin1Char('\n')) {
            record << field;
            field.clear();
            records << record;
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

QString pdfText(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

// A graded exam of the fixture bank's items 3, 7, 11 and 14 with responses and
// times, under a title and name that need quoting.
Attempt answeredAttempt()
{
    Attempt a;
    a.when = 46000.5;
    a.title = QStringLiteral("Practice Exam \"C\", retake");
    a.candidate = QStringLiteral("Zoë Ångström");
    a.score = 500;
    const int ids[] = {3, 7, 11, 14};
    const int sections[] = {1, 2, 1, 2};
    const int seconds[] = {40, 5, 0, 121};
    for (int k = 0; k < 4; ++k) {
        AttemptItem i{ids[k], k % 2 == 0, k == 1, false};
        i.section = sections[k];
        i.seconds = seconds[k];
        if (k != 2)
            i.choice[size_t(k)] = true;
        a.items.push_back(i);
    }
    a.itemCount = 4;
    a.sections = {store::SectionTally{2, 2}, store::SectionTally{0, 2}, {}, {}, {}};
    return a;
}

// One an older release recorded: no responses or times.
Attempt olderAttempt()
{
    Attempt a;
    a.when = 45990.25;
    a.title = QStringLiteral("User Exam");
    a.candidate = QStringLiteral("Ada");
    a.items = {{1, true, false, true}, {2, false, true, true}};
    a.itemCount = 2;
    a.score = 500;
    a.sections = {store::SectionTally{1, 1}, store::SectionTally{0, 1}, {}, {}, {}};
    return a;
}

} // namespace

class TestHistoryExport : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    testing::ScriptedServices m_services;
    std::unique_ptr<store::HistoryFile> m_file;
    std::unique_ptr<results::HistoryWindow> m_window;

    QString saveAs(const QString& name)
    {
        const QString path = m_out->filePath(name);
        m_services.saveFileChooser = [path] { return path; };
        return path;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_out = std::make_unique<QTemporaryDir>();
        m_services.reset();
        m_file = std::make_unique<store::HistoryFile>(session());
        m_file->add(olderAttempt());
        m_file->add(answeredAttempt());
        m_window = std::make_unique<results::HistoryWindow>(m_services);
        m_window->setHistoryFile(m_file.get());
        m_window->reload();
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_window.reset();
        m_file.reset();
        m_dir.reset();
    }

    void theAnswersCsvReadsBackAsTheStoredHistory()
    {
        m_window->setObjectiveLookup([](int id, bool user) {
            return user ? QString() : QStringLiteral("Objective %1, \"routing\"").arg(id);
        });
        const QString path = saveAs(QStringLiteral("answers.csv"));
        QVERIFY(m_window->exportAnswers());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QStringList> rows = readCsv(bytes);
        QCOMPARE(rows.value(0), (QStringList{"attempt", "date", "exam", "item id", "section",
                                             "objective", "response", "correct", "seconds"}));

        const std::vector<Attempt> stored = m_file->readAll();
        qsizetype r = 1;
        for (size_t n = 0; n < stored.size(); ++n)
            for (const AttemptItem& i : stored[n].items) {
                QVERIFY(r < rows.size());
                const QStringList& row = rows[r++];
                QCOMPARE(row.size(), 9);
                QCOMPARE(row[0].toInt(), int(n + 1));
                QCOMPARE(store::parseWhen(row[1]), stored[n].when);
                QCOMPARE(row[2], stored[n].title);
                QCOMPARE(row[3],
                         (i.userItem ? QStringLiteral("U") : QString()) + QString::number(i.id));
                QCOMPARE(row[4], i.timeKnown() ? store::sectionName(i.section) : QString());
                QCOMPARE(row[5], i.userItem
                                     ? QString()
                                     : QStringLiteral("Objective %1, \"routing\"").arg(i.id));
                std::array<bool, 6> choice{};
                for (const QChar c : row[6])
                    choice[size_t(c.unicode() - 'a')] = true;
                QCOMPARE(choice, i.choice);
                QCOMPARE(row[7], i.correct ? QStringLiteral("yes") : QStringLiteral("no"));
                QCOMPARE(row[8].isEmpty() ? -1 : row[8].toInt(), i.seconds);
            }
        QCOMPARE(r, rows.size());
        QCOMPARE(rows[3][6], QStringLiteral("a")); // the answered attempt's first item
        QCOMPARE(rows[5][6], QString());           // its unanswered third
    }

    void csvFieldsAreQuotedOnlyWhenTheyMustBe_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "Practice Exam A"
                               << "Practice Exam A";
        QTest::newRow("comma") << "a, b"
                               << "\"a, b\"";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"say \"\"hi\"\"\"";
        QTest::newRow("line break") << "one\ntwo"
                                    << "\"one\ntwo\"";
        QTest::newRow("carriage return") << "one\rtwo"
                                         << "\"one\rtwo\"";
        QTest::newRow("empty") << ""
                               << "";
    }
    void csvFieldsAreQuotedOnlyWhenTheyMustBe()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(results::csvField(text), field);
    }

    void theAnswerReviewPdfHoldsEveryItem()
    {
        m_window->chooseRow(0); // the newest: the answered attempt
        const QString path = saveAs(QStringLiteral("review.pdf"));
        QVERIFY(m_window->exportReviewPdf());
        QVERIFY(testing::pdfPageCount(path) >= 1);
        const QString text = pdfText(path);
        QVERIFY2(!text.isEmpty(), "pdftotext read nothing");

        store::Table bank(session(), QString::fromLatin1(store::kBankFile), store::bankSchema());
        bank.open();
        const Attempt a = answeredAttempt();
        for (size_t k = 0; k < a.items.size(); ++k) {
            const QString head = QStringLiteral("Item %1 (ID %2").arg(k + 1).arg(a.items[k].id);
            QVERIFY2(text.contains(head), qPrintable(head));
            for (bank.first(); !bank.eof() && store::readId(bank) != a.items[k].id; bank.next()) {
            }
            const store::ExamItem item = store::readItem(bank);
            // The question, each choice and the explanation, as pdftotext
            // reads them (words, whatever the lines).
            QVERIFY2(text.contains(item.text.simplified().left(40)), qPrintable(item.text));
            if (!item.explanation.isEmpty())
                QVERIFY2(text.contains(item.explanation.simplified().left(40)),
                         qPrintable(item.explanation));
        }
        QVERIFY(text.contains(QStringLiteral("Your response: a")));
        QVERIFY(text.contains(QStringLiteral("Your response: none")));
    }

    void theScoreReportAndHistoryPdfsAreWritten()
    {
        m_window->chooseRow(1);
        QString path = saveAs(QStringLiteral("report.pdf"));
        QVERIFY(m_window->exportReportPdf());
        QCOMPARE(testing::pdfPageCount(path), 1);
        QVERIFY(pdfText(path).contains(QStringLiteral("Ada, Quizlark TCP/IP 4.0, User Exam")));

        path = saveAs(QStringLiteral("history.pdf"));
        QVERIFY(m_window->exportHistoryPdf());
        QCOMPARE(testing::pdfPageCount(path), 2); // charts, then the list
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("Examination History")));
        QVERIFY(text.contains(QStringLiteral("Practice Exam \"C\", retake")));
        QVERIFY(text.contains(QStringLiteral("Zoë Ångström")));
    }

    void aCancelledOrFailedExportLeavesNothingBehind()
    {
        m_services.saveFileChooser = [] { return QString(); };
        QVERIFY(!m_window->exportAnswers());
        QVERIFY(!m_window->exportHistoryPdf());
        QVERIFY(QDir(m_out->path()).isEmpty());

        const QString path = m_out->filePath(QStringLiteral("no such folder/answers.csv"));
        m_services.saveFileChooser = [path] { return path; };
        QVERIFY(!m_window->exportAnswers());
        QCOMPARE(m_services.shownMessages.size(), 1);
        QVERIFY(m_services.shownMessages[0].startsWith(
            QStringLiteral("The file \"%1\" could not be written.").arg(path)));
        QCOMPARE(m_services.shownKinds[0], platform::MsgKind::Error);
        m_services.reset(); // the message was unscripted on purpose
        QVERIFY(QDir(m_out->path()).isEmpty());
    }

    void theTimesWindowAveragesBySectionAndListsTheSlowest()
    {
        m_window->chooseRow(0);
        auto* times = m_window->itemTimesWindow();
        m_services.expectModal(QStringLiteral("itemTimesWindow"), [times](QWidget*) {
            [&] {
                // Section 1: 40 s and 0 s; section 2: 5 s and 121 s.
                QCOMPARE(times->m_sectionTimeList->topLevelItem(0)->text(1),
                         QStringLiteral("20 s"));
                QCOMPARE(times->m_sectionTimeList->topLevelItem(1)->text(2),
                         QStringLiteral("1:03 min"));
                QCOMPARE(times->m_sectionTimeList->topLevelItem(2)->text(1), QStringLiteral("-"));
                QCOMPARE(times->m_slowestList->topLevelItemCount(), 4);
                QCOMPARE(times->m_slowestList->topLevelItem(0)->text(2), QStringLiteral("14"));
                QCOMPARE(times->m_slowestList->topLevelItem(3)->text(2), QStringLiteral("11"));
            }();
            return 1;
        });
        m_window->m_timesButton->click();
        // The older attempt kept no times and says so.
        m_window->chooseRow(1);
        m_services.expectModal(QStringLiteral("itemTimesWindow"), [times](QWidget*) {
            [&] {
                QCOMPARE(times->m_slowestList->topLevelItemCount(), 0);
                QVERIFY(times->m_headingLabel->text().contains(QStringLiteral("was not kept")));
            }();
            return 1;
        });
        m_window->m_timesButton->click();
    }

    // The score chart's columns take the colour of their side of the pass
    // line, sections with no item leave a gap, and the line is the mean of
    // the last three attempts.
    void theChartsReadAtAGlance()
    {
        const auto& scores = m_window->m_scoreChart->columns();
        QCOMPARE(scores.size(), size_t(2));
        QCOMPARE(scores[0].colour, QColor(255, 0, 0)); // 500 fails
        Attempt passed = answeredAttempt();
        passed.score = 900;
        passed.pass = true;
        m_file->add(passed);
        m_window->reload();
        QCOMPARE(m_window->m_scoreChart->columns()[2].colour, QColor(0, 128, 0));
        const auto& trend = m_window->m_scoreChart->extras().trend;
        QCOMPARE(trend.size(), size_t(3));
        QCOMPARE(*trend[2], (500.0 + 500.0 + 900.0) / 3);
        // Section 2 of the answered attempt: 0 of 2 is a 0, section 3 no item.
        const auto& section2 = m_window->m_sectionCharts[1]->columns();
        QCOMPARE(section2[1].value, std::optional<double>(0.0));
        QVERIFY(!m_window->m_sectionCharts[2]->columns()[1].value);
        // A screen reader hears what the columns say.
        // After each column's value, what they say together.
        const auto says = [](const QWidget* chart, const QString& summary) {
            const QString d = chart->accessibleDescription();
            return d.endsWith(QStringLiteral(". ") + summary) ? QString() : d;
        };
        QCOMPARE(says(m_window->m_scoreChart,
                      QStringLiteral("Latest 900; average of the last 3 attempts 633.")),
                 QString());
        QCOMPARE(says(m_window->m_sectionCharts[2],
                      QStringLiteral("The latest exam had no item of this section.")),
                 QString());
        QCOMPARE(says(m_window->m_sectionCharts[1],
                      QStringLiteral("Latest 0 %; average of the last 3 attempts 0 %.")),
                 QString());
    }

    void movingAveragesSkipGaps_data()
    {
        QTest::addColumn<QList<double>>("values"); // -1: none
        QTest::addColumn<QList<double>>("means");
        QTest::newRow("one value") << QList<double>{60} << QList<double>{60};
        QTest::newRow("three and on")
            << QList<double>{30, 60, 90, 0} << QList<double>{30, 45, 60, 50};
        QTest::newRow("a gap counts as no attempt")
            << QList<double>{30, -1, 90, 60} << QList<double>{30, -1, 60, 75};
    }
    void movingAveragesSkipGaps()
    {
        QFETCH(QList<double>, values);
        QFETCH(QList<double>, means);
        std::vector<std::optional<double>> in;
        for (double v : values)
            in.push_back(v < 0 ? std::nullopt : std::optional<double>(v));
        const auto out = results::movingAverage(in, 3);
        QCOMPARE(out.size(), in.size());
        for (qsizetype i = 0; i < means.size(); ++i)
            QCOMPARE(out[size_t(i)].value_or(-1), means[i]);
    }

    // A zero stands on the axis as a flat column; a slot without items shows
    // a dash and no column colour at all.
    void zeroIsDrawnApartFromNoItems()
    {
        QImage image(200, 150, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        widgets::ColumnExtras extras;
        extras.valuesShown = true;
        extras.emptyMark = QStringLiteral("\u2013");
        widgets::paintColumnChart(painter, QRectF(image.rect()), QString(), Qt::black,
                                  {{QStringLiteral("1"), 0.0}, {QStringLiteral("2"), std::nullopt}},
                                  Qt::red, {0, 100, 50}, std::nullopt, {}, extras);
        painter.end();
        const auto redIn = [&](int x0, int x1) {
            int n = 0;
            for (int x = x0; x < x1; ++x)
                for (int y = 0; y < image.height(); ++y)
                    n += image.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
            return n;
        };
        // The plot spans most of the width: the first slot is the left half.
        QVERIFY(redIn(30, 100) > 0);
        QCOMPARE(redIn(110, 200), 0);
    }
};

QTEST_MAIN(TestHistoryExport)
#include "test_history_export.moc"
