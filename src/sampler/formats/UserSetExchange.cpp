#include "UserSetExchange.h"

#include "AikenFormat.h"
#include "MoodleXmlFormat.h"
#include "Schemas.h"
#include "Table.h"
#include "TableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <utility>

namespace formats {

namespace {

const QString kChoice = QStringLiteral("Q%1");
const QString kKey = QStringLiteral("A%1");

// XML 1.0 has no way to write most control characters.
bool xmlCannotCarry(const QuestionRecord& r)
{
    auto bad = [](const QString& s) {
        for (const QChar c : s) {
            if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
                return true;
        }
        return false;
    };
    if (bad(r.text) || bad(r.explanation))
        return true;
    for (const QString& c : r.choices) {
        if (bad(c))
            return true;
    }
    return false;
}

QString nativeName(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

const std::vector<platform::ColumnDef>& namesSchema()
{
    // U_SET names the user set file a name belongs to, so that a user set
    // made anew, whose keys start again, takes no name of the old one.
    static const std::vector<platform::ColumnDef> schema{
        {QStringLiteral("Q_ID"), platform::ColumnType::Integer},
        {QStringLiteral("Q_NAME"), platform::ColumnType::Memo},
        {QStringLiteral("U_SET"), platform::ColumnType::String},
    };
    return schema;
}

QStringList passwords()
{
    return {QString::fromLatin1(store::kTablePassword)};
}

QString userSetPath(const store::Table& table)
{
    return QDir::current().absoluteFilePath(table.fileName());
}

// The user set file's identity: the random salt at its start, which the
// file keeps for its life and a new file does not share.
QString userSetIdentity(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.read(16).toHex());
}

QHash<qint64, QString> readNames(const QString& setPath)
{
    QHash<qint64, QString> names;
    const QString path = namesFilePath(setPath);
    if (!QFileInfo::exists(path))
        return names;
    const QString identity = userSetIdentity(setPath);
    platform::TableFile file(path, passwords(), false, platform::TableFile::Missing::Fail,
                             namesSchema());
    for (const platform::RowValues& row : file.selectAll()) {
        if (row.value(2).toString() == identity)
            names.insert(row.value(0).toLongLong(), row.value(1).toString());
    }
    return names;
}

// Writes the names of the records just posted (an empty one drops a name
// left for the key) and drops those of another user set file.
void writeNames(const QString& setPath, const std::vector<std::pair<qint64, QString>>& names)
{
    const QString identity = userSetIdentity(setPath);
    platform::TableFile file(namesFilePath(setPath), passwords(), false,
                             platform::TableFile::Missing::Create, namesSchema());
    file.beginTransaction();
    try {
        for (const platform::RowValues& row : file.selectAll()) {
            if (row.value(2).toString() != identity)
                file.remove(row.value(0).toLongLong());
        }
        for (const auto& [key, name] : names) {
            const bool present = file.selectRow(key).has_value();
            if (name.isEmpty()) {
                if (present)
                    file.remove(key);
                continue;
            }
            const platform::RowValues row{key, name, identity};
            if (present)
                file.update(key, row);
            else
                file.insert(row);
        }
        file.commit();
    } catch (...) {
        file.rollback();
        throw;
    }
}

} // namespace

namespace {

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', 1);
}

// The file's bytes, refused beyond the size an import takes before more of
// it is read.
QByteArray readLimited(QFile& file, const QString& path)
{
    const QString tooLarge =
        QStringLiteral("%1: the file is larger than %2 MB, the most a file to import may hold")
            .arg(nativeName(path))
            .arg(kMaxImportBytes / (1024 * 1024));
    if (!file.isSequential()) {
        if (file.size() > kMaxImportBytes)
            throw ExchangeError(tooLarge +
                                QStringLiteral(" (it has %1 MB).").arg(megabytes(file.size())));
        QByteArray bytes = file.readAll();
        if (bytes.size() > kMaxImportBytes)
            throw ExchangeError(tooLarge + u'.');
        if (bytes.size() < file.size() || file.error() != QFileDevice::NoError)
            throw ExchangeError(QStringLiteral("%1: %2").arg(nativeName(path), file.errorString()));
        return bytes;
    }
    QByteArray bytes;
    for (;;) {
        const QByteArray chunk = file.read(1024 * 1024);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
        if (bytes.size() > kMaxImportBytes)
            throw ExchangeError(tooLarge + u'.');
    }
    if (file.error() != QFileDevice::NoError)
        throw ExchangeError(QStringLiteral("%1: %2").arg(nativeName(path), file.errorString()));
    return bytes;
}

} // namespace

ImportPlan readImportFile(const QString& path, std::optional<Format> format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ExchangeError(QStringLiteral("%1: %2").arg(nativeName(path), file.errorString()));
    QByteArray bytes = readLimited(file, path);
    file.close();
    ImportPlan plan;
    plan.format = format ? *format : detectImportFormat(path, bytes);
    try {
        if (plan.format == Format::MoodleXml) {
            plan.result = parseMoodleXml(bytes);
        } else {
            // The bytes go once they are text: the parsers then hold the
            // text and what they made of it.
            const QString text = decodeText(std::exchange(bytes, QByteArray()));
            plan.result = plan.format == Format::Gift ? parseGift(text) : parseAiken(text);
        }
    } catch (const FormatError& e) {
        throw ExchangeError(QStringLiteral("%1: %2").arg(nativeName(path), e.message()));
    }
    return plan;
}

QuestionRecord currentRecord(const store::Table& t)
{
    QuestionRecord r;
    r.section = int(t.asInteger(QStringLiteral("Q_SECT")));
    r.multiple = t.asBoolean(QStringLiteral("Q_TYPE"));
    r.text = t.asString(QStringLiteral("Q_TEXT"));
    r.explanation = t.asString(QStringLiteral("Q_EXPL"));
    for (int i = 0; i < kMaxChoices; ++i) {
        r.choices[size_t(i)] = t.asString(kChoice.arg(i + 1));
        r.key[size_t(i)] = t.asBoolean(kKey.arg(i + 1));
    }
    return r;
}

QString namesFilePath(const QString& userSetPath)
{
    const QFileInfo info(userSetPath);
    QString name = info.completeBaseName() + QStringLiteral("-names");
    if (!info.suffix().isEmpty())
        name += u'.' + info.suffix();
    return info.dir().filePath(name);
}

std::vector<NumberedRecord> readUserSet(store::Table& table)
{
    const QHash<qint64, QString> names = readNames(userSetPath(table));
    std::vector<NumberedRecord> out;
    const store::Bookmark mark = table.bookmark();
    table.disableControls();
    try {
        for (table.first(); !table.eof(); table.next()) {
            const qint64 key = table.asInteger(QStringLiteral("Q_ID"));
            out.push_back({key, currentRecord(table)});
            out.back().record.name = names.value(key);
        }
        if (mark.valid)
            table.gotoBookmark(mark);
    } catch (...) {
        table.enableControls();
        throw;
    }
    table.enableControls();
    return out;
}

void addToUserSet(store::Table& table, const std::vector<QuestionRecord>& records,
                  const std::function<void(int)>& progress)
{
    table.disableControls();
    table.beginBatch();
    try {
        std::vector<std::pair<qint64, QString>> names;
        for (const QuestionRecord& r : records) {
            table.append();
            table.setValue(QStringLiteral("Q_SECT"), r.section);
            table.setValue(QStringLiteral("Q_TYPE"), r.multiple);
            table.setValue(QStringLiteral("Q_TEXT"), r.text);
            table.setValue(QStringLiteral("Q_EXPL"), r.explanation);
            for (int i = 0; i < kMaxChoices; ++i) {
                table.setValue(kChoice.arg(i + 1), r.choices[size_t(i)]);
                table.setValue(kKey.arg(i + 1), r.key[size_t(i)]);
            }
            table.setValue(QStringLiteral("U_MEMO"), QString());
            table.post();
            names.emplace_back(table.asInteger(QStringLiteral("Q_ID")), r.name);
            if (progress)
                progress(int(names.size()));
        }
        writeNames(userSetPath(table), names);
        table.commitBatch();
    } catch (...) {
        table.cancel();
        table.rollbackBatch();
        table.enableControls();
        throw;
    }
    table.enableControls();
}

ExportOutcome writeExportFile(const QString& path, Format format,
                              const std::vector<NumberedRecord>& records)
{
    if (format == Format::Aiken)
        throw ExchangeError(QStringLiteral("Aiken files can only be imported; "
                                           "export to GIFT or Moodle XML."));
    ExportOutcome outcome;
    std::vector<NumberedRecord> fitting;
    for (const NumberedRecord& nr : records) {
        QString problem = exportProblem(nr.record);
        if (problem.isEmpty() && format == Format::MoodleXml && xmlCannotCarry(nr.record))
            problem = QStringLiteral("it holds a control character that XML cannot carry");
        if (problem.isEmpty())
            fitting.push_back(nr);
        else
            outcome.skipped << QStringLiteral("item %1: %2").arg(nr.id).arg(problem);
    }
    const QByteArray bytes =
        format == Format::MoodleXml ? writeMoodleXml(fitting) : writeGift(fitting).toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ExchangeError(QStringLiteral("%1: %2").arg(nativeName(path), file.errorString()));
    outcome.written = int(fitting.size());
    return outcome;
}

QString exportSummary(const ExportOutcome& outcome, int maxListed)
{
    QString text = outcome.written == 1
                       ? QStringLiteral("1 question written")
                       : QStringLiteral("%1 questions written").arg(outcome.written);
    if (outcome.skipped.isEmpty())
        return text + QLatin1Char('.');
    return text + QStringLiteral(" (%1 skipped: %2).")
                      .arg(outcome.skipped.size())
                      .arg(listSummary(outcome.skipped, maxListed));
}

} // namespace formats
