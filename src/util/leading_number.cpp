#include "util/leading_number.h"

double leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'+' || t[end] == u'-'))
        ++end;
    bool digits = false, point = false;
    while (end < t.size()) {
        if (t[end].isDigit() && t[end].unicode() < 128) {
            digits = true;
        } else if (t[end] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        ++end;
    }
    if (!digits)
        return 0;
    if (end < t.size() && (t[end] == u'e' || t[end] == u'E')) {
        qsizetype e = end + 1;
        if (e < t.size() && (t[e] == u'+' || t[e] == u'-'))
            ++e;
        if (e < t.size() && t[e].isDigit()) {
            while (e < t.size() && t[e].isDigit())
                ++e;
            end = e;
        }
    }
    return t.left(end).toDouble();
}
