#include "AikenFormat.h"

#include "QuestionFormats.h"

#include <QRegularExpression>
#include <QStringList>

namespace formats {

ParseResult parseAiken(const QString& text)
{
    static const QRegularExpression choiceLine(QStringLiteral("^(\\s*)([A-Z])[.)](\\s+|$)(.*)$"));
    static const QRegularExpression answerLine(QStringLiteral("^(\\s*)ANSWER\\s*:\\s*"));
    ParseResult result;

    QStringList questionLines;
    std::vector<QString> choices;
    int startLine = 0;
    int number = 0;
    qsizetype questionTextLength = 0;
    auto reset = [&] {
        questionTextLength = 0;
        questionLines.clear();
        choices.clear();
        startLine = 0;
    };
    // The lines are taken one at a time, not split into a list beside the
    // text.
    int lineNo = 0;
    QString line;
    qsizetype lineLength = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        ++lineNo;
        line = text.mid(start, end - start);
        lineLength = line.size();
        start = end + 1;
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
                const QString tooLarge =
                    questionTextLength > kMaxTextLength
                        ? QStringLiteral("its question text has %1 characters (at most %2 fit)")
                              .arg(countText(questionTextLength), countText(kMaxTextLength))
                        : sizeProblem(r);
                if (tooLarge.isEmpty())
                    result.questions.push_back(std::move(r));
                else
                    result.skipped.push_back({number, startLine, tooLarge});
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
        // A text far beyond what fits is not gathered in memory: the limit
        // refuses it all the same.
        const QString trimmed = line.trimmed();
        if (questionTextLength <= kMaxTextLength)
            questionLines << trimmed;
        questionTextLength += (questionTextLength ? 1 : 0) + trimmed.size();
    }
    if (!questionLines.isEmpty())
        throw FormatError(lineNo, int(lineLength) + 1,
                          QStringLiteral("the file ends before the \"ANSWER:\" line of the "
                                         "question at line %1")
                              .arg(startLine));
    return result;
}

} // namespace formats
