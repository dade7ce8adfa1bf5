// Recording into the measurement file: the states no file / prepared or paused /
// recording, the handlers of REC ON (Option1), PAUSE (Option2) and CLOSE (bclose), the
// data row of each reading and the marker lines. The recording frame only shows this
// state and forwards its clicks.
#pragma once

#include "measure/reading.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "records/recorderview.h"
#include "records/recordfile.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace kr5 {

class Recorder : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    // files: where the measurement file is written.
    Recorder(const Clock& clock, Files& files);

    // A file is prepared (until CLOSE).
    bool filePrepared() const { return filePrepared_; }
    // Each complete reading adds a data row.
    bool recording() const { return recording_; }
    // The measurement file.
    const QString& filePath() const { return path_; }
    // rowsWritten: data rows since the file was prepared.
    qint32 rowsWritten() const { return rowsWritten_; }
    // Which option button is selected: REC ON (true) or PAUSE.
    bool recOnSelected() const { return recOnSelected_; }
    // The caption of Option1: "REC ON", or the row count while recording.
    const QString& recOnCaption() const { return recOnCaption_; }
    RecorderState state() const {
        return {filePrepared_,   recording_,    recOnSelected_,       path_,
                rowsWritten_,    recOnCaption_, file_.waitingCount(), file_.waitingRows(),
                file_.lostRows()};
    }

    // After File > Save has chosen path: creates the file with the header lines and
    // enters the prepared state (rowsWritten 0, not recording, PAUSE selected). Returns false, with
    // the reason in problem, when the file cannot be created; nothing changes then.
    bool prepare(const QString& path, const QStringList& header, QString* problem);
    // The same for a file already created with these header lines (lines still waiting
    // for an old file of that name are dropped).
    void adopt(const QString& path, const QStringList& header);

    // REC ON, PAUSE and CLOSE. Each runs only when its button's selection changes (a
    // click on the button already selected does nothing), and none of them waits.
    void recordOn();
    void pauseRecording();
    void closeFile();

    // The data row of a reading, written only while recording runs and only for a
    // complete reading: attenuator index, charge in pC, rate-meter range index, pulses
    // per second, test voltage. A reading with a unit's reply missing has no row.
    void takeReading(const Reading& reading) override;

    // A marker line "<tag>","<time>","dummy","dummy","dummy" with the time of writing,
    // whether or not recording runs (PAUSE and RECOFF are written after it stopped).
    void appendMarker(const QString& tag);

    // The Q-N measurement's markers, written only while recording runs: the start
    // marker with the condition, the test voltage as shown and the passes, and the end
    // marker "QNend".
    void appendQnStart(const QString& condition, const QString& testVoltage, qint32 passes);
    void appendQnEnd();

    // Lines waiting to be written.
    qsizetype waitingCount() const { return file_.waitingCount(); }
    // The data rows in the file: those recorded less those waiting or lost.
    qint64 rowsOnDisk() const { return rowsWritten_ - file_.waitingRows() - file_.lostRows(); }

  signals:
    // A file was prepared (true) or closed (false): File > Save, the recording frame and
    // the Input const window's OK follow this.
    void preparedChanged(bool prepared);
    // The selected option button changed, or a click was not taken and the buttons must
    // show the selection again.
    void selectionChanged(bool recOnSelected);
    void recOnCaptionChanged(const QString& caption);
    // A line could not be written: the text says which file, why, and how many lines
    // wait in memory. Sent at each failed write while the trouble lasts.
    void writeProblem(const QString& text);
    // The same, once when the trouble begins (after a time without it).
    void writeProblemBegan(const QString& text);
    // Every waiting line has been written after a problem.
    void writeRecovered();
    // The file went away while prepared (deleted, its folder removed): recording goes on
    // in newPath, made with the same header and a RECON marker; the text says so.
    void fileReplaced(const QString& newPath, const QString& text);

  private:
    void pause();
    void setCaption(const QString& caption);
    void select(bool recOn);
    void write(const QString& line, bool row = false);
    // After a write found the file gone: a new file of the next free numbered name.
    void continueInNewFile();

    const Clock& clock_;
    RecordFile file_;
    Files& files_;
    QString path_;
    QStringList header_;  // of the file prepared, for one made in its place
    QString preparedPath_;
    int nextNumber_ = 2;  // of the next file made in its place
    bool filePrepared_ = false;
    bool recording_ = false;
    qint32 rowsWritten_ = 0;
    bool recOnSelected_ = false;
    QString recOnCaption_;
};

}  // namespace kr5
