#include "BankChecks.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <vector>

namespace bankcheck {

namespace {

constexpr auto kUnicode = QRegularExpression::UseUnicodePropertiesOption;
constexpr auto kNoCase = QRegularExpression::CaseInsensitiveOption;

QStringList choicesOf(const bank::SourceItem& item)
{
    QStringList list;
    for (const QString& c : item.choices)
        if (!c.isEmpty())
            list << c;
    return list;
}

// A word list as numbers, with what the matcher looks up prepared once, so
// that comparing every pair of items stays quick.
struct Sequence {
    std::vector<int> words;
    std::vector<int> sorted;
    std::unordered_map<int, std::vector<int>> positions;

    explicit Sequence(std::vector<int> w) : words(std::move(w)), sorted(words)
    {
        std::sort(sorted.begin(), sorted.end());
        for (int j = 0; j < static_cast<int>(words.size()); ++j)
            positions[words[static_cast<size_t>(j)]].push_back(j);
    }
};

class WordIds {
public:
    std::vector<int> ids(const QStringList& words)
    {
        std::vector<int> out;
        out.reserve(static_cast<size_t>(words.size()));
        for (const QString& w : words) {
            auto it = m_ids.find(w);
            if (it == m_ids.end())
                it = m_ids.insert(w, static_cast<int>(m_ids.size()));
            out.push_back(it.value());
        }
        return out;
    }

private:
    QHash<QString, int> m_ids;
};

// An upper bound of the ratio from the words alone, whatever their order.
double quickRatio(const Sequence& a, const Sequence& b)
{
    const size_t total = a.words.size() + b.words.size();
    if (total == 0)
        return 1.0;
    size_t common = 0;
    for (size_t i = 0, j = 0; i < a.sorted.size() && j < b.sorted.size();) {
        if (a.sorted[i] < b.sorted[j]) {
            ++i;
        } else if (b.sorted[j] < a.sorted[i]) {
            ++j;
        } else {
            ++common;
            ++i;
            ++j;
        }
    }
    return 2.0 * double(common) / double(total);
}

double ratio(const Sequence& a, const Sequence& b)
{
    const int la = static_cast<int>(a.words.size());
    const int lb = static_cast<int>(b.words.size());
    if (la + lb == 0)
        return 1.0;
    // Run lengths of the previous and the current word of a, by position in
    // b; only the touched entries are cleared again.
    std::vector<int> previous(static_cast<size_t>(lb), 0), current(static_cast<size_t>(lb), 0);
    std::vector<int> previousTouched, currentTouched;
    struct Range {
        int alo, ahi, blo, bhi;
    };
    std::vector<Range> pending{{0, la, 0, lb}};
    int matched = 0;
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        // The longest block, the first one met in the order of a and then b
        // when several are as long: which block is taken first decides what
        // the sides can still match, so this follows difflib exactly.
        int besti = r.alo, bestj = r.blo, bestSize = 0;
        for (int i = r.alo; i < r.ahi; ++i) {
            currentTouched.clear();
            const auto found = b.positions.find(a.words[static_cast<size_t>(i)]);
            if (found != b.positions.end()) {
                for (const int j : found->second) {
                    if (j < r.blo)
                        continue;
                    if (j >= r.bhi)
                        break;
                    const int k = (j > 0 ? previous[static_cast<size_t>(j - 1)] : 0) + 1;
                    current[static_cast<size_t>(j)] = k;
                    currentTouched.push_back(j);
                    if (k > bestSize) {
                        besti = i - k + 1;
                        bestj = j - k + 1;
                        bestSize = k;
                    }
                }
            }
            for (const int j : previousTouched)
                previous[static_cast<size_t>(j)] = 0;
            std::swap(previous, current);
            std::swap(previousTouched, currentTouched);
        }
        for (const int j : previousTouched)
            previous[static_cast<size_t>(j)] = 0;
        previousTouched.clear();
        if (bestSize == 0)
            continue;
        matched += bestSize;
        if (r.alo < besti && r.blo < bestj)
            pending.push_back({r.alo, besti, r.blo, bestj});
        if (besti + bestSize < r.ahi && bestj + bestSize < r.bhi)
            pending.push_back({besti + bestSize, r.ahi, bestj + bestSize, r.bhi});
    }
    return 2.0 * matched / double(la + lb);
}

} // namespace

QStringList maskedWords(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(\b\d+(\.\d+)*\b)"), kUnicode);
    static const QRegularExpression allCaps(QStringLiteral(R"(\b[A-Z][A-Z0-9_-]{2,}\b)"), kUnicode);
    static const QRegularExpression capitalised(QStringLiteral(R"(\b[A-Z][a-z]+\b)"), kUnicode);
    static const QRegularExpression space(QStringLiteral(R"(\s+)"), kUnicode);
    QString s = text;
    s.replace(number, QStringLiteral("#"));
    s.replace(allCaps, QStringLiteral("NAME"));
    s.replace(capitalised, QStringLiteral("Cap"));
    return s.toLower().split(space, Qt::SkipEmptyParts);
}

double matchRatio(const QStringList& a, const QStringList& b)
{
    WordIds ids;
    const Sequence sa(ids.ids(a));
    const Sequence sb(ids.ids(b));
    return ratio(sa, sb);
}

QVector<SimilarPair> retoldScenarios(const QVector<bank::SourceItem>& items, double limit)
{
    WordIds ids;
    std::vector<const bank::SourceItem*> told;
    std::vector<Sequence> words;
    for (const bank::SourceItem& it : items) {
        if (!it.sim.isEmpty())
            continue;
        told.push_back(&it);
        words.emplace_back(ids.ids(
            maskedWords(it.text + QLatin1Char(' ') + choicesOf(it).join(QLatin1Char(' ')))));
    }
    QVector<SimilarPair> pairs;
    for (size_t i = 0; i < told.size(); ++i) {
        for (size_t j = i + 1; j < told.size(); ++j) {
            if (told[i]->exam == told[j]->exam || quickRatio(words[i], words[j]) <= limit)
                continue;
            const double r = ratio(words[i], words[j]);
            if (r > limit)
                pairs.push_back({told[i]->id, told[j]->id, r});
        }
    }
    return pairs;
}

bool keyIsStrictlyLongest(const bank::SourceItem& item)
{
    int key = -1;
    for (int i = 0; i < 6; ++i)
        if (item.key[static_cast<size_t>(i)])
            key = i;
    if (key < 0)
        return false;
    const qsizetype length = item.choices[static_cast<size_t>(key)].size();
    for (int i = 0; i < 6; ++i)
        if (i != key && item.choices[static_cast<size_t>(i)].size() >= length)
            return false;
    return true;
}

// --- Facts and what the choice lengths give away ------------------------------

QStringList factProblems(const QVector<bank::SourceItem>& items)
{
    QStringList problems;
    QHash<QString, QVector<const bank::SourceItem*>> byFact;
    for (const bank::SourceItem& it : items) {
        if (it.fact.isEmpty())
            problems << QStringLiteral("item %1 names no fact").arg(it.id);
        // Each exam has one of each of the program's two exercises by design.
        else if (it.sim.isEmpty())
            byFact[it.fact] << &it;
    }
    QStringList facts = byFact.keys();
    facts.sort();
    for (const QString& fact : facts) {
        const QVector<const bank::SourceItem*>& list = byFact.value(fact);
        QStringList ids;
        for (const bank::SourceItem* it : list)
            ids << QString::number(it->id);
        if (list.size() > 2)
            problems << QStringLiteral("%1 is tested %2 times: items %3")
                            .arg(fact)
                            .arg(list.size())
                            .arg(ids.join(QStringLiteral(", ")));
        for (qsizetype i = 0; i < list.size(); ++i)
            for (qsizetype j = i + 1; j < list.size(); ++j)
                if (list[i]->exam == list[j]->exam)
                    problems << QStringLiteral("%1 is tested twice in one exam: items %2 and %3")
                                    .arg(fact)
                                    .arg(list[i]->id)
                                    .arg(list[j]->id);
    }
    return problems;
}

double Figure::z() const
{
    return sd > 0 ? (observed - expected) / sd : 0.0;
}

namespace {

std::vector<qsizetype> choiceLengths(const bank::SourceItem& item)
{
    std::vector<qsizetype> lengths;
    for (const QString& c : choicesOf(item))
        lengths.push_back(c.size());
    return lengths;
}

// A count of independent events, each with its own chance p, has the mean
// sum p and the variance sum p(1 - p).
void addChance(Figure& f, double p)
{
    f.expected += p;
    f.sd = std::sqrt(f.sd * f.sd + p * (1 - p));
}

} // namespace

std::array<Figure, 6> keyLengthRanks(const QVector<bank::SourceItem>& items)
{
    std::array<Figure, 6> ranks;
    for (const bank::SourceItem& it : items) {
        if (!it.sim.isEmpty() || it.multiple)
            continue;
        const std::vector<qsizetype> lengths = choiceLengths(it);
        const int n = static_cast<int>(lengths.size());
        if (n == 0)
            continue;
        std::array<int, 6> ofRank{};
        int keyRank = -1;
        for (int i = 0; i < n; ++i) {
            const int longer =
                static_cast<int>(std::count_if(lengths.begin(), lengths.end(), [&](qsizetype l) {
                    return l > lengths[size_t(i)];
                }));
            ++ofRank[static_cast<size_t>(longer)];
            if (it.key[static_cast<size_t>(i)])
                keyRank = longer;
        }
        if (keyRank < 0)
            continue;
        ++ranks[static_cast<size_t>(keyRank)].observed;
        for (size_t r = 0; r < 6; ++r)
            if (ofRank[r] > 0)
                addChance(ranks[r], double(ofRank[r]) / n);
    }
    return ranks;
}

std::array<Figure, 6> keyLetters(const QVector<bank::SourceItem>& items)
{
    std::array<Figure, 6> letters;
    for (const bank::SourceItem& it : items) {
        if (!it.sim.isEmpty() || !it.multiple)
            continue;
        const int n = static_cast<int>(choicesOf(it).size());
        const int keys = static_cast<int>(std::count(it.key.begin(), it.key.end(), true));
        if (n == 0)
            continue;
        for (size_t i = 0; i < size_t(n) && i < 6; ++i) {
            letters[i].observed += it.key[i];
            addChance(letters[i], double(keys) / n);
        }
    }
    return letters;
}

Figure longestChoicesScore(const QVector<bank::SourceItem>& items)
{
    Figure score;
    for (const bank::SourceItem& it : items) {
        if (!it.sim.isEmpty() || !it.multiple)
            continue;
        const std::vector<qsizetype> lengths = choiceLengths(it);
        const size_t n = lengths.size();
        const size_t keys = size_t(std::count(it.key.begin(), it.key.end(), true));
        if (keys == 0 || keys >= n)
            continue;
        std::vector<qsizetype> sorted = lengths;
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        // Where the n-th and the next choice are as long, "the n longest" is
        // no single set, and the guess earns nothing certain.
        if (sorted[keys - 1] == sorted[keys])
            continue;
        bool full = true;
        for (size_t i = 0; i < n; ++i)
            full = full && (it.key[i] == (lengths[i] > sorted[keys]));
        score.observed += full;
        double ways = 1;
        for (size_t k = 1; k <= keys; ++k)
            ways = ways * double(n - keys + k) / double(k);
        addChance(score, 1.0 / ways);
    }
    return score;
}

// --- Letters named in explanations -----------------------------------------

namespace {

// "a" is also the article ("the server answers a query"), so a lone "a" counts
// as a letter only before a full stop or similar, or before a word that can
// follow a letter but not an article.
bool followsLetterA(const QString& s, qsizetype from)
{
    static const QRegularExpression next(
        QStringLiteral(R"(\G\s*(?:$|[,.;:!?)]|(?:is|are|was|were|would|will|and|or|also|alone|)"
                       R"(only|too|does|do|did|can|could|has|had|because|since|but)\b))"),
        kNoCase);
    return next.match(s, from).hasMatch();
}

// A choice letter at pos: a to f standing alone, not the start of "e-mail",
// "e.g.", "d's" or "C:\"; optionally in parentheses. Returns the position after it,
// or -1.
qsizetype letterAt(const QString& s, qsizetype pos, QChar* letter)
{
    qsizetype p = pos;
    const bool open = p < s.size() && s.at(p) == QLatin1Char('(');
    if (open)
        ++p;
    if (p >= s.size())
        return -1;
    const QChar c = s.at(p).toLower();
    if (c < QLatin1Char('a') || c > QLatin1Char('f'))
        return -1;
    ++p;
    if (p < s.size()) {
        const QChar n = s.at(p);
        if (n.isLetterOrNumber() || n == QLatin1Char('_'))
            return -1;
        const bool joiner = n == QLatin1Char('-') || n == QLatin1Char('\'') || n == QChar(0x2019) ||
                            n == QLatin1Char('.');
        if (joiner && p + 1 < s.size() && s.at(p + 1).isLetterOrNumber())
            return -1;
        // A drive, not a letter: "C:\winnt".
        if (n == QLatin1Char(':') && p + 1 < s.size() &&
            (s.at(p + 1) == QLatin1Char('\\') || s.at(p + 1) == QLatin1Char('/')))
            return -1;
    }
    if (open) {
        if (p >= s.size() || s.at(p) != QLatin1Char(')'))
            return -1;
        ++p;
    }
    *letter = c;
    return p;
}

Verdict verdictOf(const QString& match)
{
    static const QRegularExpression negative(QStringLiteral(R"(wrong|incorrect|not\b)"), kNoCase);
    return negative.match(match).hasMatch() ? Verdict::NotKey : Verdict::Key;
}

} // namespace

QVector<LetterMention> lettersNamed(const QString& s)
{
    // "choice c", "answers b and d", and "the answer is c" (the copula kept so
    // that the verdict can be read from the words before it).
    static const QRegularExpression keyword(
        QStringLiteral(R"(\b(choices?|answers?|options?|keys?)(\s+(?:is|are))?\s+)"), kNoCase);
    static const QRegularExpression separator(QStringLiteral(R"(\G\s*(?:,\s*)?(?:(?:and|or)\s+)?)"),
                                              kNoCase);
    // Words before a mention that make whatever follows hypothetical or
    // negated ("neither choice a nor choice b is correct"): no verdict then.
    static const QRegularExpression hedge(
        QStringLiteral(R"(\b(?:neither|nor|not|no|none|never|if|unless|whether)\b)"), kNoCase);
    // The verdict named before the mention: "the correct answer is choice b",
    // "the answer is option d".
    static const QRegularExpression verdictBefore(
        QStringLiteral(R"((?:(?:correct|right|wrong|incorrect)\s+(?:answer|choice|option|key)s?)"
                       R"(\s+(?:is|are)|\bthe\s+(?:answer|key)s?\s+(?:is|are))\s*$)"),
        kNoCase);
    // With the copula in the mention: "the correct choices are b and d", "the
    // answer is c"; an answer or key with no adjective is the key, "the
    // choices are b and d" says nothing.
    static const QRegularExpression adjectiveBefore(
        QStringLiteral(R"(\b(?:correct|right|wrong|incorrect)\s*$)"), kNoCase);
    static const QRegularExpression plainBefore(QStringLiteral(R"((?:^|[.;:]|\bthe)\s*$)"),
                                                kNoCase);
    // The verdict stated right after the mention: "choice c is wrong",
    // "choices b and d are both correct", "choice e (the relay) is not the
    // answer". A verdict qualified by what follows ("is correct only for
    // class C") is no verdict.
    static const QRegularExpression verdictAfter(
        QStringLiteral(
            R"(\G\s*(?:\([^()]*\)\s*|,[^,.;:]*,\s*)?(?:is|are|was|were)\s+)"
            R"((?:(?:also|therefore|thus|both|all|then|clearly|simply)\s+)?)"
            R"((not\s+(?:the\s+)?(?:(?:correct|right)\s+)?(?:answer|key|choice|option|one)s?|)"
            R"(not\s+(?:correct|right|keyed)|wrong|incorrect|)"
            R"((?:a|the)\s+(?:wrong|incorrect)\s+(?:answer|choice|option|one)s?|)"
            R"(the\s+(?:(?:correct|right|only)\s+)?(?:answer|key)s?|)"
            R"(the\s+(?:correct|right)\s+(?:choice|option|one)s?|correct|right|keyed))"
            R"((?=\s*(?:$|[,.;:!?)]|(?:because|since|and|so|but)\b)))"),
        kNoCase);
    static const QRegularExpression clauseEnd(QStringLiteral(R"([.;:!?](?:\s|$))"));

    QVector<LetterMention> mentions;
    qsizetype previousEnd = 0;
    qsizetype from = 0;
    for (;;) {
        const QRegularExpressionMatch k = keyword.match(s, from);
        if (!k.hasMatch())
            break;
        from = k.capturedEnd();
        LetterMention m;
        QChar c;
        qsizetype p = letterAt(s, k.capturedEnd(), &c);
        if (p < 0)
            continue;
        m.letters += c;
        qsizetype end = p;
        for (;;) {
            const QRegularExpressionMatch sep = separator.match(s, end);
            if (sep.capturedLength() == 0)
                break;
            const qsizetype q = letterAt(s, sep.capturedEnd(), &c);
            if (q < 0 || (c == QLatin1Char('a') && !followsLetterA(s, q)))
                break;
            m.letters += c;
            end = q;
        }
        if (m.letters == QLatin1String("a") && !followsLetterA(s, end))
            continue;

        // The clause the mention stands in, from its start or the previous
        // mention, whichever is later.
        qsizetype clauseStart = 0;
        for (QRegularExpressionMatchIterator it = clauseEnd.globalMatch(s.left(k.capturedStart()));
             it.hasNext();)
            clauseStart = it.next().capturedEnd();
        const QString before = s.mid(std::max(clauseStart, previousEnd),
                                     k.capturedStart() - std::max(clauseStart, previousEnd));
        if (!hedge.match(before).hasMatch()) {
            const QString word = k.captured(1).toLower();
            const bool copula = !k.captured(2).isEmpty();
            const QRegularExpressionMatch b = verdictBefore.match(before);
            if (b.hasMatch()) {
                m.verdict = verdictOf(b.captured(0));
            } else if (copula) {
                const QRegularExpressionMatch adjective = adjectiveBefore.match(before);
                if (adjective.hasMatch())
                    m.verdict = verdictOf(adjective.captured(0));
                else if ((word.startsWith(QLatin1String("answer")) ||
                          word.startsWith(QLatin1String("key"))) &&
                         plainBefore.match(before).hasMatch())
                    m.verdict = Verdict::Key;
            } else {
                const QRegularExpressionMatch a = verdictAfter.match(s, end);
                if (a.hasMatch())
                    m.verdict = verdictOf(a.captured(1));
            }
        }
        mentions.push_back(m);
        previousEnd = end;
        from = end;
    }
    return mentions;
}

QStringList letterProblems(const bank::SourceItem& item)
{
    QStringList problems;
    const qsizetype count = choicesOf(item).size();
    QString key;
    for (int i = 0; i < 6; ++i)
        if (item.key[static_cast<size_t>(i)])
            key += QChar(u'a' + i);
    for (const LetterMention& m : lettersNamed(item.explanation)) {
        for (const QChar c : m.letters) {
            const qsizetype index = c.unicode() - u'a';
            if (index >= count)
                problems << QStringLiteral("item %1: the explanation names choice %2, but the "
                                           "item has %3 choices")
                                .arg(item.id)
                                .arg(c)
                                .arg(count);
            else if (m.verdict == Verdict::Key && !key.contains(c))
                problems << QStringLiteral("item %1: the explanation calls choice %2 correct, "
                                           "but the key is %3")
                                .arg(item.id)
                                .arg(c)
                                .arg(key);
            else if (m.verdict == Verdict::NotKey && key.contains(c))
                problems << QStringLiteral("item %1: the explanation calls choice %2 wrong, but "
                                           "the key is %3")
                                .arg(item.id)
                                .arg(c)
                                .arg(key);
        }
    }
    return problems;
}

// --- Case studies ----------------------------------------------------------

namespace {

const QRegularExpression& addressPattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"((?<![\d.])\d{1,3}(?:\.\d{1,3}){3}(?!\.?\d))"));
    return re;
}

QStringList addressesIn(const QString& s)
{
    QStringList out;
    for (QRegularExpressionMatchIterator it = addressPattern().globalMatch(s); it.hasNext();)
        out << it.next().captured(0);
    return out;
}

quint32 addressValue(const QString& a)
{
    quint32 v = 0;
    for (const QString& part : a.split(QLatin1Char('.')))
        v = (v << 8) | (part.toUInt() & 0xff);
    return v;
}

bool isMask(const QString& a)
{
    const quint32 v = addressValue(a);
    const quint32 inverted = ~v;
    return v != 0 && (inverted & (inverted + 1)) == 0;
}

// Addresses that belong to no case study: the default route, loopback,
// limited broadcast.
bool isWellKnown(const QString& a)
{
    return a == QLatin1String("0.0.0.0") || a.startsWith(QLatin1String("127.")) ||
           a == QLatin1String("255.255.255.255");
}

// Words in the exhibits' text that are protocols, tools, file names or
// output fields rather than names of hosts, domains or networks.
const QSet<QString>& technicalWords()
{
    static const QSet<QString> words = {
        "ALTERNATE", "ARP",      "BDC",  "BEGIN", "BIND",  "BOOTP",       "DHCP",      "DNS",
        "DOM",       "END",      "FTP",  "GROUP", "HOSTS", "HTTP",        "ICMP",      "INCLUDE",
        "LAN",       "LMHOSTS",  "LPD",  "LPR",   "MAC",   "MIB",         "NBNS",      "NBT",
        "NETBIOS",   "NETLOGON", "PCI",  "PDC",   "PPP",   "PPTP",        "PRE",       "RAS",
        "RIP",       "SLIP",     "SMTP", "SNMP",  "SOA",   "TCP",         "TFTP",      "UDP",
        "UNIQUE",    "UNIX",     "WAN",  "WINNT", "WINS",  "ESTABLISHED", "LISTENING",
    };
    return words;
}

const QRegularExpression& hostNamePattern()
{
    static const QRegularExpression re(QStringLiteral(R"(\b[A-Z]{3,}\b)"));
    return re;
}

const QRegularExpression& networkNamePattern()
{
    static const QRegularExpression re(QStringLiteral(
        R"(\b[A-Z][a-z]+(?:\s+[A-Z][a-z]+)*(?:\s+plant)?\s+(?:segment|LAN(?:\s+\d{1,2}(?![\d.]))?)\b)"));
    return re;
}

QString svgText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QXmlStreamReader xml(&f);
    QStringList lines;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            lines << xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return lines.join(QLatin1Char('\n'));
}

bool containsWord(const QString& text, const QString& word, Qt::CaseSensitivity cs)
{
    const QRegularExpression re(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(word)),
                                cs == Qt::CaseInsensitive ? kNoCase
                                                          : QRegularExpression::NoPatternOption);
    return re.match(text).hasMatch();
}

// The case names that text uses and that none of the shown exhibits shows.
QStringList caseNamesIn(const QString& text, const Exhibits& exhibits, const QString& shown)
{
    QStringList names;
    const auto add = [&](const QString& name) {
        if (!names.contains(name) && !containsWord(shown, name, Qt::CaseSensitive))
            names << name;
    };
    for (QRegularExpressionMatchIterator it = hostNamePattern().globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(0);
        if (exhibits.whereNamed.contains(name))
            add(name);
    }
    // A network name may stand after other capitalised words ("The Branch
    // LAN"), so these are looked up one by one.
    const QString flat = text.simplified();
    for (const QString& name : exhibits.networkNames)
        if (containsWord(flat, name, Qt::CaseSensitive))
            add(name);
    return names;
}

// Whether a choice says what the name is: "MADRID, a Windows NT Server", "the
// router OSLO", "ZIRCON (172.18.2.40)", "MADRID's DHCP server", "10.1.4.20
// MADRID #PRE", "WINS Manager on THAMES", "with PINE as its master". "Install
// the relay agent on OSLO" or "configure GENEVA as a proxy" says what to make
// of it, not what or where it is.
bool introducedIn(const QString& choice, const QString& name)
{
    const QString role = QStringLiteral(
        R"((?i:servers?|workstations?|hosts?|computers?|routers?|clients?|controllers?|)"
        R"(browsers?|domains?|laptops?|agents?|consoles?|machines?|printers?|stations?|PDC|)"
        R"(BDC|master|partners?|segments?|LAN|subnets?|networks?))");
    const QString n = QRegularExpression::escape(name);
    const QString address = QStringLiteral(R"(\d{1,3}(?:\.\d{1,3}){3})");
    const QRegularExpression re(
        QStringLiteral(
            R"(\b%1(?:\s*,\s*(?i:a|an|the|which|whose|one|its)\b|\s*\(|)"
            R"(\s+(?i:is|was)\s+(?i:a|an|the|its)\b|'s\s+(?:\S+\s+){0,2}%2\b|)"
            R"(\s+(?i:as\s+(?:its|their))\b|\s+%3)|\b%2\s+(?:(?i:named|called)\s+)?%1\b|)"
            R"(\b(?i:manager|administrator)\s+on\s+%1\b|%3\s+%1\b)")
            .arg(n, role, address));
    return re.match(choice.simplified()).hasMatch();
}

} // namespace

Exhibits readExhibits(const QString& picturesDir)
{
    Exhibits ex;
    const QDir dir(picturesDir);
    for (const QString& file : dir.entryList({QStringLiteral("*.svg")}, QDir::Files)) {
        const QString text = svgText(dir.filePath(file));
        ex.text.insert(file, text);
        for (const QString& a : addressesIn(text))
            ex.addresses[file].insert(a);
        const QString flat = text.simplified();
        for (QRegularExpressionMatchIterator it = hostNamePattern().globalMatch(text);
             it.hasNext();) {
            const QString name = it.next().captured(0);
            if (!technicalWords().contains(name))
                ex.whereNamed[name].insert(file);
        }
        for (QRegularExpressionMatchIterator it = networkNamePattern().globalMatch(flat);
             it.hasNext();) {
            const QString name = it.next().captured(0);
            ex.whereNamed[name].insert(file);
            if (!ex.networkNames.contains(name))
                ex.networkNames << name;
        }
    }
    return ex;
}

QStringList standAloneProblems(const bank::SourceItem& item, const Exhibits& exhibits)
{
    QStringList problems;
    if (!item.sim.isEmpty())
        return problems;
    const auto problem = [&](const QString& what) {
        problems << QStringLiteral("item %1: %2").arg(item.id).arg(what);
    };
    const QStringList choices = choicesOf(item);
    const QString asked = item.text + QLatin1Char('\n') + choices.join(QLatin1Char('\n'));
    const QString all = asked + QLatin1Char('\n') + item.explanation;
    QString shown;
    for (const QString& p : {item.pict1, item.pict2})
        if (!p.isEmpty())
            shown += exhibits.text.value(p) + QLatin1Char('\n');

    // An item shown without its neighbours has nothing to point at.
    static const QRegularExpression pointing(
        QStringLiteral(R"(\bexhibits?\b|\b(?:the|this|following)\s+(?:network\s+)?)"
                       R"((?:diagram|figure|drawing|picture)\b|\bshown\s+(?:below|above)\b)"),
        kNoCase);
    static const QRegularExpression second(
        QStringLiteral(R"(\bexhibits?\s+(?:1\s+and\s+)?2\b|\bexhibit\s+two\b)"), kNoCase);
    if (item.pict1.isEmpty() && item.pict2.isEmpty()) {
        const QRegularExpressionMatch m = pointing.match(all);
        if (m.hasMatch())
            problem(QStringLiteral("has no exhibit but says \"%1\"").arg(m.captured(0)));
    } else if (item.pict2.isEmpty() && second.match(all).hasMatch()) {
        problem(QStringLiteral("refers to a second exhibit but has none"));
    }

    // The explanation may only build on case names the item itself uses.
    const QStringList explained = caseNamesIn(item.explanation, exhibits, shown);
    for (const QString& name : explained)
        if (!containsWord(asked, name, Qt::CaseInsensitive))
            problem(QStringLiteral("the explanation relies on %1, which the item never names")
                        .arg(name));

    // A name that turns up in a choice but not in the question has to be
    // introduced by that choice, or the candidate cannot weigh it.
    for (const QString& choice : choices)
        for (const QString& name : caseNamesIn(choice, exhibits, shown))
            if (!containsWord(item.text, name, Qt::CaseInsensitive) && !introducedIn(choice, name))
                problem(QStringLiteral("a choice names %1 without saying what it is").arg(name));

    // An address the explanation cites from the case study's exhibit must be
    // in the item, or follow from an address and a mask the item gives.
    QSet<QString> casePictures;
    for (const QString& name : caseNamesIn(all, exhibits, shown))
        casePictures.unite(exhibits.whereNamed.value(name));
    if (casePictures.isEmpty())
        return problems;
    const QStringList given = addressesIn(asked);
    QVector<quint32> masks;
    for (const QString& a : addressesIn(all))
        if (isMask(a))
            masks << addressValue(a);
    for (const QString& a : addressesIn(item.explanation)) {
        if (isMask(a) || isWellKnown(a) || given.contains(a))
            continue;
        const quint32 v = addressValue(a);
        bool derived = false;
        for (const QString& g : given)
            for (const quint32 m : masks)
                derived = derived || v == (addressValue(g) & m) || v == (addressValue(g) | ~m);
        if (derived)
            continue;
        QStringList sources;
        for (const QString& p : casePictures)
            if (exhibits.addresses.value(p).contains(a))
                sources << p;
        if (!sources.isEmpty()) {
            sources.sort();
            problem(QStringLiteral("the explanation cites %1 from %2, which the item neither "
                                   "shows nor states")
                        .arg(a, sources.join(QStringLiteral(", "))));
        }
    }
    return problems;
}

} // namespace bankcheck
