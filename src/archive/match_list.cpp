#include "archive/match_list.h"
#include "archive/archive_search.h"
#include "ports/window_surface.h"
#include "voice/number_forms.h"
#include "voice/speech.h"

void MatchList::setEntries(const QStringList &entries)
{
    entries_ = entries;
    selected_ = -1;
    if (changed)
        changed();
    surface_.setVisible(QStringLiteral("List1"), !entries_.isEmpty());
}

void MatchList::select(int position)
{
    const int valid = position >= 0 && position < entries_.size() ? position : -1;
    if (valid == selected_)
        return;
    selected_ = valid;
    if (changed)
        changed();
}

void MatchList::List1_GotFocus()
{
    if (!entries_.isEmpty() && selected_ < 0)
        select(0);
    speech_.speak(QStringLiteral("Archive List has focus. Record ") + NumberForms::signPadded(selected_ + 1) +
                  QStringLiteral(" of ") + NumberForms::signPadded(double(entries_.size())));
}

void MatchList::speakPosition(int position, bool withText)
{
    speech_.speak(QStringLiteral("Record ") + QString::number(position + 1));
    if (withText && entryReadByScreenReader && entryReadByScreenReader())
        return;
    if (withText && position >= 0 && position < entries_.size())
        speech_.speak(entries_[position]);
}

bool MatchList::List1_KeyDown(const QString &keyName)
{
    QString key = keyName;
    bool modified = false;
    for (const char *modifier : {"Shift+", "Ctrl+", "Alt+"}) {
        if (key.contains(QLatin1String(modifier))) {
            modified = true;
            key.remove(QLatin1String(modifier));
        }
    }
    if (key == QLatin1String("Tab")) {
        // Back to the command line, as the window's focus order goes.
        surface_.setFocus(QStringLiteral("txtIn"));
        return true;
    }
    if (entries_.isEmpty()) {
        speech_.speak(QStringLiteral("No matching records."));
        return true;
    }
    const qsizetype record = selected_ >= 0 ? recordNumberOfEntry(entries_[selected_]) : 0;
    if (key == QLatin1String("Return")) {
        speakPosition(selected_, true);
        return true;
    }
    if (key.size() == 1 && QStringLiteral("SWIT").contains(key)) {
        if (fetchFile)
            fetchFile(record, key[0]);
        return true;
    }
    if (key == QLatin1String("Down") || key == QLatin1String("Up")) {
        const int last = int(entries_.size()) - 1;
        const int position = key == QLatin1String("Down") ? std::min(selected_ + 1, last) : std::max(selected_ - 1, 0);
        speakPosition(position, modified);
        select(position);   // the list's own move, after the words
        return true;
    }
    if (key == QLatin1String("F1")) {
        for (const QString &line : helpLines())
            speech_.speak(line);
        return true;
    }
    return false;
}

QStringList MatchList::helpLines()
{
    return {QStringLiteral("When Archive List search results has focus, use arrow keys to select a specific record."),
            QStringLiteral("Using the shift key with the arrow keys gives a full description of each record as it is selected."),
            QStringLiteral("Once a record is selected you can download it by pressing S for Lumora data, W for Wav, T for text, or I for image."),
            QStringLiteral("Press tab to go back to the normal command line.")};
}
