#pragma once
#include "load_fixture.h"
#include <QFile>
#include <QSaveFile>

// A save file whose writes fail once `budget` bytes went through: a full disk, a lost drive.
class FailingSaveFile : public QSaveFile {
public:
    FailingSaveFile(const QString &path, qint64 budget) : QSaveFile(path), budget_(budget) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (len > budget_)
            return -1;
        budget_ -= len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 budget_;
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
    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
};
