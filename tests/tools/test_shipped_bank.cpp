// The shipped question bank: beyond what the compiler checks, the shape of
// each practice exam, the exhibit pictures, and what keeps the bank worth
// studying: no scenario told twice, every objective in every exam, no cue in
// the key's position or length, items that stand on their own, explanations
// that name the right letters.
#include "BankChecks.h"
#include "BankCompiler.h"

#include <QDir>
#include <QImageReader>
#include <QSet>
#include <QtTest>
#include <cmath>

namespace {

// A bank source that is to replace the shipped one can be checked before it
// does: QUIZLARK_BANK_DIR names its folder.
QString bankDir()
{
    const QString other = qEnvironmentVariable("QUIZLARK_BANK_DIR");
    return other.isEmpty() ? QStringLiteral(QUIZLARK_DATA_DIR "/bank") : other;
}

QString examName(int exam)
{
    return exam == 0 ? QStringLiteral("the retired set")
                     : QStringLiteral("exam %1").arg(QChar(u'A' + exam - 1));
}

bool isSingleResponse(const bank::SourceItem& it)
{
    return it.sim.isEmpty() && !it.multiple;
}

// QtTest cuts a failure message at about a thousand characters, so a long
// list of findings is printed line by line and the message only sums it up.
QString listed(const QStringList& findings)
{
    if (findings.join(QLatin1Char('\n')).size() < 900)
        return findings.join(QLatin1Char('\n'));
    for (const QString& f : findings)
        qWarning().noquote() << f;
    return QStringLiteral("%1 findings, printed above").arg(findings.size());
}

} // namespace

class TestShippedBank : public QObject {
    Q_OBJECT
    QVector<bank::SourceItem> m_items;
    const QString m_pictures = QStringLiteral(QUIZLARK_DATA_DIR "/pictures");

private slots:
    void initTestCase()
    {
        QStringList errors;
        m_items = bank::readSource(bankDir(), m_pictures, &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(listed(errors)));
    }

    void everyPracticeExamHasFiftyItemsInTheSectionRanges_data()
    {
        QTest::addColumn<int>("exam");
        for (int e = 1; e <= 7; ++e)
            QTest::addRow("exam %c", char('A' + e - 1)) << e;
    }
    void everyPracticeExamHasFiftyItemsInTheSectionRanges()
    {
        QFETCH(int, exam);
        int count = 0, sims1 = 0, sims2 = 0, exhibits = 0;
        int sections[6] = {};
        for (const bank::SourceItem& it : m_items) {
            if (it.exam != exam)
                continue;
            ++count;
            ++sections[it.section];
            sims1 += it.sim == QLatin1String("SIM1");
            sims2 += it.sim == QLatin1String("SIM2");
            exhibits += !it.pict1.isEmpty() || !it.pict2.isEmpty();
        }
        QCOMPARE(count, 50);
        const int low[6] = {0, 5, 20, 8, 4, 10}, high[6] = {0, 5, 22, 8, 5, 11};
        for (int s = 1; s <= 5; ++s)
            QVERIFY2(sections[s] >= low[s] && sections[s] <= high[s],
                     qPrintable(QStringLiteral("section %1 has %2 items").arg(s).arg(sections[s])));
        QCOMPARE(sims1, 1);
        QCOMPARE(sims2, 1);
        QVERIFY(exhibits >= 6);
    }

    void questionTextsAreUnique()
    {
        QHash<QString, int> seen;
        for (const bank::SourceItem& it : m_items) {
            const QString text = it.text.simplified();
            QVERIFY2(!seen.contains(text), qPrintable(QStringLiteral("items %1 and %2 ask the same")
                                                          .arg(seen.value(text))
                                                          .arg(it.id)));
            seen.insert(text, it.id);
        }
    }

    void multipleResponseItemsSayHowManyToChoose()
    {
        const QStringList words = {"", "one", "two", "three", "four", "five", "six"};
        for (const bank::SourceItem& it : m_items) {
            if (!it.multiple)
                continue;
            const int keys = int(std::count(it.key.begin(), it.key.end(), true));
            QVERIFY2(it.text.contains(QStringLiteral("Choose %1.").arg(words[keys])),
                     qPrintable(QStringLiteral("item %1 has %2 keys").arg(it.id).arg(keys)));
        }
    }

    void everyPictureLoadsAndIsUsed()
    {
        QSet<QString> used;
        for (const bank::SourceItem& it : m_items)
            for (const QString& p : {it.pict1, it.pict2})
                if (!p.isEmpty())
                    used.insert(p);
        const QStringList files = QDir(m_pictures).entryList(QDir::Files);
        for (const QString& file : files) {
            QVERIFY2(used.contains(file), qPrintable(file + QStringLiteral(" is used by no item")));
            QImageReader reader(QDir(m_pictures).filePath(file));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(),
                     qPrintable(file + QStringLiteral(": ") + reader.errorString()));
            // Exhibits are shown unscaled and must fit a screen without scrolling.
            QVERIFY2(image.width() <= 900 && image.height() <= 620, qPrintable(file));
        }
        for (const QString& p : used)
            QVERIFY2(files.contains(p), qPrintable(p));
    }

    // A candidate who takes every exam meets each problem once: an item of
    // one exam (or of the retired set) must not be another exam's item with
    // other names and numbers.
    void noScenarioIsRetoldInAnotherExam()
    {
        const QVector<bankcheck::SimilarPair> pairs = bankcheck::retoldScenarios(m_items, 0.6);
        QStringList found;
        for (const bankcheck::SimilarPair& p : pairs)
            found << QStringLiteral("items %1 and %2 are %3 alike")
                         .arg(p.first)
                         .arg(p.second)
                         .arg(p.ratio, 0, 'f', 3);
        QVERIFY2(found.isEmpty(), qPrintable(listed(found)));
    }

    void everyPracticeExamCoversEveryObjective_data()
    {
        QTest::addColumn<int>("exam");
        for (int e = 1; e <= 7; ++e)
            QTest::addRow("exam %c", char('A' + e - 1)) << e;
    }
    void everyPracticeExamCoversEveryObjective()
    {
        QFETCH(int, exam);
        // The simulations are the same two exercises in every exam, so only
        // the other items count; an item on a sub-objective tests its
        // objective too, and every sub-objective is in every exam as well.
        QSet<QString> covered;
        for (const bank::SourceItem& it : m_items)
            if (it.exam == exam && it.sim.isEmpty()) {
                covered.insert(it.objective);
                covered.insert(it.objective.section(QLatin1Char('/'), 0, 0));
            }
        QStringList missing;
        for (const bank::Objective& o : bank::objectives())
            if (!covered.contains(o.name))
                missing << o.name;
        QVERIFY2(
            missing.isEmpty(),
            qPrintable(
                QStringLiteral("%1 has no item on %2").arg(examName(exam), missing.join(", "))));
    }

    void everySubObjectiveIsCovered()
    {
        QSet<QString> covered;
        for (const bank::SourceItem& it : m_items)
            covered.insert(it.objective);
        QStringList missing;
        for (const bank::Objective& o : bank::objectives())
            if (o.name.contains(QLatin1Char('/')) && !covered.contains(o.name))
                missing << o.name;
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no item on ") + missing.join(", ")));
    }

    // Choices are shown in stored order, so a favourite key letter is a cue.
    void noLetterIsTheKeyTooOften_data()
    {
        QTest::addColumn<int>("exam");
        for (int e = 0; e <= 7; ++e)
            QTest::newRow(qPrintable(examName(e))) << e;
    }
    void noLetterIsTheKeyTooOften()
    {
        QFETCH(int, exam);
        int singles = 0;
        int keyed[6] = {};
        for (const bank::SourceItem& it : m_items) {
            if (it.exam != exam || !isSingleResponse(it))
                continue;
            ++singles;
            for (int i = 0; i < 6; ++i)
                keyed[i] += it.key[static_cast<size_t>(i)];
        }
        QVERIFY(singles > 0);
        for (int i = 0; i < 6; ++i)
            QVERIFY2(keyed[i] * 5 <= singles * 2,
                     qPrintable(QStringLiteral("%1: \"%2\" is the key of %3 of %4 "
                                               "single-response items (more than 40 %)")
                                    .arg(examName(exam))
                                    .arg(QChar(u'a' + i))
                                    .arg(keyed[i])
                                    .arg(singles)));
    }

    // By chance the key would be the longest of four or five choices in
    // about a fifth of the items; much more often and length gives it away.
    void theKeyIsSeldomTheLongestChoice()
    {
        int singles = 0;
        QStringList longest;
        for (const bank::SourceItem& it : m_items) {
            if (!isSingleResponse(it))
                continue;
            ++singles;
            if (bankcheck::keyIsStrictlyLongest(it))
                longest << QString::number(it.id);
        }
        QVERIFY(singles > 0);
        QVERIFY2(longest.size() * 100 <= singles * 28,
                 qPrintable(QStringLiteral("the key is the longest choice in %1 of %2 "
                                           "single-response items (more than 28 %): items %3")
                                .arg(longest.size())
                                .arg(singles)
                                .arg(longest.join(", "))));
    }

    // One item must not answer another in the same exam, and a candidate who
    // takes every exam should not meet one fact over and over.
    void noExamTestsAFactTwice()
    {
        const QStringList problems = bankcheck::factProblems(m_items);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
    }

    // A test-wise guesser who knows nothing but picks by length must do no
    // better than chance: over the practice exams' items, the key's length
    // rank, the letters of multiple-response keys and the credit for ticking
    // the n longest choices all stay within two standard deviations of what
    // keys drawn at random give, and no letter is in more than 1.3 times its
    // share of multiple-response keys. The figures are printed either way, so
    // that a change to the bank shows what it does to them.
    void theChoiceLengthsGiveNothingAway()
    {
        QVector<bank::SourceItem> exams;
        for (const bank::SourceItem& it : m_items)
            if (it.exam >= 1)
                exams << it;
        auto line = [](const QString& what, const bankcheck::Figure& f) {
            return QStringLiteral("%1: %2 against %3 by chance (sd %4, z %5)")
                .arg(what)
                .arg(f.observed)
                .arg(f.expected, 0, 'f', 1)
                .arg(f.sd, 0, 'f', 1)
                .arg(f.z(), 0, 'f', 2);
        };
        QStringList out;
        const std::array<bankcheck::Figure, 6> ranks = bankcheck::keyLengthRanks(exams);
        for (size_t r = 0; r < ranks.size(); ++r) {
            if (ranks[r].expected == 0)
                continue;
            const QString what = QStringLiteral("key of length rank %1").arg(r + 1);
            qInfo().noquote() << line(what, ranks[r]);
            if (std::abs(ranks[r].z()) > 2)
                out << line(what, ranks[r]);
        }
        const std::array<bankcheck::Figure, 6> letters = bankcheck::keyLetters(exams);
        for (size_t i = 0; i < letters.size(); ++i) {
            if (letters[i].expected == 0)
                continue;
            const QString what =
                QStringLiteral("letter %1 in multiple-response keys").arg(QChar(u'a' + int(i)));
            qInfo().noquote() << line(what, letters[i]);
            if (letters[i].z() > 2 || letters[i].observed > 1.3 * letters[i].expected)
                out << line(what, letters[i]);
        }
        const bankcheck::Figure longest = bankcheck::longestChoicesScore(exams);
        const QString what = QStringLiteral("full credit for ticking the n longest choices");
        qInfo().noquote() << line(what, longest);
        if (std::abs(longest.z()) > 2)
            out << line(what, longest);
        QVERIFY2(out.isEmpty(), qPrintable(listed(out)));
    }

    // A random exam, a drill or the user's own set shows an item without its
    // neighbours, so an item must not lean on a case study's exhibit it does
    // not show. Mechanically that means: no pointing at an exhibit it lacks;
    // no host, domain or network of a case study that only the explanation
    // names; a case name that first appears in a choice is said there to be
    // a server, a router, an address...; and no address of the case study in
    // the explanation that the item neither shows nor states nor lets the
    // candidate work out from an address and a mask it gives.
    void itemsStandOnTheirOwn()
    {
        const bankcheck::Exhibits exhibits = bankcheck::readExhibits(m_pictures);
        QVERIFY(!exhibits.whereNamed.isEmpty());
        QStringList problems;
        for (const bank::SourceItem& it : m_items)
            problems << bankcheck::standAloneProblems(it, exhibits);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
    }

    // Reordered choices must not leave an explanation pointing at the old
    // letters: every letter it names exists, and one it calls correct is a
    // key, one it calls wrong is not.
    void explanationsNameTheRightLetters()
    {
        QStringList problems;
        for (const bank::SourceItem& it : m_items)
            problems << bankcheck::letterProblems(it);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
    }
};

QTEST_MAIN(TestShippedBank)
#include "test_shipped_bank.moc"
