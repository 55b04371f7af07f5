#pragma once
#include "ports/audio_port.h"
#include <QFile>
#include <functional>
#include <memory>

class QSaveFile;

class PaceClock;

// Records the tone as it would be heard into a WAV file (8-bit unsigned mono, 44100 Hz):
// each buffer loops until the next change, for as long as the clock says passed; a buffer
// replaced with no time passed still sounds for one whole buffer, so every change is heard.
// While stopped, the time passes as silence.
class WavRecorder : public AudioPort {
public:
    // InPlace writes the file as the sound comes, so a recording cut short still plays;
    // Whole writes beside it and puts it in place only at finish(), so a failed or abandoned
    // recording leaves an earlier file at that name untouched.
    enum class Target { InPlace, Whole };
    WavRecorder(const QString &path, const PaceClock &clock, Target target = Target::InPlace);
    ~WavRecorder() override;

    bool isOpen() const { return file_->isOpen(); }
    QString errorString() const { return file_->errorString(); }
    const QFileDevice &file() const { return *file_; }
    // Writes what is still due and completes the file's header; later calls do nothing.
    // False when the file is not whole on disk (a Whole recording is then not put in place).
    bool finish();
    // A Whole recording that is not wanted after all: nothing is put in place.
    void abandon();
    qint64 samplesWritten() const { return written_; }
    // A write or a seek failed (a full disk): the recording stopped there, its header telling
    // how much of it reached the file. Reported once: through onFailure, or as the device's
    // problem when it happened before anyone listened.
    bool failed() const { return failed_ || !opened_; }
    std::function<void(const QString &reason)> onFailure;

    void createBuffer(int length) override;
    void writeBuffer(const QByteArray &bytes) override;
    void playLooping() override;
    void stop() override;
    QString problem() const override;

private:
    // Writes the sound heard since the last change; `change` = the buffer or the playing
    // state is about to change.
    void catchUp(bool change);
    void writeLooped(qint64 count);
    void writeSilence(qint64 count);
    void writeHeader();
    void writeData(const char *bytes, qint64 count);
    void fail();
    qint64 sampleAt(qint64 us) const;

    std::unique_ptr<QFileDevice> file_;
    QSaveFile *saveFile_ = nullptr;   // file_, when the recording is put in place at the end
    const PaceClock &clock_;
    QByteArray buffer_;
    qint64 position_ = 0;       // read position in the buffer
    bool playing_ = false;
    bool unheard_ = false;      // the current buffer has not sounded yet
    qint64 lastSample_ = 0;     // clock position, in samples, of the last catch-up
    qint64 written_ = 0;        // samples heard
    qint64 dataBytes_ = 0;      // samples that reached the file
    bool opened_ = false;
    bool failed_ = false;
    QString failure_;
};
