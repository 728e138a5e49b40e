#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

namespace platform {
class KeyValueStore;
}

namespace options {

inline constexpr const char* kProductKey = "Quizlark TCP/IP 4.0";
inline constexpr const char* kSection = "Options";

// A display font as the options keep it: the font and its colour.
struct FontOption {
    QFont font;
    QColor colour;
};

// The ranges a stored number must lie in to be taken.
inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 72;
inline constexpr int kMinExamMinutes = 1;
inline constexpr int kMaxExamMinutes = 600;
// The default time the options dialog takes; the exam-start dialog still
// limits an exam to kMaxExamMinutes.
inline constexpr int kMaxDefaultMinutes = 9000;
inline constexpr int kMaxColourNumber = 0xffffff;

// The preferences the exam window holds for the whole run.
struct OptionValues {
    FontOption questionFont;
    FontOption answersFont;
    FontOption explanationFont;
    bool showLearnButton = false;
    bool showCalcButton = true;
    bool timerOn = true;
    int defaultTime = 90;
    QString calcPath;
    // Text colours that every reader can tell from their ground.
    bool highContrast = false;
};

// Reading rules of the store: absent or unreadable numbers give the default;
// a yes/no value is yes when its number is not 0.
int readInteger(const platform::KeyValueStore& store, const QString& key, int fallback);
// As readInteger, and a number outside minimum..maximum also gives the default.
int readInteger(const platform::KeyValueStore& store, const QString& key, int fallback, int minimum,
                int maximum);
bool readYesNo(const platform::KeyValueStore& store, const QString& key, bool fallback);
QString readText(const platform::KeyValueStore& store, const QString& key, const QString& fallback);

// Colour numbers are red + 256 * green + 65536 * blue.
QColor colourFromNumber(int number);
int colourToNumber(const QColor& colour);

// The first desktop calculator installed in windowsDir, else its xcalc.
QString defaultCalcPath(const QString& windowsDir,
                        const std::function<bool(const QString&)>& exists);

// Reads the store into values. Fonts are changed, never replaced: an empty
// name keeps the font's name and a stored "no" never removes a style.
void loadOptions(const platform::KeyValueStore& store, OptionValues& values,
                 const QString& windowsDir, const std::function<bool(const QString&)>& exists);

// Writes every value, in the order the store has always been written in.
// Only name, colour, size, bold and italic of a font are kept.
void saveOptions(platform::KeyValueStore& store, const OptionValues& values);

} // namespace options
