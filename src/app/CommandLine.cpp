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

const QString kUsage =
    QStringLiteral("usage: quizlark\n"
                   "       quizlark --import FILE [--format gift|moodle|aiken]\n"
                   "       quizlark --export FILE [--format gift|moodle]\n"
                   "       quizlark --help | -h | --version\n"
                   "Without arguments the program opens its window. --import adds the questions\n"
                   "of a GIFT, Moodle XML or Aiken file to your question set; --export writes\n"
                   "the set as GIFT, or as Moodle XML for a .xml name or --format moodle.");
const QString kVersion = QStringLiteral("Quizlark TCP/IP 4.0");

// The toolkit's own window options, which it takes off the arguments itself;
// each with whether it takes a value.
struct ToolkitOption {
    QLatin1StringView name;
    bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {QLatin1StringView("platform"), true},        {QLatin1StringView("platformpluginpath"), true},
    {QLatin1StringView("platformtheme"), true},   {QLatin1StringView("plugin"), true},
    {QLatin1StringView("qwindowgeometry"), true}, {QLatin1StringView("qwindowicon"), true},
    {QLatin1StringView("qwindowtitle"), true},    {QLatin1StringView("style"), true},
    {QLatin1StringView("stylesheet"), true},      {QLatin1StringView("display"), true},
    {QLatin1StringView("geometry"), true},        {QLatin1StringView("reverse"), false},
};

// How many arguments from i on are one toolkit option with its value; 0
// when args[i] is none.
qsizetype toolkitOptionLength(const QStringList& args, qsizetype i)
{
    QStringView a = args[i];
    if (a.startsWith(QLatin1String("--")))
        a = a.mid(2);
    else if (a.startsWith(u'-'))
        a = a.mid(1);
    else
        return 0;
    const qsizetype eq = a.indexOf(u'=');
    const QStringView name = eq < 0 ? a : a.left(eq);
    for (const ToolkitOption& o : kToolkitOptions) {
        if (name != o.name)
            continue;
        if (!o.takesValue)
            return eq < 0 ? 1 : 0;
        if (eq >= 0)
            return 1;
        return i + 1 < args.size() ? 2 : 0;
    }
    return 0;
}

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

QString usage()
{
    return kUsage + u'\n';
}

std::optional<int> answerAtOnce(const QStringList& args, QTextStream& out, QTextStream& err)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << usage();
            out.flush();
            return 0;
        }
    }
    for (const QString& a : args) {
        if (a == QLatin1String("--version")) {
            out << kVersion << '\n';
            out.flush();
            return 0;
        }
    }
    // A command names its own wrong arguments.
    if (isCommand(args))
        return std::nullopt;
    for (qsizetype i = 0; i < args.size();) {
        const qsizetype length = toolkitOptionLength(args, i);
        if (length == 0) {
            err << "quizlark: unknown argument \"" << args[i] << "\"\n" << usage();
            err.flush();
            return 2;
        }
        i += length;
    }
    return std::nullopt;
}

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
        err << "quizlark: " << *problem << '\n' << usage();
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
        // A table error's line breaks are "\r", as in a message box.
        err << "quizlark: " << QString(e.text()).replace(QLatin1Char('\r'), QLatin1Char('\n'))
            << "\nNothing was " << (c.import ? "imported" : "exported") << ".\n";
    }
    err.flush();
    return 1;
}

} // namespace app
