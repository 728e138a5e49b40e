// The bank compiler: checks the question bank's source text and writes the
// encrypted bank the program reads.
#include "BankCompiler.h"

#include "TableError.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() == 3 && args.at(1) == QLatin1String("--user-set")) {
        try {
            bank::ensureUserSet(args.at(2));
        } catch (const platform::TableError& e) {
            err << "bankc: " << e.text() << "\n";
            return 1;
        }
        return 0;
    }
    if (args.size() != 4) {
        err << "usage: bankc <source folder> <pictures folder> <output tcpip.DAT>\n"
               "       bankc --user-set <output tcpipusr.DAT>\n";
        return 2;
    }
    QStringList errors;
    const auto items = bank::readSource(args.at(1), args.at(2), &errors);
    if (!errors.isEmpty()) {
        for (const QString& e : errors)
            err << "bankc: " << e << "\n";
        err << "bankc: the bank was not written (" << errors.size() << " problem(s))\n";
        return 1;
    }
    try {
        bank::writeBank(items, args.at(3));
    } catch (const platform::TableError& e) {
        err << "bankc: " << e.text() << "\n";
        return 1;
    }
    return 0;
}
