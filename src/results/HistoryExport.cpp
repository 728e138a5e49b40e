#include "HistoryExport.h"

#include "HistoryWindow.h"
#include "Printing.h"
#include "ScoreReport.h"
#include "Session.h"
#include "Table.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QHash>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace results {

namespace {

QString itemIdText(const store::AttemptItem& item)
{
    return (item.userItem ? QStringLiteral("U") : QString()) + QString::number(item.id);
}

QString responseText(const store::AttemptItem& item)
{
    if (!item.timeKnown())
        return {};
    const QString letters = store::choiceLetters(item.choice);
    return letters == QLatin1String("-") ? QString() : letters;
}

QString html(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString keyLetters(const std::array<bool, 6>& key)
{
    const QString letters = store::choiceLetters(key);
    return letters == QLatin1String("-") ? QStringLiteral("none") : letters;
}

} // namespace

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray answersCsv(const std::vector<store::Attempt>& attempts, const ObjectiveLookup& objective)
{
    QString out =
        QStringLiteral("attempt,date,exam,item id,section,objective,response,correct,seconds\r\n");
    for (size_t n = 0; n < attempts.size(); ++n) {
        const store::Attempt& a = attempts[n];
        const QString when = store::formatWhen(a.when);
        for (const store::AttemptItem& item : a.items) {
            const QStringList fields{
                QString::number(n + 1),
                when,
                a.title,
                itemIdText(item),
                item.timeKnown() ? store::sectionName(item.section) : QString(),
                objective ? objective(item.id, item.userItem) : QString(),
                responseText(item),
                item.correct ? QStringLiteral("yes") : QStringLiteral("no"),
                item.timeKnown() ? QString::number(item.seconds) : QString(),
            };
            QStringList quoted;
            for (const QString& f : fields)
                quoted << csvField(f);
            out += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
    }
    return out.toUtf8();
}

std::vector<ReviewEntry> gatherReview(store::Session& session, const store::Attempt& attempt)
{
    const bool user = attempt.userItems();
    store::Table t(session, QString::fromLatin1(user ? store::kUserSetFile : store::kBankFile),
                   user ? store::userSetSchema() : store::bankSchema());
    t.open();
    QHash<int, store::ExamItem> found;
    QHash<int, bool> wanted;
    for (const store::AttemptItem& i : attempt.items)
        wanted.insert(i.id, true);
    for (t.first(); !t.eof(); t.next()) {
        const int id = store::readId(t);
        if (wanted.contains(id))
            found.insert(id, store::readItem(t));
    }
    t.close();
    std::vector<ReviewEntry> entries;
    for (size_t k = 0; k < attempt.items.size(); ++k) {
        ReviewEntry e;
        e.number = static_cast<int>(k + 1);
        e.answer = attempt.items[k];
        const auto it = found.constFind(e.answer.id);
        e.found = it != found.constEnd();
        if (e.found)
            e.item = *it;
        entries.push_back(e);
    }
    return entries;
}

QString reviewHtml(const store::Attempt& a, const std::vector<ReviewEntry>& entries,
                   const ObjectiveLookup& objective)
{
    QString h = QStringLiteral("<html><body style=\"font-family: 'Liberation Sans'; "
                               "font-size: 10pt;\">");
    h += QStringLiteral("<h2>Answer review: %1</h2>").arg(html(a.title));
    h += QStringLiteral("<p>%1, %2<br>Score %3 of %4: %5. Time used %6.</p>")
             .arg(html(a.candidate), html(attemptDateText(a.when)))
             .arg(a.score)
             .arg(exam::kScaleMaximum)
             .arg(a.pass ? QStringLiteral("Pass") : QStringLiteral("Fail"),
                  usedTimeText(a.secondsUsed));
    if (!a.detailed())
        h += QStringLiteral("<p><i>The responses of this exam were not kept; the review shows "
                            "whether each item was answered correctly.</i></p>");
    for (const ReviewEntry& e : entries) {
        const store::AttemptItem& ans = e.answer;
        const int section = e.found ? e.item.section : ans.section;
        QString head = QStringLiteral("Item %1 (ID %2").arg(e.number).arg(itemIdText(ans));
        if (!store::sectionName(section).isEmpty())
            head += QStringLiteral(", ") + store::sectionName(section);
        head += QStringLiteral(") - ") +
                (ans.correct ? QStringLiteral("Correct") : QStringLiteral("Incorrect"));
        if (ans.marked)
            head += QStringLiteral(", marked");
        h += QStringLiteral("<h3 style=\"color: %1;\">%2</h3>")
                 .arg(ans.correct ? QStringLiteral("#006400") : QStringLiteral("#b00000"),
                      html(head));
        const QString obj = objective ? objective(ans.id, ans.userItem) : QString();
        if (!obj.isEmpty())
            h += QStringLiteral("<p><i>Objective: %1</i></p>").arg(html(obj));
        if (!e.found) {
            h += QStringLiteral("<p><i>This item is no longer in the %1.</i></p>")
                     .arg(ans.userItem ? QStringLiteral("user set")
                                       : QStringLiteral("question bank"));
            continue;
        }
        const store::ExamItem& item = e.item;
        h += QStringLiteral("<p>%1</p>").arg(html(item.text));
        if (item.isSimulation()) {
            QString outcome = QStringLiteral("not known");
            if (ans.timeKnown())
                outcome = ans.choice[5]   ? QStringLiteral("completed correctly")
                          : ans.choice[4] ? QStringLiteral("completed incorrectly")
                                          : QStringLiteral("not completed");
            h += QStringLiteral("<p><b>Simulation:</b> %1</p>").arg(outcome);
        } else {
            QStringList lines;
            for (size_t c = 0; c < item.choices.size(); ++c) {
                if (item.choices[c].isEmpty())
                    continue;
                QStringList marks;
                if (item.key[c])
                    marks << QStringLiteral("key");
                if (ans.timeKnown() && ans.choice[c])
                    marks << QStringLiteral("your choice");
                QString line =
                    QStringLiteral("<b>%1.</b> ").arg(QChar(static_cast<char16_t>(u'a' + c))) +
                    html(item.choices[c]);
                if (!marks.isEmpty())
                    line +=
                        QStringLiteral(" &nbsp;<i>[%1]</i>").arg(marks.join(QStringLiteral(", ")));
                lines << line;
            }
            h += QStringLiteral("<p>%1</p>").arg(lines.join(QStringLiteral("<br>")));
            h +=
                QStringLiteral("<p><b>Your response:</b> %1 &nbsp; <b>Key:</b> %2</p>")
                    .arg(ans.timeKnown() ? html(responseText(ans).isEmpty() ? QStringLiteral("none")
                                                                            : responseText(ans))
                                         : QStringLiteral("not kept"),
                         keyLetters(item.key));
        }
        if (!item.explanation.isEmpty())
            h += QStringLiteral("<p><b>Explanation:</b> %1</p>").arg(html(item.explanation));
        if (!item.note.isEmpty())
            h += QStringLiteral("<p><b>Note:</b> %1</p>").arg(html(item.note));
        if (ans.timeKnown())
            h += QStringLiteral("<p>Time on screen: %1</p>").arg(usedTimeText(ans.seconds));
    }
    h += QStringLiteral("</body></html>");
    return h;
}

bool paintDocument(QPagedPaintDevice& device, const QString& text)
{
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&device);
    doc.setHtml(text);
    doc.print(&device);
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writePdf(const QString& path, const QString& title,
              const std::function<bool(QPagedPaintDevice&)>& paint, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QString::fromLatin1(kProductName));
        writer.setResolution(300);
        applyPageSetup(writer);
        painted = paint(writer);
    }
    if (!painted) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("The document could not be written.");
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace results
