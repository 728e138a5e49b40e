#include "AikenFormat.h"

#include <QRegularExpression>
#include <QStringList>

namespace formats {

ParseResult parseAiken(const QString& text)
{
    static const QRegularExpression choiceLine(QStringLiteral("^(\\s*)([A-Z])[.)](\\s+|$)(.*)$"));
    static const QRegularExpression answerLine(QStringLiteral("^(\\s*)ANSWER\\s*:\\s*"));
    ParseResult result;
    const QStringList lines = text.split(u'\n');

    QStringList questionLines;
    std::vector<QString> choices;
    int startLine = 0;
    int number = 0;
    auto reset = [&] {
        questionLines.clear();
        choices.clear();
        startLine = 0;
    };
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int lineNo = int(n + 1);
        const QString& line = lines[n];
        if (line.trimmed().isEmpty())
            continue;
        const auto am = answerLine.match(line);
        if (am.hasMatch()) {
            if (choices.empty())
                throw FormatError(lineNo, int(am.capturedLength(1)) + 1,
                                  QStringLiteral("\"ANSWER:\" before any choice"));
            const QString letter = line.mid(am.capturedEnd()).trimmed();
            const int column = int(am.capturedEnd()) + 1;
            if (letter.size() != 1 || letter[0] < u'A' || letter[0] > u'Z')
                throw FormatError(lineNo, column,
                                  QStringLiteral("the answer must be one capital letter"));
            const int index = letter[0].unicode() - u'A';
            if (index >= int(choices.size()))
                throw FormatError(lineNo, column,
                                  QStringLiteral("the answer \"%1\" names no choice").arg(letter));
            ++number;
            if (choices.size() > size_t(kMaxChoices)) {
                result.skipped.push_back(
                    {number, startLine,
                     QStringLiteral("it has %1 choices (at most 6 fit)").arg(choices.size())});
            } else if (choices.size() < 2) {
                result.skipped.push_back(
                    {number, startLine, QStringLiteral("it has fewer than two choices")});
            } else {
                QuestionRecord r;
                r.text = questionLines.join(u'\n');
                for (size_t i = 0; i < choices.size(); ++i)
                    r.choices[i] = choices[i];
                r.key[size_t(index)] = true;
                result.questions.push_back(std::move(r));
            }
            reset();
            continue;
        }
        const auto cm = choiceLine.match(line);
        if (cm.hasMatch() && !questionLines.isEmpty()) {
            const QChar expected = QChar(u'A' + int(choices.size()));
            if (cm.captured(2)[0] != expected)
                throw FormatError(lineNo, int(cm.capturedLength(1)) + 1,
                                  QStringLiteral("choice \"%1\" where \"%2\" was expected")
                                      .arg(cm.captured(2), expected));
            const QString choice = cm.captured(4).trimmed();
            if (choice.isEmpty())
                throw FormatError(lineNo, int(cm.capturedStart(2)) + 1,
                                  QStringLiteral("choice \"%1\" has no text").arg(cm.captured(2)));
            choices.push_back(choice);
            continue;
        }
        if (!choices.empty()) {
            throw FormatError(lineNo, int(line.indexOf(QStringView(line).trimmed())) + 1,
                              QStringLiteral("expected choice \"%1.\" or the \"ANSWER:\" line")
                                  .arg(QChar(u'A' + int(choices.size()))));
        }
        if (questionLines.isEmpty())
            startLine = lineNo;
        questionLines << line.trimmed();
    }
    if (!questionLines.isEmpty())
        throw FormatError(int(lines.size()), int(lines.last().size()) + 1,
                          QStringLiteral("the file ends before the \"ANSWER:\" line of the "
                                         "question at line %1")
                              .arg(startLine));
    return result;
}

} // namespace formats
