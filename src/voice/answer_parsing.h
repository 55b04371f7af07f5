#pragma once
#include <QString>
#include <stdexcept>

// A failure inside a command whose text is a sentence the user can hear as it is.
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const QString &sentence) : std::runtime_error(sentence.toStdString()) {}
};

// The number a typed answer starts with. Blanks, tabs and line breaks are ignored wherever they
// stand ("1 5" is 15), then the longest leading decimal number is read: "12abc" is 12, "abc" 0.
// A number too large to hold raises a CommandError.
double answerValue(const QString &answer);
