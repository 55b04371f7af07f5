#include "sound/wav_recorder.h"
#include "ports/pace_clock.h"
#include "data/file_write.h"
#include "sound/tone_generator.h"
#include <QSaveFile>
#include <QtEndian>

namespace {
constexpr char Silence = char(0x80);
constexpr int HeaderBytes = 44;
}

WavRecorder::WavRecorder(const QString &path, const PaceClock &clock, Target target) : clock_(clock)
{
    if (target == Target::Whole) {
        auto save = std::make_unique<QSaveFile>(path);
        saveFile_ = save.get();
        file_ = std::move(save);
    } else {
        file_ = std::make_unique<QFile>(path);
    }
    // Unbuffered, so a full disk shows at the write that did not fit rather than at close.
    opened_ = file_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    if (opened_)
        writeHeader();
    lastSample_ = sampleAt(clock_.nowUs());
}

WavRecorder::~WavRecorder()
{
    // A recording kept whole until the end was never asked to be finished: it is not wanted.
    if (saveFile_)
        abandon();
    else
        finish();
}

QString WavRecorder::problem() const
{
    if (!opened_)
        return QStringLiteral("Cannot write the sound file ") + file_->fileName() + QStringLiteral(".");
    return failure_;
}

qint64 WavRecorder::sampleAt(qint64 us) const
{
    // From absolute times, so steps of 1/N second add up without drift.
    return us * ToneGenerator::SampleRate / 1000000;
}

void WavRecorder::catchUp(bool change)
{
    const qint64 now = sampleAt(clock_.nowUs());
    qint64 count = now - lastSample_;
    lastSample_ = now;
    if (!playing_ || buffer_.isEmpty()) {
        writeSilence(count);
        return;
    }
    if (count <= 0 && change && unheard_)
        count = buffer_.size();
    if (count > 0) {
        writeLooped(count);
        unheard_ = false;
    }
}

void WavRecorder::createBuffer(int length)
{
    catchUp(true);
    buffer_ = QByteArray(qMax(length, 0), Silence);
    position_ = 0;
    unheard_ = false;   // silence until written: nothing worth a buffer of its own
}

void WavRecorder::writeBuffer(const QByteArray &bytes)
{
    catchUp(true);
    buffer_ = bytes;
    if (!buffer_.isEmpty())
        position_ %= buffer_.size();
    unheard_ = true;
}

void WavRecorder::playLooping()
{
    if (playing_)
        return;
    catchUp(true);
    playing_ = true;
    unheard_ = true;
}

void WavRecorder::stop()
{
    if (!playing_)
        return;
    catchUp(true);
    playing_ = false;
}

void WavRecorder::writeLooped(qint64 count)
{
    while (count > 0) {
        const qint64 n = qMin(count, qint64(buffer_.size()) - position_);
        writeData(buffer_.constData() + position_, n);
        written_ += n;
        count -= n;
        position_ = (position_ + n) % buffer_.size();
    }
}

void WavRecorder::writeSilence(qint64 count)
{
    static const QByteArray block(4096, Silence);
    while (count > 0) {
        const qint64 n = qMin(count, qint64(block.size()));
        writeData(block.constData(), n);
        written_ += n;
        count -= n;
    }
}

void WavRecorder::writeData(const char *bytes, qint64 count)
{
    if (!file_->isOpen() || failed_)
        return;
    const qint64 done = file_->write(bytes, count);
    dataBytes_ += qMax<qint64>(done, 0);
    if (done != count)
        fail();
}

void WavRecorder::fail()
{
    if (failed_)
        return;
    failed_ = true;
    failure_ = QStringLiteral("The sound file ") + file_->fileName() + QStringLiteral(" could not be written: ") +
               file_->errorString() + QStringLiteral(". The recording stops here.");
    if (onFailure)
        onFailure(failure_);
}

bool WavRecorder::finish()
{
    if (!file_->isOpen())
        return !failed();
    catchUp(true);
    writeHeader();
    if (!saveFile_) {
        file_->close();
        return !failed();
    }
    if (failed_)
        saveFile_->cancelWriting();
    if (!FileWrite::commit(*saveFile_) && !failed_)
        fail();
    return !failed();
}

void WavRecorder::abandon()
{
    if (saveFile_ && saveFile_->isOpen()) {
        saveFile_->cancelWriting();
        saveFile_->commit();
    }
}

void WavRecorder::writeHeader()
{
    auto le32 = [](quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; };
    auto le16 = [](quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; };
    // Counts what is in the file, so a recording cut short by a full disk still plays.
    const quint32 dataBytes = quint32(qMin<qint64>(dataBytes_, 0xFFFFFFFFLL - HeaderBytes));
    QByteArray h;
    h += "RIFF" + le32(HeaderBytes - 8 + dataBytes) + "WAVE";
    h += "fmt " + le32(16) + le16(1) + le16(1) + le32(ToneGenerator::SampleRate) + le32(ToneGenerator::SampleRate) +
         le16(1) + le16(8);
    h += "data" + le32(dataBytes);
    const qint64 end = HeaderBytes + dataBytes_;
    if (!file_->seek(0) || file_->write(h) != h.size()) {
        fail();
        return;
    }
    if (end > HeaderBytes && !file_->seek(end))
        fail();
}
