// The shipped question bank: beyond what the compiler checks, the shape of
// each practice exam and the exhibit pictures.
#include "BankCompiler.h"

#include <QDir>
#include <QImageReader>
#include <QSet>
#include <QtTest>

class TestShippedBank : public QObject {
    Q_OBJECT
    QVector<bank::SourceItem> m_items;
    const QString m_pictures = QStringLiteral(QUIZLARK_DATA_DIR "/pictures");

private slots:
    void initTestCase()
    {
        QStringList errors;
        m_items = bank::readSource(QStringLiteral(QUIZLARK_DATA_DIR "/bank"), m_pictures, &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
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
            QVERIFY2(!image.isNull(), qPrintable(file + QStringLiteral(": ") + reader.errorString()));
            // Exhibits are shown unscaled and must fit a screen without scrolling.
            QVERIFY2(image.width() <= 900 && image.height() <= 620, qPrintable(file));
        }
        for (const QString& p : used)
            QVERIFY2(files.contains(p), qPrintable(p));
    }
};

QTEST_MAIN(TestShippedBank)
#include "test_shipped_bank.moc"
