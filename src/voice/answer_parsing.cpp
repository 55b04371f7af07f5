#include "voice/answer_parsing.h"
#include "util/leading_number.h"
#include <cmath>

double answerValue(const QString &answer)
{
    QString packed;
    packed.reserve(answer.size());
    for (const QChar c : answer) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            packed += c;
    }
    const double v = leadingNumber(packed);
    if (!std::isfinite(v))
        throw CommandError(QStringLiteral("The number ") + answer.trimmed() + QStringLiteral(" is too large."));
    return v;
}
