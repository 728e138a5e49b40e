#include "History.h"

#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TableFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace store {

using platform::ColumnDef;
using platform::ColumnType;

namespace {

const QDate kDayZero(1899, 12, 30);
const char* const kWhenFormat = "yyyy-MM-dd hh:mm:ss";

QString rightField(int s)
{
    return QStringLiteral("H_RIGHT%1").arg(s);
}

QString totalField(int s)
{
    return QStringLiteral("H_TOTAL%1").arg(s);
}

[[noreturn]] void refuse(const QString& path, qint64 key, const QString& what)
{
    throw platform::TableError(platform::TableError::Corrupt,
                               QStringLiteral("The history file \"%1\" is damaged: the record "
                                              "with Q_ID %2 %3.")
                                   .arg(QFileInfo(path).fileName())
                                   .arg(key)
                                   .arg(what));
}

// Reads the current record, refusing one that no graded exam could have left.
Attempt readAttempt(const Table& t, const QString& path)
{
    Attempt a;
    a.key = t.asInteger(QStringLiteral("Q_ID"));
    a.when = parseWhen(t.asString(QStringLiteral("H_DATE")));
    if (a.when < 0)
        refuse(path, a.key, QStringLiteral("has no readable date"));
    a.title = t.asString(QStringLiteral("H_TITLE"));
    a.candidate = t.asString(QStringLiteral("H_NAME"));
    a.itemCount = static_cast<int>(t.asInteger(QStringLiteral("H_ITEMS")));
    a.score = static_cast<int>(t.asInteger(QStringLiteral("H_SCORE")));
    a.pass = t.asBoolean(QStringLiteral("H_PASS"));
    a.secondsUsed = static_cast<int>(t.asInteger(QStringLiteral("H_SECONDS")));
    try {
        a.items = decodeItems(t.asString(QStringLiteral("H_RESULTS")));
    } catch (const std::invalid_argument& e) {
        refuse(
            path, a.key,
            QStringLiteral("holds an unreadable item list (%1)").arg(QString::fromUtf8(e.what())));
    }
    if (a.itemCount != static_cast<int>(a.items.size()))
        refuse(path, a.key,
               QStringLiteral("counts %1 items but lists %2").arg(a.itemCount).arg(a.items.size()));
    if (a.score < 0 || a.score > 1000)
        refuse(path, a.key, QStringLiteral("holds the score %1").arg(a.score));
    if (a.secondsUsed < 0)
        refuse(path, a.key, QStringLiteral("holds a negative time"));
    int sectionItems = 0;
    for (int s = 1; s <= kSectionCount; ++s) {
        SectionTally& tally = a.sections[static_cast<size_t>(s - 1)];
        tally.correct = static_cast<int>(t.asInteger(rightField(s)));
        tally.total = static_cast<int>(t.asInteger(totalField(s)));
        if (tally.correct < 0 || tally.total < tally.correct)
            refuse(path, a.key,
                   QStringLiteral("holds %1 of %2 for section %3")
                       .arg(tally.correct)
                       .arg(tally.total)
                       .arg(s));
        sectionItems += tally.total;
    }
    if (sectionItems > a.itemCount)
        refuse(path, a.key, QStringLiteral("has more items in its sections than in the exam"));
    return a;
}

bool holdsRecords(const QString& path)
{
    return Table::holdsRecords(path);
}

void createComplete(Session& session, const QString& path)
{
    Table::createComplete(session, path, historySchema(), QStringLiteral("history file"));
}

// The answers file: one record per attempt, keyed by the attempt's Q_ID in
// the history, with the history file's identity, so that a history made anew
// (whose keys start again) takes no answers of the old one.
const std::vector<ColumnDef>& answersSchema()
{
    static const std::vector<ColumnDef> schema{
        {QStringLiteral("Q_ID"), ColumnType::Integer},
        {QStringLiteral("H_ANSWERS"), ColumnType::Memo},
        {QStringLiteral("H_SET"), ColumnType::String},
    };
    return schema;
}

QStringList answersPasswords()
{
    return {QString::fromLatin1(kTablePassword)};
}

// The random salt at the start of a table file, which it keeps for its life
// and a new file does not share.
QString fileIdentity(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.read(16).toHex());
}

bool isDamage(const platform::TableError& e)
{
    return e.code() == platform::TableError::Corrupt ||
           e.code() == platform::TableError::NotADatabase;
}

void removeTableFile(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    for (const char* extra : {"", "-journal", "-wal", "-shm"})
        QFile::remove(full + QLatin1String(extra));
}

// The answers kept for the history at historyPath, by attempt key. What
// cannot be read is left out: the answers add to the history and never keep
// any of it from being shown.
QHash<qint64, QString> readAnswers(const QString& answersPath, const QString& historyPath)
{
    QHash<qint64, QString> answers;
    if (!holdsRecords(answersPath))
        return answers;
    try {
        const QString identity = fileIdentity(historyPath);
        platform::TableFile file(answersPath, answersPasswords(), false,
                                 platform::TableFile::Missing::Fail, answersSchema());
        file.forEachRow([&](platform::RowValues&& row) {
            if (row.value(2).toString() == identity)
                answers.insert(row.value(0).toLongLong(), row.value(1).toString());
        });
    } catch (const platform::TableError&) {
    }
    return answers;
}

std::unique_ptr<platform::TableFile> openAnswers(const QString& answersPath)
{
    const auto open = [&] {
        return std::make_unique<platform::TableFile>(answersPath, answersPasswords(), false,
                                                     platform::TableFile::Missing::Create,
                                                     answersSchema());
    };
    try {
        return open();
    } catch (const platform::TableError& e) {
        // Nothing in a damaged answers file can be read; the history itself
        // is untouched, and the next attempt starts a new one.
        if (!isDamage(e))
            throw;
        removeTableFile(answersPath);
        return open();
    }
}

} // namespace

const TableSchema& historySchema()
{
    static const TableSchema schema = [] {
        TableSchema f;
        f.push_back({QStringLiteral("Q_ID"), ColumnType::Integer});
        f.push_back({QStringLiteral("H_DATE"), ColumnType::String});
        f.push_back({QStringLiteral("H_TITLE"), ColumnType::String});
        f.push_back({QStringLiteral("H_NAME"), ColumnType::String});
        f.push_back({QStringLiteral("H_ITEMS"), ColumnType::Integer});
        f.push_back({QStringLiteral("H_SCORE"), ColumnType::Integer});
        f.push_back({QStringLiteral("H_PASS"), ColumnType::Boolean});
        for (int s = 1; s <= kSectionCount; ++s) {
            f.push_back({rightField(s), ColumnType::Integer});
            f.push_back({totalField(s), ColumnType::Integer});
        }
        f.push_back({QStringLiteral("H_SECONDS"), ColumnType::Integer});
        f.push_back({QStringLiteral("H_RESULTS"), ColumnType::Memo});
        return f;
    }();
    return schema;
}

QString encodeItems(const std::vector<AttemptItem>& items)
{
    QStringList tokens;
    tokens.reserve(static_cast<qsizetype>(items.size()));
    for (const AttemptItem& i : items) {
        QString t;
        if (i.userItem)
            t += QLatin1Char('U');
        t += QString::number(i.id);
        t += i.correct ? QLatin1Char('+') : QLatin1Char('-');
        if (i.marked)
            t += QLatin1Char('m');
        tokens << t;
    }
    return tokens.join(QLatin1Char(' '));
}

std::vector<AttemptItem> decodeItems(const QString& text)
{
    static const QRegularExpression token(QStringLiteral("^(U?)([1-9][0-9]{0,9})([+-])(m?)$"));
    std::vector<AttemptItem> items;
    for (const QString& t : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = token.match(t);
        bool ok = false;
        const qint64 id = m.hasMatch() ? m.captured(2).toLongLong(&ok) : 0;
        if (!ok || id > 2147483647)
            throw std::invalid_argument(("item \"" + t + "\"").toStdString());
        items.push_back({static_cast<int>(id), m.captured(3) == QLatin1String("+"),
                         !m.captured(4).isEmpty(), !m.captured(1).isEmpty()});
    }
    return items;
}

QString choiceLetters(const std::array<bool, 6>& choice)
{
    QString letters;
    for (size_t i = 0; i < choice.size(); ++i)
        if (choice[i])
            letters += QLatin1Char(static_cast<char>('a' + i));
    return letters.isEmpty() ? QStringLiteral("-") : letters;
}

QString encodeAnswers(const std::vector<AttemptItem>& items)
{
    QStringList tokens;
    tokens.reserve(static_cast<qsizetype>(items.size()));
    for (const AttemptItem& i : items)
        tokens << QStringLiteral("%1/%2/%3")
                      .arg(choiceLetters(i.choice))
                      .arg(i.section >= 0 && i.section <= 99 ? i.section : 0)
                      .arg(i.seconds < 0 ? QStringLiteral("?") : QString::number(i.seconds));
    return tokens.join(QLatin1Char(' '));
}

bool decodeAnswers(const QString& text, std::vector<AttemptItem>& items)
{
    static const QRegularExpression token(
        QStringLiteral("^(-|a?b?c?d?e?f?)/([0-9]{1,2})/([0-9]{1,9}|\\?)$"));
    const QStringList tokens = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.size() != static_cast<qsizetype>(items.size()))
        return false;
    std::vector<AttemptItem> read = items;
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        const QRegularExpressionMatch m = token.match(tokens[k]);
        if (!m.hasMatch() || m.captured(1).isEmpty())
            return false;
        AttemptItem& i = read[static_cast<size_t>(k)];
        i.choice = {};
        for (const QChar c : m.captured(1))
            if (c != QLatin1Char('-'))
                i.choice[static_cast<size_t>(c.unicode() - 'a')] = true;
        i.section = m.captured(2).toInt();
        i.seconds = m.captured(3) == QLatin1String("?") ? -1 : m.captured(3).toInt();
    }
    items = std::move(read);
    return true;
}

QString formatWhen(double days)
{
    const qint64 seconds = std::llround(days * 86400.0);
    const qint64 day = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const QDateTime dt(kDayZero.addDays(day),
                       QTime(0, 0).addSecs(static_cast<int>(seconds - day * 86400)));
    return dt.toString(QLatin1String(kWhenFormat));
}

double parseWhen(const QString& text)
{
    const QDateTime dt = QDateTime::fromString(text, QLatin1String(kWhenFormat));
    if (!dt.isValid() || dt.date() < kDayZero)
        return -1;
    return static_cast<double>(kDayZero.daysTo(dt.date())) +
           dt.time().msecsSinceStartOfDay() / 86400000.0;
}

HistoryFile::HistoryFile(Session& session, const QString& path) : m_session(session), m_path(path)
{
}

QString HistoryFile::answersPath() const
{
    const QFileInfo info(m_path);
    const QString name = info.completeBaseName() + QStringLiteral("-answers") +
                         (info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix());
    return m_path.contains(QLatin1Char('/')) ? info.dir().filePath(name) : name;
}

std::vector<Attempt> HistoryFile::readAll(QStringList* unreadable) const
{
    std::vector<Attempt> attempts;
    if (!holdsRecords(m_path))
        return attempts;
    Table t(m_session, m_path, historySchema());
    t.open();
    // One read of the file for all records, not one each.
    t.beginReading();
    for (t.first(); !t.eof(); t.next()) {
        try {
            attempts.push_back(readAttempt(t, m_path));
        } catch (const platform::TableError& e) {
            if (e.code() != platform::TableError::Corrupt)
                throw;
            if (unreadable)
                *unreadable << e.text();
        }
    }
    t.endReading();
    t.close();
    const QHash<qint64, QString> answers = readAnswers(answersPath(), m_path);
    for (Attempt& a : attempts)
        if (const auto it = answers.find(a.key); it != answers.end())
            decodeAnswers(*it, a.items);
    // Keys grow with every record, so key order is the order of grading even
    // when the clock was set back in between.
    return attempts;
}

qint64 HistoryFile::add(const Attempt& a)
{
    // A file that exists is never created anew: a damaged history is
    // reported, not silently replaced. A missing one is made complete beside
    // its place first, so that a kill never leaves a half-made file; an empty
    // file is what such a kill left before, and holds nothing to keep.
    if (!holdsRecords(m_path))
        createComplete(m_session, m_path);
    Table t(m_session, m_path, historySchema());
    t.open();
    t.append();
    t.setValue(QStringLiteral("H_DATE"), formatWhen(a.when));
    t.setValue(QStringLiteral("H_TITLE"), a.title);
    t.setValue(QStringLiteral("H_NAME"), a.candidate);
    t.setValue(QStringLiteral("H_ITEMS"), static_cast<int>(a.items.size()));
    t.setValue(QStringLiteral("H_SCORE"), a.score);
    t.setValue(QStringLiteral("H_PASS"), a.pass);
    for (int s = 1; s <= kSectionCount; ++s) {
        t.setValue(rightField(s), a.sections[static_cast<size_t>(s - 1)].correct);
        t.setValue(totalField(s), a.sections[static_cast<size_t>(s - 1)].total);
    }
    t.setValue(QStringLiteral("H_SECONDS"), a.secondsUsed);
    t.setValue(QStringLiteral("H_RESULTS"), encodeItems(a.items));
    t.post();
    const qint64 key = t.asInteger(QStringLiteral("Q_ID"));
    t.close();
    try {
        auto file = openAnswers(answersPath());
        const QString identity = fileIdentity(m_path);
        file->beginTransaction();
        try {
            // Answers of an earlier history file go with the first new one.
            std::vector<qint64> stale;
            file->forEachRow([&](platform::RowValues&& row) {
                if (row.value(2).toString() != identity)
                    stale.push_back(row.value(0).toLongLong());
            });
            for (const qint64 k : stale)
                file->remove(k);
            file->insert({key, encodeAnswers(a.items), identity});
            file->commit();
        } catch (...) {
            file->rollback();
            throw;
        }
    } catch (const platform::TableError&) {
        // The attempt is recorded; only its answers and times stay unknown.
    }
    return key;
}

void HistoryFile::remove(qint64 key)
{
    Table t(m_session, m_path, historySchema());
    t.open();
    t.setKey();
    t.setValue(QStringLiteral("Q_ID"), key);
    if (t.gotoKey())
        t.remove();
    t.close();
    try {
        if (holdsRecords(answersPath())) {
            platform::TableFile file(answersPath(), answersPasswords(), false,
                                     platform::TableFile::Missing::Fail, answersSchema());
            file.remove(key);
        }
    } catch (const platform::TableError&) {
        // Keys are never given out again: answers left behind show nowhere.
    }
}

void HistoryFile::removeAll()
{
    // The answers have no meaning without their attempts.
    if (QFileInfo::exists(answersPath())) {
        try {
            platform::TableFile::emptyFile(answersPath(), answersPasswords(), answersSchema());
        } catch (const platform::TableError&) {
            removeTableFile(answersPath());
        }
    }
    if (!QFileInfo::exists(m_path))
        return;
    try {
        Table t(m_session, m_path, historySchema());
        t.emptyTable();
    } catch (const platform::TableError& e) {
        if (e.code() != platform::TableError::Corrupt &&
            e.code() != platform::TableError::NotADatabase)
            throw;
        // Nothing in it can be read: the candidate asked for all of it to go.
        const QString path = QFileInfo(m_path).absoluteFilePath();
        for (const char* extra : {"", "-journal", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(extra));
    }
}

void ensureHistoryFile(const QString& path)
{
    if (holdsRecords(path))
        return;
    Session session(QString::fromLatin1(kSessionName));
    session.registerPassword(QString::fromLatin1(kTablePassword));
    createComplete(session, QFileInfo(path).absoluteFilePath());
}

} // namespace store
