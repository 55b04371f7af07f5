#pragma once
#include "load_fixture.h"
#include <QFile>
#include <QSaveFile>
#include <cerrno>

// A save file on a disk that fills up after `room` bytes: the write that reaches the end takes
// what still fits, the next is refused with the system's own "no space" reason.
class FullDiskSaveFile : public QSaveFile {
public:
    FullDiskSaveFile(const QString &path, qint64 room) : QSaveFile(path), room_(room) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (room_ == 0) {
            setErrorString(qt_error_string(ENOSPC));
            return -1;
        }
        const qint64 n = qMin(len, room_);
        room_ -= n;
        return QSaveFile::writeData(data, n);
    }

private:
    qint64 room_;
};

// A started Viewer whose data folder is in the scratch folder.
class SaveFixture : public LoadFixture {
protected:
    QString dataDir;

    void SetUp() override
    {
        LoadFixture::SetUp();
        dataDir = path(QStringLiteral("obs"));
        setting("DataDirectory", dataDir);
    }

    void setting(const char *key, const QString &value) { settings.write(QStringLiteral("Settings"), QLatin1String(key), value); }
    void showRows(int first, int last)
    {
        viewer.chart.setXAxisMin(viewer.chart.GetTime(first));
        viewer.chart.setXAxisMax(viewer.chart.GetTime(last));
    }
    void type(const QString &line)
    {
        viewer.commandText = line;
        viewer.keyPress(QStringLiteral("Return"));
    }
};
