// The bank content checks on small made-up items: each rule catches the fault
// it is for and leaves alone the wording a correct item uses.
#include "BankChecks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bank::SourceItem makeItem(int id, const QString& text, const QStringList& choices,
                          const QString& key, const QString& explanation,
                          const QString& pict1 = QString(), const QString& pict2 = QString())
{
    bank::SourceItem it;
    it.id = id;
    it.exam = 1;
    it.text = text;
    for (int i = 0; i < choices.size() && i < 6; ++i)
        it.choices[static_cast<size_t>(i)] = choices.at(i);
    for (const QChar c : key)
        it.key[static_cast<size_t>(c.unicode() - u'a')] = true;
    it.multiple = key.size() > 1;
    it.explanation = explanation;
    it.pict1 = pict1;
    it.pict2 = pict2;
    return it;
}

// "bd+ c-" : the letters of each mention, then + for a key, - for not a key,
// ? for no verdict.
QString describe(const QVector<bankcheck::LetterMention>& mentions)
{
    QStringList parts;
    for (const bankcheck::LetterMention& m : mentions) {
        const char mark = m.verdict == bankcheck::Verdict::Key      ? '+'
                          : m.verdict == bankcheck::Verdict::NotKey ? '-'
                                                                    : '?';
        parts << m.letters + QLatin1Char(mark);
    }
    return parts.join(QLatin1Char(' '));
}

const char* const kCaseExhibit =
    "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='200'>\n"
    "<text x='5' y='15'>Fernhill Bank - routed network</text>\n"
    "<text x='5' y='30'>Branch LAN  205.114.20.32  mask 255.255.255.224</text>\n"
    "<text x='5' y='45'>Head Office LAN 2  10.2.0.0  mask 255.255.0.0</text>\n"
    "<text x='5' y='60' font-weight='bold'>GENEVA</text>\n"
    "<text x='5' y='75'>NT Workstation, 205.114.20.40</text>\n"
    "<text x='5' y='90'><tspan>MADRID</tspan> DHCP, WINS server 10.1.4.20</text>\n"
    "<text x='5' y='105'>10.1.4.20   MADRID   #PRE</text>\n"
    "</svg>\n";

const char* const kOutputExhibit =
    "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='60'>\n"
    "<text x='5' y='15'>Windows NT IP Configuration</text>\n"
    "<text x='5' y='30'>IP Address. . . . . : 10.9.9.9</text>\n"
    "</svg>\n";

} // namespace

class TestBankChecks : public QObject {
    Q_OBJECT
    QTemporaryDir m_pictures;
    bankcheck::Exhibits m_exhibits;

private slots:
    void initTestCase()
    {
        QVERIFY(m_pictures.isValid());
        for (const auto& [name, text] :
             {std::pair{"net.svg", kCaseExhibit}, std::pair{"ipconfig.svg", kOutputExhibit}}) {
            QFile f(m_pictures.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        m_exhibits = bankcheck::readExhibits(m_pictures.path());
    }

    void maskedWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        QTest::newRow("addresses and numbers")
            << "Your host 192.168.20.7 uses the mask 255.255.255.0."
            << "cap host # uses the mask #.";
        QTest::newRow("names of three letters or more")
            << "CURIE and NT-SRV1 run WINS; DARWIN does not."
            << "name and name run name; name does not.";
        QTest::newRow("capitalised words") << "Elmstead College has 600 clients on five subnets"
                                           << "cap cap has # clients on five subnets";
        QTest::newRow("line breaks and runs of spaces") << "Use ipconfig /all\nthen  ping 127.0.0.1"
                                                        << "cap ipconfig /all then ping #";
        QTest::newRow("two capitals stay a word") << "NT 4.0 and RIP for IP"
                                                  << "nt # and name for ip";
    }
    void maskedWords()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QCOMPARE(bankcheck::maskedWords(text).join(QLatin1Char(' ')), words);
    }

    // Expected values are what difflib.SequenceMatcher(None, a, b,
    // autojunk=False).ratio() gives on the same word lists.
    void matchRatio_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("same") << "the quick brown fox"
                              << "the quick brown fox" << 1.0;
        QTest::newRow("both empty") << ""
                                    << "" << 1.0;
        QTest::newRow("one empty") << "a"
                                   << "" << 0.0;
        QTest::newRow("one word changed") << "one two three four five"
                                          << "one two six four five" << 0.8;
        QTest::newRow("blocks swapped") << "a b c d"
                                        << "c d a b" << 0.5;
        // The longest-common-subsequence would count "w x" (2/3); difflib
        // takes the first longest block, "x", and nothing is left beside it.
        QTest::newRow("first longest block wins") << "x w x"
                                                  << "w y x" << 1.0 / 3;
        QTest::newRow("repeats") << "a b c a b c a"
                                 << "c a b c a b" << 10.0 / 13;
        QTest::newRow("reversed") << "p q r s t u"
                                  << "u t s r q p" << 1.0 / 6;
        QTest::newRow("block then rest on both sides") << "x y z x y"
                                                       << "x y q x y z" << 6.0 / 11;
    }
    void matchRatio()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(double, ratio);
        const double got = bankcheck::matchRatio(a.split(QLatin1Char(' '), Qt::SkipEmptyParts),
                                                 b.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QVERIFY2(qAbs(got - ratio) < 1e-9, qPrintable(QString::number(got)));
    }

    void retoldScenariosAreFoundAcrossExamsOnly()
    {
        const QStringList choices = {"The relay list", "The scope", "The lease", "The gateway"};
        const auto at = [&](int id, int exam, const QString& text) {
            bank::SourceItem it = makeItem(id, text, choices, "a", "x");
            it.exam = exam;
            return it;
        };
        const QString told = QStringLiteral(
            "Clients on the Admin segment obtain leases from CURIE (150.20.16.10) through the "
            "DHCP Relay Agent on NEWTON. Which setting is wrong?");
        const QString retold = QStringLiteral(
            "Clients on the Science segment obtain leases from MADRID (10.1.4.20) through the "
            "DHCP Relay Agent on OSLO. Which setting is wrong?");
        const QString other = QStringLiteral("Which utility shows the route table of a host?");
        QVector<bank::SourceItem> items = {at(1, 1, told), at(2, 2, retold), at(3, 2, other),
                                           at(4, 3, other), at(5, 4, told)};
        // The same scenario twice in one exam is for the exam's own review,
        // and a simulation is not a told scenario.
        items.push_back(at(6, 3, other));
        items[4].sim = QStringLiteral("SIM1");
        items[4].choices = {};
        items[2].exam = 0;
        const QVector<bankcheck::SimilarPair> pairs = bankcheck::retoldScenarios(items, 0.6);
        QCOMPARE(pairs.size(), 3);
        QCOMPARE(pairs.at(0).first, 1);
        QCOMPARE(pairs.at(0).second, 2);
        QCOMPARE(pairs.at(0).ratio, 1.0);
        // The retired set counts as an exam of its own.
        QCOMPARE(pairs.at(1).first, 3);
        QCOMPARE(pairs.at(1).second, 4);
        QCOMPARE(pairs.at(2).first, 3);
        QCOMPARE(pairs.at(2).second, 6);
        QVERIFY(bankcheck::retoldScenarios(items, 1.0).isEmpty());
    }

    void keyIsStrictlyLongest_data()
    {
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("longest");
        QTest::newRow("longest") << QStringList{"short", "the longest one", "middle"} << "b"
                                 << true;
        QTest::newRow("shares the length") << QStringList{"same", "same", "abc"} << "a" << false;
        QTest::newRow("shorter") << QStringList{"short", "a longer choice"} << "a" << false;
        QTest::newRow("last of six") << QStringList{"a", "b", "c", "d", "e", "ffff"} << "f" << true;
    }
    void keyIsStrictlyLongest()
    {
        QFETCH(QStringList, choices);
        QFETCH(QString, key);
        QFETCH(bool, longest);
        QCOMPARE(bankcheck::keyIsStrictlyLongest(makeItem(1, "Q?", choices, key, "x")), longest);
    }

    void lettersNamed_data()
    {
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("wrong") << "Choice c is wrong because the mask is too short."
                               << "c-";
        QTest::newRow("two correct") << "Choices b and d are correct."
                                     << "bd+";
        QTest::newRow("list") << "Choices b, c and e are all wrong."
                              << "bce-";
        QTest::newRow("list with a") << "Choices a, b and c are wrong."
                                     << "abc-";
        QTest::newRow("correct answer before") << "The correct answer is choice b."
                                               << "b+";
        QTest::newRow("the answer is") << "The answer is c."
                                       << "c+";
        QTest::newRow("correct choices are") << "The correct choices are b and d."
                                             << "bd+";
        QTest::newRow("wrong answers are") << "The wrong answers are a and e."
                                           << "ae-";
        QTest::newRow("plain choices are") << "The choices are b and d."
                                           << "bd?";
        QTest::newRow("letter a") << "Choice a is wrong."
                                  << "a-";
        QTest::newRow("aside") << "Choice a, which adds a route, is correct."
                               << "a+";
        QTest::newRow("parenthesis") << "Choice d (the relay agent) is the correct answer."
                                     << "d+";
        QTest::newRow("two clauses") << "Choice c is right; choice d is wrong."
                                     << "c+ d-";
        QTest::newRow("one sentence") << "Choice b is wrong, so choice e is correct."
                                      << "b- e+";
        QTest::newRow("not the answer") << "Option e is not the answer: it needs a router."
                                        << "e-";
        QTest::newRow("upper case") << "Answer C is incorrect."
                                    << "c-";
        QTest::newRow("letter f") << "Choice f is wrong."
                                  << "f-";
        QTest::newRow("in parentheses") << "See option (c) for details."
                                        << "c?";
        QTest::newRow("named only") << "Unlike choice c, the relay agent forwards requests."
                                    << "c?";
        QTest::newRow("neither nor") << "Neither choice c nor choice d is correct."
                                     << "c? d?";
        QTest::newRow("hypothetical") << "If choice c were used, it would be correct."
                                      << "c?";
        QTest::newRow("qualified correct") << "Choice c is correct only for class C networks."
                                           << "c?";
        QTest::newRow("qualified not correct")
            << "Choice b is not correct on its own, but with d it is."
            << "b?";
        QTest::newRow("not the only answer") << "Choice b is not the only correct answer."
                                             << "b?";
        QTest::newRow("would be") << "Choice c would be correct for a class B network."
                                  << "c?";
        QTest::newRow("article after answers") << "WINS answers a query from the client."
                                               << "";
        QTest::newRow("A record") << "The DNS server answers A record queries."
                                  << "";
        QTest::newRow("the key is a") << "The key is a static mapping for the UNIX host."
                                      << "";
        QTest::newRow("numbered option") << "Option 046 sets the node type."
                                         << "";
        QTest::newRow("e-mail") << "The answer e-mail carries is late."
                                << "";
        QTest::newRow("e.g.") << "Another option e.g. a HOSTS file works too."
                              << "";
        QTest::newRow("drive") << "The answer is C:\\winnt\\system32."
                               << "";
        QTest::newRow("and a") << "Choices c and a few others fail."
                               << "c?";
    }
    void lettersNamed()
    {
        QFETCH(QString, explanation);
        QFETCH(QString, mentions);
        QCOMPARE(describe(bankcheck::lettersNamed(explanation)), mentions);
    }

    void letterProblems_data()
    {
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no such choice") << "Choice e is wrong."
                                        << "b"
                                        << "item 1: the explanation names choice e, but the "
                                           "item has 4 choices";
        QTest::newRow("wrong letter called correct")
            << "Choice c is correct."
            << "b"
            << "item 1: the explanation calls choice c correct, but the key is b";
        QTest::newRow("key called wrong")
            << "Choice b is wrong."
            << "b"
            << "item 1: the explanation calls choice b wrong, but the key is b";
        QTest::newRow("one of two called correct is not a key")
            << "Choices b and d are correct."
            << "bc"
            << "item 1: the explanation calls choice d correct, but the key is bc";
        QTest::newRow("keys called correct") << "Choices b and d are correct."
                                             << "bd"
                                             << "";
        QTest::newRow("distractor called wrong") << "Choice a is wrong."
                                                 << "b"
                                                 << "";
        QTest::newRow("named without verdict") << "Unlike choice d, it routes."
                                               << "b"
                                               << "";
        QTest::newRow("no letters") << "The relay agent forwards requests."
                                    << "b"
                                    << "";
    }
    void letterProblems()
    {
        QFETCH(QString, explanation);
        QFETCH(QString, key);
        QFETCH(QString, problem);
        const QStringList problems = bankcheck::letterProblems(
            makeItem(1, "Q?", {"one", "two", "three", "four"}, key, explanation));
        if (problem.isEmpty())
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        else
            QCOMPARE(problems, QStringList{problem});
    }

    void exhibitsYieldCaseNames()
    {
        for (const char* name : {"GENEVA", "MADRID", "Branch LAN", "Head Office LAN 2"})
            QVERIFY2(m_exhibits.whereNamed.value(QString::fromLatin1(name)) ==
                         QSet<QString>{QStringLiteral("net.svg")},
                     name);
        // Tool words, output fields and numbers next to a network are not names.
        for (const char* word : {"PRE", "DHCP", "WINS", "IP", "Branch LAN 205"})
            QVERIFY2(!m_exhibits.whereNamed.contains(QString::fromLatin1(word)), word);
        QVERIFY(m_exhibits.addresses.value(QStringLiteral("net.svg"))
                    .contains(QStringLiteral("205.114.20.40")));
    }

    void standAloneProblems_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QString>("pict1");
        QTest::addColumn<QString>("pict2");
        QTest::addColumn<QString>("problem");
        const QStringList plain = {"Set option 046.", "Add a HOSTS entry.", "Enable forwarding.",
                                   "Install a relay agent."};
        QTest::newRow("facts stated") << "GENEVA, a Windows NT Workstation, cannot resolve names."
                                      << plain << "GENEVA is an h-node."
                                      << ""
                                      << ""
                                      << "";
        QTest::newRow("points at an exhibit it lacks")
            << "Refer to the exhibit. Which host is wrong?" << plain << "x"
            << ""
            << ""
            << "item 1: has no exhibit but says \"exhibit\"";
        QTest::newRow("points at a diagram it lacks")
            << "Which router in the diagram fails?" << plain << "x"
            << ""
            << ""
            << "item 1: has no exhibit but says \"the diagram\"";
        QTest::newRow("second exhibit missing")
            << "Refer to Exhibits 1 and 2." << plain << "x"
            << "ipconfig.svg"
            << ""
            << "item 1: refers to a second exhibit but has none";
        QTest::newRow("second exhibit present") << "Refer to Exhibits 1 and 2." << plain << "x"
                                                << "ipconfig.svg"
                                                << "net.svg"
                                                << "";
        QTest::newRow("choice names an unknown host")
            << "Old clients cannot resolve head office names."
            << QStringList{"Configure GENEVA as a WINS proxy agent.", "Set option 046.",
                           "Add HOSTS."}
            << "x"
            << ""
            << ""
            << "item 1: a choice names GENEVA without saying what it is";
        QTest::newRow("exhibit shows the host")
            << "Old clients cannot resolve head office names."
            << QStringList{"Configure GENEVA as a WINS proxy agent.", "Set option 046.",
                           "Add HOSTS."}
            << "x"
            << "net.svg"
            << ""
            << "";
        QTest::newRow("an exhibit that does not show the host")
            << "Old clients cannot resolve head office names."
            << QStringList{"Configure GENEVA as a WINS proxy agent.", "Set option 046.",
                           "Add HOSTS."}
            << "x"
            << "ipconfig.svg"
            << ""
            << "item 1: a choice names GENEVA without saying what it is";
        QTest::newRow("host named in the question")
            << "GENEVA cannot resolve names." << QStringList{"Restart GENEVA.", "Set option 046."}
            << "x"
            << ""
            << ""
            << "";
        QTest::newRow("named in lower case in the question")
            << "A user runs ping geneva." << QStringList{"WINS resolves GENEVA.", "DNS does."}
            << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice with apposition")
            << "Which computer can run WINS?"
            << QStringList{"MADRID, a Windows NT Server 4.0 computer", "A laptop"} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice with a role before the name")
            << "Where do you install it?" << QStringList{"On the router GENEVA", "Nowhere"} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice with a possessive role")
            << "What happens?"
            << QStringList{"MADRID's DHCP server leases another address.", "Nothing."} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice with the server's tool")
            << "How do you load the file?"
            << QStringList{"In WINS Manager on MADRID, import the file.", "Copy it."} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice with the name's part")
            << "How do you configure the server?"
            << QStringList{"As a secondary, with MADRID as its master", "As a primary"} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice says what to make of the name")
            << "Old clients cannot resolve names."
            << QStringList{"Install the DHCP Relay Agent on GENEVA.", "Set option 046."} << "x"
            << ""
            << ""
            << "item 1: a choice names GENEVA without saying what it is";
        QTest::newRow("choice with an address")
            << "Which LMHOSTS line?" << QStringList{"205.114.20.40 GENEVA #PRE", "#INCLUDE"} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("choice names a case network")
            << "Laptops are refused an address."
            << QStringList{"Shorten the lease of the Branch LAN scope.", "Add an exclusion."} << "x"
            << ""
            << ""
            << "item 1: a choice names Branch LAN without saying what it is";
        QTest::newRow("tool words are not names")
            << "Which tag preloads an entry?" << QStringList{"PRE", "DOM", "DHCP", "WINS"} << "x"
            << ""
            << ""
            << "";
        QTest::newRow("explanation relies on an unnamed host")
            << "Clients cannot obtain leases." << plain << "MADRID holds the only scope."
            << ""
            << ""
            << "item 1: the explanation relies on MADRID, which the item never names";
        QTest::newRow("explanation relies on an unnamed network")
            << "GENEVA, a workstation, cannot reach 10.2.7.5." << plain
            << "10.2.7.5 is on Head Office LAN 2."
            << ""
            << ""
            << "item 1: the explanation relies on Head Office LAN 2, which the item never names";
        QTest::newRow("explanation cites an exhibit address")
            << "Branch LAN clients obtain leases through the relay agent on GENEVA, a router."
            << plain << "The scope for 205.114.20.32 is inactive."
            << ""
            << ""
            << "item 1: the explanation cites 205.114.20.32 from net.svg, which the item neither "
               "shows nor states";
        QTest::newRow("explanation derives the address")
            << "GENEVA (205.114.20.45, mask 255.255.255.224) is on the Branch LAN." << plain
            << "Its subnet is 205.114.20.32 and its broadcast 205.114.20.63."
            << ""
            << ""
            << "";
        QTest::newRow("explanation repeats a stated address")
            << "GENEVA, a router, relays to the scope for 205.114.20.32." << plain
            << "The scope for 205.114.20.32 is inactive."
            << ""
            << ""
            << "";
        QTest::newRow("explanation address from the shown exhibit")
            << "Clients obtain leases through the relay agent on GENEVA." << plain
            << "The scope for 205.114.20.32 is inactive."
            << "net.svg"
            << ""
            << "";
        QTest::newRow("address of no case study")
            << "GENEVA, a router, forwards requests." << plain
            << "It sends them to 10.7.7.7 and uses 0.0.0.0 as its default route."
            << ""
            << ""
            << "";
    }
    void standAloneProblems()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, choices);
        QFETCH(QString, explanation);
        QFETCH(QString, pict1);
        QFETCH(QString, pict2);
        QFETCH(QString, problem);
        const QStringList problems = bankcheck::standAloneProblems(
            makeItem(1, text, choices, "a", explanation, pict1, pict2), m_exhibits);
        if (problem.isEmpty())
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        else
            QCOMPARE(problems, QStringList{problem});
    }

    void factProblems()
    {
        auto tagged = [](int id, int exam, const QString& fact) {
            bank::SourceItem it = makeItem(id, QStringLiteral("Q%1?").arg(id), {"x", "y"},
                                           QStringLiteral("a"), QStringLiteral("Because."));
            it.exam = exam;
            it.fact = fact;
            return it;
        };
        // Once per exam and twice in the bank is allowed, the retired set
        // counting as an exam of its own.
        QVERIFY(
            bankcheck::factProblems({tagged(1, 1, "dhcp/ports"), tagged(2, 2, "dhcp/ports"),
                                     tagged(3, 1, "wins/renewal"), tagged(4, 0, "wins/renewal")})
                .isEmpty());
        QCOMPARE(bankcheck::factProblems(
                     {tagged(1, 1, "dhcp/ports"), tagged(2, 3, "x/y"), tagged(3, 1, "dhcp/ports")}),
                 QStringList{"dhcp/ports is tested twice in one exam: items 1 and 3"});
        QCOMPARE(bankcheck::factProblems({tagged(1, 1, "dhcp/ports"), tagged(2, 2, "dhcp/ports"),
                                          tagged(3, 0, "dhcp/ports")}),
                 QStringList{"dhcp/ports is tested 3 times: items 1, 2, 3"});
        QCOMPARE(bankcheck::factProblems({tagged(7, 1, QString())}),
                 QStringList{"item 7 names no fact"});
        bank::SourceItem sim1 = tagged(8, 1, "sim/subnet-mask-exercise");
        sim1.sim = QStringLiteral("SIM2");
        bank::SourceItem sim2 = sim1, sim3 = sim1;
        sim2.id = 9;
        sim3.id = 10;
        sim3.exam = 2;
        QVERIFY(bankcheck::factProblems({sim1, sim2, sim3}).isEmpty());
    }

    void keyLengthRanks()
    {
        const QString expl = QStringLiteral("Because.");
        // The key is the longest of four different lengths in both items: by
        // chance each rank would hold a quarter of them.
        QVector<bank::SourceItem> items = {
            makeItem(1, "Q1?", {"aaaa", "bbb", "cc", "d"}, "a", expl),
            makeItem(2, "Q2?", {"a", "bb", "cccc", "ddd"}, "c", expl),
        };
        std::array<bankcheck::Figure, 6> ranks = bankcheck::keyLengthRanks(items);
        QCOMPARE(ranks[0].observed, 2);
        QCOMPARE(ranks[0].expected, 0.5);
        QCOMPARE(ranks[0].sd, std::sqrt(2 * 0.25 * 0.75));
        QCOMPARE(ranks[3].observed, 0);
        QCOMPARE(ranks[3].expected, 0.5);
        QCOMPARE(ranks[4].expected, 0.0);
        QVERIFY(ranks[0].z() > 2);

        // Two choices as long as each other share the better rank, and
        // chance gives that rank to either of them; multiple-response items
        // and simulations are left out.
        items = {makeItem(3, "Q3?", {"aa", "bb", "c", "dddd"}, "b", expl),
                 makeItem(4, "Q4? Choose two.", {"aaaa", "bb", "c", "d"}, "ab", expl)};
        bank::SourceItem sim = makeItem(5, "Place.", {}, "f", expl);
        sim.sim = QStringLiteral("SIM2");
        items << sim;
        ranks = bankcheck::keyLengthRanks(items);
        QCOMPARE(ranks[1].observed, 1);
        QCOMPARE(ranks[1].expected, 0.5);
        QCOMPARE(ranks[2].expected, 0.0);
        QCOMPARE(ranks[3].expected, 0.25);
        QCOMPARE(ranks[0].observed + ranks[2].observed + ranks[3].observed, 0);
    }

    void keyLetters()
    {
        const QString expl = QStringLiteral("Because.");
        const QVector<bank::SourceItem> items = {
            makeItem(1, "Q1? Choose two.", {"p", "q", "r", "s"}, "ab", expl),
            makeItem(2, "Q2? Choose two.", {"p", "q", "r", "s", "t"}, "be", expl),
            makeItem(3, "Q3?", {"p", "q", "r", "s"}, "b", expl),
        };
        const std::array<bankcheck::Figure, 6> letters = bankcheck::keyLetters(items);
        QCOMPARE(letters[1].observed, 2);
        QCOMPARE(letters[1].expected, 2.0 / 4 + 2.0 / 5);
        QCOMPARE(letters[4].observed, 1);
        QCOMPARE(letters[4].expected, 2.0 / 5);
        QCOMPARE(letters[5].expected, 0.0);
        QCOMPARE(letters[2].observed, 0);
    }

    void longestChoicesScore()
    {
        const QString expl = QStringLiteral("Because.");
        // Item 1: the two keys are the two longest, 1 chance in 6 of four
        // choices. Item 2: the key is not the longest, 1 in 5. Item 3: the
        // second and third longest are as long, so "the two longest" is no
        // one set and chance counts nothing.
        const QVector<bank::SourceItem> items = {
            makeItem(1, "Q1? Choose two.", {"pppp", "q", "rrr", "ss"}, "ac", expl),
            makeItem(2, "Q2? Choose one.", {"ppppp", "q", "rr", "s", "t"}, "c", expl),
            makeItem(3, "Q3? Choose two.", {"pppp", "qq", "rr", "s"}, "ab", expl),
        };
        bank::SourceItem single = items[1];
        single.multiple = true;
        const bankcheck::Figure f = bankcheck::longestChoicesScore({items[0], single, items[2]});
        QCOMPARE(f.observed, 1);
        QCOMPARE(f.expected, 1.0 / 6 + 1.0 / 5);
        QCOMPARE(f.sd, std::sqrt(1.0 / 6 * 5.0 / 6 + 1.0 / 5 * 4.0 / 5));
        QCOMPARE(bankcheck::longestChoicesScore({items[1]}).expected, 0.0);
    }
};

QTEST_GUILESS_MAIN(TestBankChecks)
#include "test_bank_checks.moc"
