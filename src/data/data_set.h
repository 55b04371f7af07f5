#pragma once
#include "data/file_header.h"
#include <QString>
#include <array>

class SettingsStore;
class StripChartModel;

// The one loaded data set: header, notes with their machine-readable section, the channel
// table and the bookkeeping. The samples themselves live in the chart's StripChartModel.
class DataSet {
public:
    static constexpr int NameSlots = 9;
    static constexpr QChar ItemSeparator = QChar(0xFF);
    static inline const QString SectionOpen = QStringLiteral("*[[*");
    static inline const QString SectionClose = QStringLiteral("*]]*");

    FileHeader header;
    QString Notes;
    std::array<QString, NameSlots> ChannelNames;
    std::array<QString, NameSlots> ChannelOffsets;   // text; empty = never set
    std::array<quint32, 8> ChannelColours{};
    int ChannelCount = 1;
    int LastIndex = 0;
    bool LoggedUsingUT = false;
    QString DataFileName;
    QString LoadedFileName;
    bool FileLoaded = false;
    bool DataReady = false;
    double AvgRate = 0;

    // Header and notes as every load starts from them.
    void getBlankHeaderInfo();
    // Header from the station settings (start-up).
    void getStaticHeaderInfo(const SettingsStore &settings);

    // Applies the items of the stored notes' section and returns the user's part of the notes;
    // empty when the section is missing or its markers are out of order.
    QString SplitNotes(const QString &stored);
    void ParseNotesItem(QString item);
    // Notes as a save writes them: user notes followed by the machine-readable section.
    QString GetModifiedNotes() const;

    // Mean samples per second over the loaded rows; 0 when there is no time span.
    void CalcAvgRate(const StripChartModel &chart);
};
