#pragma once

#include "QuestionRecord.h"

namespace formats {

// Reads Aiken text (already decoded, "\n" line ends): each question is its
// text, choice lines "A." or "A)" in order, and "ANSWER: X". Questions become
// single response records without section or explanation; an ill-formed
// question throws a FormatError at its line and column.
ParseResult parseAiken(const QString& text);

} // namespace formats
