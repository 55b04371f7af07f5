#include "view/offset_panel.h"
#include "data/data_set.h"
#include "ports/window_surface.h"
#include "util/leading_number.h"
#include "voice/number_forms.h"
#include "voice/speech.h"

void OffsetPanel::close()
{
    visible_ = false;
    surface_.setVisible(QStringLiteral("Frame1"), false);
    surface_.setPicture(QStringLiteral("cmdOffset"), QStringLiteral("closed"));
}

void OffsetPanel::cmdOffset_Click()
{
    if (visible_) {
        close();
        return;
    }
    const bool several = data_.ChannelCount != 1;
    surface_.setEnabled(QStringLiteral("txtChannel"), several);
    for (const char *name : {"cmdChUp", "cmdCHDown", "LBLOffsetCH"})
        surface_.setVisible(QLatin1String(name), several);
    if (OffsetChannel < 1 || OffsetChannel > data_.ChannelCount)
        OffsetChannel = 1;
    visible_ = true;
    surface_.setVisible(QStringLiteral("Frame1"), true);
    surface_.setPicture(QStringLiteral("cmdOffset"), QStringLiteral("open"));
    UpdateChannelOffsetControls();
    speakOffset();
}

void OffsetPanel::UpdateChannelOffsetControls()
{
    surface_.setLabel(QStringLiteral("txtChannel"), QString::number(OffsetChannel));
    surface_.setLabel(QStringLiteral("TxtOffset"), validChannel() ? data_.ChannelOffsets[size_t(OffsetChannel - 1)] : QString());
    if (colourBoxes)
        colourBoxes(OffsetChannel - 1);
    surface_.setFocus(QStringLiteral("iStripChartX1"));
}

void OffsetPanel::cmdChUp_Click()
{
    if (OffsetChannel + 1 <= data_.ChannelCount && OffsetChannel + 1 <= Slots)
        ++OffsetChannel;
    UpdateChannelOffsetControls();
    speakOffset();
}

void OffsetPanel::cmdCHDown_Click()
{
    if (OffsetChannel > 1)
        --OffsetChannel;
    UpdateChannelOffsetControls();
    speakOffset();
}

double OffsetPanel::offset() const
{
    return validChannel() ? leadingNumber(data_.ChannelOffsets[size_t(OffsetChannel - 1)]) : 0;
}

void OffsetPanel::setOffset(double value)
{
    if (validChannel())
        data_.ChannelOffsets[size_t(OffsetChannel - 1)] = QString::number(value, 'g', 15);
}

void OffsetPanel::addToOffset(double amount)
{
    if (!validChannel())
        return;
    setOffset(offset() + amount);
    UpdateChannelOffsetControls();
    speakOffset();
}

void OffsetPanel::TxtOffset_Enter(const QString &text)
{
    if (!validChannel())
        return;
    setOffset(leadingNumber(text));
    UpdateChannelOffsetControls();
    speakOffset();
}

void OffsetPanel::speakOffset()
{
    if (validChannel())
        speech_.speak(QStringLiteral("Offset channel %1 offset %2").arg(OffsetChannel).arg(speech_.numbers.value(offset()).trimmed()));
}
