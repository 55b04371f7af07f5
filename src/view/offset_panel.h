#pragma once
#include <QString>
#include <functional>

class DataSet;
class WindowSurface;
class Speech;

// The channel-offset panel (Frame1): shows and edits the offset stored with the file for one
// channel (1..9) at a time. The offsets are saved with the file.
class OffsetPanel {
public:
    OffsetPanel(DataSet &data, WindowSurface &surface, Speech &speech)
        : data_(data), surface_(surface), speech_(speech) {}

    // Colours the channel and offset boxes after chart channel `index` (wired by the window).
    std::function<void(int index)> colourBoxes;

    int OffsetChannel = 1;
    bool visible() const { return visible_; }

    void cmdOffset_Click();
    void cmdOffSetUp_Click() { addToOffset(10); }
    void cmdOffsetDown_Click() { addToOffset(-10); }
    void cmdChUp_Click();
    void cmdCHDown_Click();
    // Enter in TxtOffset: the typed number becomes the channel's offset.
    void TxtOffset_Enter(const QString &text);
    void UpdateChannelOffsetControls();
    // Hides the panel (a new load, or the offset button).
    void close();

    static constexpr int Slots = 9;

private:
    void addToOffset(double amount);
    double offset() const;
    void setOffset(double value);
    void speakOffset();
    bool validChannel() const { return OffsetChannel >= 1 && OffsetChannel <= Slots; }

    DataSet &data_;
    WindowSurface &surface_;
    Speech &speech_;
    bool visible_ = false;
};
