// Reads or writes the note of one item in a bank file, for the scripts that
// check the notes of an installed program's user:
//   bank_note BANK Q_ID [NOTE]
#include "Schemas.h"
#include "Session.h"
#include "Table.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 && args.size() != 4)
        return 2;
    try {
        store::Session session(QString::fromLatin1(store::kSessionName));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(session, args.at(1), store::bankSchema());
        t.open();
        for (t.first(); !t.eof(); t.next()) {
            if (t.asInteger(QStringLiteral("Q_ID")) != args.at(2).toLongLong())
                continue;
            if (args.size() == 4) {
                t.edit();
                t.setValue(QStringLiteral("U_MEMO"), args.at(3));
                t.post();
            } else {
                QTextStream(stdout) << t.asString(QStringLiteral("U_MEMO")) << Qt::endl;
            }
            return 0;
        }
        return 1;
    } catch (const std::exception& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
}
