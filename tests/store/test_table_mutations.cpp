// Mutation probe: byte-mutated and truncated copies of each table file are
// opened and read as the program does. Every mutant must be refused with a
// message naming the file, or read back exactly as the original; a mutant
// that opens with other contents is a damaged file accepted in silence. The
// seed is fixed, so a failure repeats.
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QtTest>
#include <random>

using store::Table;

namespace {

constexpr int kMutantsPerFile = 210;
// A raw key skips the engine's slow key derivation, which would otherwise
// take most of the run; every check after the key is the program's own.
constexpr const char* kRawKey =
    "x'5175697a6c61726b2070726f6265206b657920666f722074686520746573742e'";
constexpr int kPageSize = 1024;

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

using RowValuesByName = std::vector<std::pair<QString, QVariant>>;

enum Kind { FlipByte, Truncate, OverwriteRun, ZeroPage, KindCount };

const char* kindName(int k)
{
    static const char* names[] = {"byte flips", "truncations", "overwritten runs", "zeroed pages"};
    return names[k];
}

QByteArray mutate(const QByteArray& original, Kind kind, std::mt19937& rng)
{
    QByteArray m = original;
    auto below = [&](qsizetype n) {
        return static_cast<qsizetype>(std::uniform_int_distribution<qsizetype>(0, n - 1)(rng));
    };
    switch (kind) {
    case FlipByte:
        m[below(m.size())] ^= static_cast<char>(1 + below(255));
        break;
    case Truncate:
        // Cuts at page edges, where the engine might not notice, and anywhere.
        if (below(2) == 0)
            m.truncate(below(m.size() / kPageSize) * kPageSize);
        else
            m.truncate(below(m.size()));
        break;
    case OverwriteRun: {
        const qsizetype at = below(m.size());
        const qsizetype len = std::min<qsizetype>(1 + below(64), m.size() - at);
        for (qsizetype i = 0; i < len; ++i)
            m[at + i] = static_cast<char>(below(256));
        break;
    }
    case ZeroPage: {
        const qsizetype page = below(m.size() / kPageSize) * kPageSize;
        for (qsizetype i = page; i < page + kPageSize && i < m.size(); ++i)
            m[i] = 0;
        break;
    }
    case KindCount:
        break;
    }
    return m;
}

} // namespace

class TestTableMutations : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::ProgramDir> m_bankSource;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Session> m_session;

    std::unique_ptr<Table> table(const QString& file)
    {
        if (file == QLatin1String("ces.DAT")) {
            auto t = std::make_unique<Table>(*m_session, file, store::currentSetSchema(), true);
            t->setExclusive(true);
            return t;
        }
        return std::make_unique<Table>(*m_session, file,
                                       file == QLatin1String("tcpip.DAT") ? store::bankSchema()
                                                                          : store::userSetSchema());
    }

    // Every field of every record, as text, in key order.
    QStringList contents(const QString& file)
    {
        auto t = table(file);
        t->open();
        QStringList all;
        for (t->first(); !t->eof(); t->next()) {
            QStringList row;
            for (const auto& c : t->schema())
                row << (t->isNull(c.name) ? QStringLiteral("<null>") : t->asString(c.name));
            all << row.join(QLatin1Char('|'));
        }
        return all;
    }

private slots:
    void initTestCase()
    {
        // The bank's rows come from the bank compiler's fixture bank.
        m_bankSource = std::make_unique<testing::ProgramDir>();
        std::vector<RowValuesByName> bankRows;
        {
            store::Session s(QStringLiteral("Quizlark"));
            s.registerPassword(QString::fromLatin1(store::kTablePassword));
            Table source(s, QStringLiteral("tcpip.DAT"), store::bankSchema());
            source.open();
            for (source.first(); !source.eof(); source.next()) {
                RowValuesByName row;
                for (const auto& c : store::bankSchema())
                    row.emplace_back(c.name, source.value(c.name));
                bankRows.push_back(row);
            }
        }
        QVERIFY(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(kRawKey));
        {
            Table bank(*m_session, QStringLiteral("tcpip.DAT"), store::bankSchema(), true);
            bank.open();
            // Eight copies, numbered on, give a file of many pages.
            const int n = static_cast<int>(bankRows.size());
            for (int copy = 0; copy < 8; ++copy) {
                for (const RowValuesByName& row : bankRows) {
                    bank.append();
                    for (const auto& [name, value] : row)
                        bank.setValue(name, name == QLatin1String("Q_ID")
                                                ? QVariant(value.toInt() + copy * n)
                                                : value);
                    bank.post();
                }
            }
        }
        auto user = std::make_unique<Table>(*m_session, QStringLiteral("tcpipusr.DAT"),
                                            store::userSetSchema(), true);
        user->open();
        for (int i = 0; i < 12; ++i) {
            user->append();
            user->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("user question %1").arg(i));
            user->setValue(QStringLiteral("Q1"), QStringLiteral("yes"));
            user->setValue(QStringLiteral("Q2"), QStringLiteral("no"));
            user->setValue(QStringLiteral("A1"), true);
            user->setValue(QStringLiteral("Q_SECT"), i % 6);
            user->post();
        }
        // The current set as an exam start leaves it: a copy of the bank.
        auto bank = table(QStringLiteral("tcpip.DAT"));
        auto current = table(QStringLiteral("ces.DAT"));
        bank->open();
        current->open();
        for (bank->first(); !bank->eof(); bank->next()) {
            current->append();
            for (const auto& c : store::bankSchema())
                if (c.name != QLatin1String("Q_ID"))
                    current->setValue(c.name, bank->value(c.name));
            current->setValue(QStringLiteral("Q_OR_NUMBER"),
                              bank->asInteger(QStringLiteral("Q_ID")));
            current->post();
        }
    }
    void cleanupTestCase()
    {
        m_session.reset();
        m_bankSource.reset(); // back to the folder the test started in
    }

    void mutantsAreRefusedOrReadIntact_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("seed");
        QTest::newRow("bank") << "tcpip.DAT" << 11;
        QTest::newRow("user set") << "tcpipusr.DAT" << 12;
        QTest::newRow("current set") << "ces.DAT" << 13;
    }
    void mutantsAreRefusedOrReadIntact()
    {
        QFETCH(QString, file);
        QFETCH(int, seed);
        const QString path = m_dir.filePath(file);
        const QByteArray original = readAll(path);
        QVERIFY(original.size() >= 2 * kPageSize);
        const QStringList intact = contents(file);
        QVERIFY(!intact.isEmpty());

        std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
        int refused[KindCount] = {}, same[KindCount] = {}, made[KindCount] = {};
        int recreated = 0;
        for (int n = 0; n < kMutantsPerFile; ++n) {
            // Half the mutants flip one byte; the rest are spread over the other kinds.
            const Kind kind = n % 2 == 0 ? FlipByte : static_cast<Kind>(1 + (n / 2) % 3);
            const QByteArray mutant = mutate(original, kind, rng);
            ++made[kind];
            writeAll(path, mutant);
            try {
                const QStringList got = contents(file);
                // The current set is scratch, rebuilt at every exam: an empty
                // file there may become a new empty table.
                if (mutant.isEmpty() && file == QLatin1String("ces.DAT") && got.isEmpty()) {
                    ++recreated;
                    continue;
                }
                QVERIFY2(got == intact, qPrintable(QStringLiteral("mutant %1 (%2) of %3 opened "
                                                                  "with other contents")
                                                       .arg(n)
                                                       .arg(QLatin1String(kindName(kind)), file)));
                ++same[kind];
            } catch (const platform::TableError& e) {
                QVERIFY2(e.text().contains(QStringLiteral("\"%1\"").arg(file)) &&
                             e.text().contains(QStringLiteral("damaged")),
                         qPrintable(QStringLiteral("mutant %1: %2").arg(n).arg(e.text())));
                // A refused file is left exactly as it was found.
                QVERIFY2(
                    readAll(path) == mutant,
                    qPrintable(QStringLiteral("mutant %1 of %2 was written to").arg(n).arg(file)));
                ++refused[kind];
            }
        }
        writeAll(path, original);
        QStringList figures;
        for (int k = 0; k < KindCount; ++k)
            figures << QStringLiteral("%1 %2: %3 refused, %4 read intact")
                           .arg(made[k])
                           .arg(QLatin1String(kindName(k)))
                           .arg(refused[k])
                           .arg(same[k]);
        if (recreated)
            figures << QStringLiteral("%1 empty file(s) made a new empty table").arg(recreated);
        qInfo("%s (%lld bytes), %d mutants: %s", qPrintable(file),
              static_cast<long long>(original.size()), kMutantsPerFile,
              qPrintable(figures.join(QStringLiteral("; "))));
    }
};

QTEST_GUILESS_MAIN(TestTableMutations)
#include "test_table_mutations.moc"
