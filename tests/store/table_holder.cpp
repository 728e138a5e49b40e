// A second process for the table tests: holds a table file exclusively,
// posts one record and then waits to be killed, or is killed part-way
// through writing a whole new content for the file.
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    store::Session session(QStringLiteral("Quizlark"));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    store::Table table(session, args.at(2), store::userSetSchema(), true);
    try {
        if (args.at(1) == QLatin1String("hold")) {
            table.setExclusive(true);
            table.open();
            std::printf("ready\n");
            std::fflush(stdout);
            // Hold the lock until the test closes our input.
            char buf[16];
            while (::read(0, buf, sizeof buf) > 0) {
            }
            return 0;
        }
        if (args.at(1) == QLatin1String("post")) {
            table.open();
            table.append();
            table.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("durable"));
            table.post();
            std::printf("posted %lld\n",
                        static_cast<long long>(table.asInteger(QStringLiteral("Q_ID"))));
            std::fflush(stdout);
            for (;;)
                ::pause();
        }
        if (args.at(1) == QLatin1String("rewrite")) {
            table.openEmptied();
            for (int i = 0; i < 200; ++i) {
                table.append();
                table.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("rewritten %1").arg(i));
                table.post();
            }
            std::printf("written\n");
            std::fflush(stdout);
            for (;;)
                ::pause();
        }
    } catch (const platform::TableError& e) {
        std::printf("error %d\n", e.code());
        return 1;
    }
    return 2;
}
