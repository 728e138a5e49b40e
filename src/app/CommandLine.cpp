#include "CommandLine.h"

#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "UserSetExchange.h"

#include <QDir>
#include <QTextStream>
#include <memory>
#include <variant>

namespace app {

namespace {

const QString kUsage = QStringLiteral("usage: quizlark --import FILE [--format gift|moodle|aiken]\n"
                                      "       quizlark --export FILE [--format gift|moodle]");

struct Command {
    bool import = false;
    QString file;
    std::optional<formats::Format> format;
};

// The parsed command, or the reason the arguments are wrong.
std::variant<Command, QString> parseArgs(const QStringList& args)
{
    Command c;
    bool haveCommand = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        const qsizetype eq = arg.indexOf(u'=');
        const bool inlineValue = arg.startsWith(QLatin1String("--")) && eq > 0;
        if (inlineValue) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
        }
        auto take = [&]() -> std::optional<QString> {
            if (inlineValue)
                return value;
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == QLatin1String("--import") || arg == QLatin1String("--export")) {
            if (haveCommand)
                return QStringLiteral("give either --import or --export, once");
            haveCommand = true;
            c.import = arg == QLatin1String("--import");
            const auto v = take();
            if (!v || v->isEmpty())
                return QStringLiteral("%1 needs a file name").arg(arg);
            c.file = *v;
        } else if (arg == QLatin1String("--format")) {
            const auto v = take();
            if (!v)
                return QStringLiteral("--format needs gift, moodle or aiken");
            c.format = formats::formatFromName(*v);
            if (!c.format)
                return QStringLiteral("unknown format \"%1\": use gift, moodle or aiken").arg(*v);
        } else {
            return QStringLiteral("unknown argument \"%1\"").arg(args[i]);
        }
    }
    if (!haveCommand)
        return QStringLiteral("give --import FILE or --export FILE");
    if (!c.import && c.format == formats::Format::Aiken)
        return QStringLiteral("Aiken files can only be imported; export to gift or moodle");
    return c;
}

std::unique_ptr<store::Table> openUserSet(store::Session& session, const QString& programDir)
{
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    auto table = std::make_unique<store::Table>(
        session, QDir(programDir).filePath(QString::fromLatin1(store::kUserSetFile)),
        store::userSetSchema());
    table->open();
    return table;
}

} // namespace

bool isCommand(const QStringList& args)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--import") || a == QLatin1String("--export") ||
            a.startsWith(QLatin1String("--import=")) || a.startsWith(QLatin1String("--export=")))
            return true;
    }
    return false;
}

int runCommand(const QStringList& args, const QString& programDir, QTextStream& out,
               QTextStream& err)
{
    const auto parsed = parseArgs(args);
    if (const auto* problem = std::get_if<QString>(&parsed)) {
        err << "quizlark: " << *problem << '\n' << kUsage << '\n';
        err.flush();
        return 2;
    }
    const Command& c = std::get<Command>(parsed);
    try {
        store::Session session(QString::fromLatin1(store::kSessionName));
        if (c.import) {
            const formats::ImportPlan plan = formats::readImportFile(c.file, c.format);
            if (plan.result.questions.empty()) {
                err << "quizlark: " << QDir::toNativeSeparators(c.file) << ": "
                    << formats::importSummary(plan.result) << " The file holds no question "
                    << "for this set; nothing was added.\n";
                err.flush();
                return 1;
            }
            auto table = openUserSet(session, programDir);
            formats::addToUserSet(*table, plan.result.questions);
            table->close();
            QString summary = formats::importSummary(plan.result);
            summary.replace(QStringLiteral("will be added"), QStringLiteral("added"));
            out << summary << '\n';
        } else {
            auto table = openUserSet(session, programDir);
            const auto records = formats::readUserSet(*table);
            table->close();
            const auto format = c.format ? *c.format : formats::exportFormatForName(c.file);
            out << formats::exportSummary(formats::writeExportFile(c.file, format, records))
                << '\n';
        }
        out.flush();
        return 0;
    } catch (const formats::ExchangeError& e) {
        err << "quizlark: " << e.message() << "\nNothing was "
            << (c.import ? "imported" : "exported") << ".\n";
    } catch (const platform::TableError& e) {
        err << "quizlark: " << e.text() << "\nNothing was " << (c.import ? "imported" : "exported")
            << ".\n";
    }
    err.flush();
    return 1;
}

} // namespace app
