#pragma once

#include <QString>
#include <array>
#include <vector>

namespace store {

// What can be wrong with the answer key of an ordinary (not simulation)
// item. The bank compiler and the test sampler refuse the same things, each
// in its own words.
struct KeyProblem {
    enum Kind {
        KeyOnEmptyChoice,   // `choice` is marked correct but has no text
        NoKey,              // no choice is marked correct
        SeveralKeys,        // a single-response item with `keys` correct choices
        ChooseCountDiffers, // the question says "Choose `said`." but `keys` are marked
    };
    Kind kind;
    int choice = -1; // 0..5 for KeyOnEmptyChoice
    int keys = 0;
    int said = 0;
};

// The n of a "Choose n." in the question (n as a word one..six or a digit),
// or 0 when it says none.
int chooseCount(const QString& question);

// The problems of an item's key, in the order: choices a..f, then the count.
std::vector<KeyProblem> keyProblems(const QString& question, const std::array<QString, 6>& choices,
                                    const std::array<bool, 6>& key, bool multiple);

} // namespace store
