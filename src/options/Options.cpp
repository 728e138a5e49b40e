#include "Options.h"

#include "Services.h"

#include <QDir>
#include <QFontInfo>

namespace options {

namespace {

const QString section()
{
    return QString::fromLatin1(kSection);
}

void loadFont(const platform::KeyValueStore& store, const QString& prefix, FontOption& option,
              const QColor& defaultColour)
{
    const QString name = readText(store, prefix + QStringLiteral("FontName"), QString());
    if (!name.isEmpty())
        option.font.setFamily(name);
    option.colour =
        colourFromNumber(readInteger(store, prefix + QStringLiteral("FontColor"),
                                     colourToNumber(defaultColour), 0, kMaxColourNumber));
    option.font.setPointSize(
        readInteger(store, prefix + QStringLiteral("FontSize"), 10, kMinFontSize, kMaxFontSize));
    if (readYesNo(store, prefix + QStringLiteral("FontBold"), false))
        option.font.setBold(true);
    if (readYesNo(store, prefix + QStringLiteral("FontItalic"), false))
        option.font.setItalic(true);
}

int pointSize(const QFont& font)
{
    // A font sized in pixels has no point size of its own.
    return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
}

} // namespace

int readInteger(const platform::KeyValueStore& store, const QString& key, int fallback)
{
    if (!store.contains(section(), key))
        return fallback;
    bool ok = false;
    const int value = store.read(section(), key).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

int readInteger(const platform::KeyValueStore& store, const QString& key, int fallback, int minimum,
                int maximum)
{
    // A size of thousands of points or an exam of minus ninety minutes makes
    // the exam unusable; such a value is as unreadable as "abc".
    const int value = readInteger(store, key, fallback);
    return value < minimum || value > maximum ? fallback : value;
}

bool readYesNo(const platform::KeyValueStore& store, const QString& key, bool fallback)
{
    return readInteger(store, key, fallback ? 1 : 0) != 0;
}

QString readText(const platform::KeyValueStore& store, const QString& key, const QString& fallback)
{
    if (!store.contains(section(), key))
        return fallback;
    return store.read(section(), key);
}

QColor colourFromNumber(int number)
{
    return QColor(number & 0xff, (number >> 8) & 0xff, (number >> 16) & 0xff);
}

int colourToNumber(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

QString defaultCalcPath(const QString& windowsDir,
                        const std::function<bool(const QString&)>& exists)
{
    const QDir dir(windowsDir);
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "xcalc"}) {
        const QString path = dir.filePath(QLatin1String(name));
        if (exists(path))
            return path;
    }
    return dir.filePath(QStringLiteral("xcalc"));
}

void loadOptions(const platform::KeyValueStore& store, OptionValues& values,
                 const QString& windowsDir, const std::function<bool(const QString&)>& exists)
{
    loadFont(store, QStringLiteral("Q"), values.questionFont, Qt::black);
    loadFont(store, QStringLiteral("A"), values.answersFont, Qt::black);
    loadFont(store, QStringLiteral("EXP"), values.explanationFont, QColor(0, 0, 128));
    values.showLearnButton = readYesNo(store, QStringLiteral("ShowLearnBtn"), false);
    values.showCalcButton = readYesNo(store, QStringLiteral("ShowCalcBtn"), true);
    values.timerOn = readYesNo(store, QStringLiteral("TimerOn"), true);
    values.defaultTime =
        readInteger(store, QStringLiteral("DefaultTime"), 90, kMinExamMinutes, kMaxDefaultMinutes);
    values.calcPath =
        readText(store, QStringLiteral("CalcPath"), defaultCalcPath(windowsDir, exists));
    values.highContrast = readYesNo(store, QStringLiteral("HighContrast"), false);
}

void saveOptions(platform::KeyValueStore& store, const OptionValues& values)
{
    auto text = [&](const QString& key, const QString& value) {
        store.write(section(), key, value);
    };
    auto number = [&](const QString& key, int value) { text(key, QString::number(value)); };
    auto yesNo = [&](const QString& key, bool value) {
        text(key, value ? QStringLiteral("1") : QStringLiteral("0"));
    };
    auto nameColourSize = [&](const QString& prefix, const FontOption& option) {
        text(prefix + QStringLiteral("FontName"), option.font.family());
        number(prefix + QStringLiteral("FontColor"), colourToNumber(option.colour));
        number(prefix + QStringLiteral("FontSize"), pointSize(option.font));
    };
    auto styles = [&](const QString& prefix, const FontOption& option) {
        yesNo(prefix + QStringLiteral("FontBold"), option.font.bold());
        yesNo(prefix + QStringLiteral("FontItalic"), option.font.italic());
    };
    // The order of old: a write that fails part-way leaves the same values
    // behind as it always did.
    nameColourSize(QStringLiteral("Q"), values.questionFont);
    number(QStringLiteral("DefaultTime"), values.defaultTime);
    styles(QStringLiteral("Q"), values.questionFont);
    nameColourSize(QStringLiteral("A"), values.answersFont);
    styles(QStringLiteral("A"), values.answersFont);
    nameColourSize(QStringLiteral("EXP"), values.explanationFont);
    styles(QStringLiteral("EXP"), values.explanationFont);
    yesNo(QStringLiteral("ShowLearnBtn"), values.showLearnButton);
    yesNo(QStringLiteral("TimerOn"), values.timerOn);
    yesNo(QStringLiteral("ShowCalcBtn"), values.showCalcButton);
    text(QStringLiteral("CalcPath"), values.calcPath);
    yesNo(QStringLiteral("HighContrast"), values.highContrast);
}

} // namespace options
