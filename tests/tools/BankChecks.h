#pragma once

// Checks of the question bank's content that the compiler cannot make item by
// item: re-told scenarios, letters named in explanations and items that lean
// on a case study's exhibit. They live apart from the shipped-bank test so
// that each rule can be tried on small made-up items.

#include "BankCompiler.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace bankcheck {

// The words of a text with what changes from one telling of a scenario to the
// next masked: numbers and dotted addresses become "#", ALL-CAPS names "name",
// Capitalised words "cap"; the rest is lower-cased.
QStringList maskedWords(const QString& text);

// How alike two word lists are: twice the number of words in matching blocks
// over the total number of words, the blocks found as Python's
// difflib.SequenceMatcher finds them (longest block first, then recursively on
// both sides, no junk heuristic). Two empty lists are alike (1.0).
double matchRatio(const QStringList& a, const QStringList& b);

struct SimilarPair {
    int first = 0;
    int second = 0;
    double ratio = 0;
};

// Pairs of non-simulation items of different exams whose masked question text
// and choices are more alike than limit.
QVector<SimilarPair> retoldScenarios(const QVector<bank::SourceItem>& items, double limit);

// Every item names the fact it tests; no exam tests a fact twice, since one
// item would answer the other, and the bank tests a fact at most twice. The
// simulations, one of each kind per exam, are left out of the count.
QStringList factProblems(const QVector<bank::SourceItem>& items);

// A count seen in the bank against the count a key drawn at random would give.
struct Figure {
    int observed = 0;
    double expected = 0;
    double sd = 0;
    // Standard deviations above chance; 0 where chance leaves no room.
    double z() const;
};

// Over the single-response items: for each rank r (index r - 1; rank 1 is the
// longest), how often the key has that length rank, a choice's rank being one
// more than the number of choices strictly longer than it.
std::array<Figure, 6> keyLengthRanks(const QVector<bank::SourceItem>& items);

// Over the multiple-response items: how often each letter is in the key,
// against keys of the same size drawn at random among the item's choices.
std::array<Figure, 6> keyLetters(const QVector<bank::SourceItem>& items);

// Over the multiple-response items: how often ticking the n longest choices
// (n the number of key letters) earns full credit, that is every key choice is
// strictly longer than every other choice.
Figure longestChoicesScore(const QVector<bank::SourceItem>& items);

// Whether the key of a single-response item is longer than every other choice.
bool keyIsStrictlyLongest(const bank::SourceItem& item);

enum class Verdict { None, Key, NotKey };

struct LetterMention {
    QString letters; // lower case, in the order named
    Verdict verdict = Verdict::None;
};

// The choice letters an explanation names ("choice c", "answers b and d",
// "option (e)") and what it says of them, where it says it plainly ("choice c
// is wrong", "the correct answer is choice b").
QVector<LetterMention> lettersNamed(const QString& explanation);

// What is wrong with the letters the item's explanation names: a letter
// without a choice, a non-key called correct, a key called wrong.
QStringList letterProblems(const bank::SourceItem& item);

// The case studies as the exhibits draw them.
struct Exhibits {
    QHash<QString, QString> text;             // picture file -> its text
    QHash<QString, QSet<QString>> whereNamed; // case name -> pictures that show it
    QHash<QString, QSet<QString>> addresses;  // picture file -> dotted addresses in it
    QStringList networkNames;                 // the case names of several words
};

// Reads the text of every SVG exhibit of picturesDir. Case names are the
// ALL-CAPS host, server and domain names and the "<Name> segment" / "<Name>
// LAN" network names the exhibits show; protocol and tool words are not names.
Exhibits readExhibits(const QString& picturesDir);

// Where an item leans on a case study exhibit it does not show.
QStringList standAloneProblems(const bank::SourceItem& item, const Exhibits& exhibits);

} // namespace bankcheck
