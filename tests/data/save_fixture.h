#pragma once
#include "load_fixture.h"
#include <QFile>
#include <QSaveFile>
#include <cstring>
#include <memory>

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

// A loaded Viewer with a data folder of its own.
class SaveFixture : public LoadFixture {
protected:
    QString dataDir;

    void SetUp() override
    {
        LoadFixture::SetUp();
        dataDir = path(QStringLiteral("obs"));
        setting(QStringLiteral("DataDirectory"), dataDir);
    }

    void setting(const QString &key, const QString &value) { settings.write(QStringLiteral("Settings"), key, value); }

    // Shows the rows first..last (by their time stamps).
    void showRows(int first, int last)
    {
        viewer.chart.setXAxisMin(viewer.chart.GetTime(first));
        viewer.chart.setXAxisMax(viewer.chart.GetTime(last));
    }

    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    bool boxSaid(const QString &start) const
    {
        for (const auto &b : surface.boxes) {
            if (b.text.startsWith(start))
                return true;
        }
        return false;
    }

    static bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};
