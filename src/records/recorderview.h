// The windows' copy of the recorder: the state the recording controls, the session and
// the remote control read, kept from the values the measurement sends, and set ahead of
// them by the session for a request on its way.
#pragma once

#include <QObject>
#include <QString>

namespace kr5 {

struct RecorderState {
    bool filePrepared = false;
    bool recording = false;
    bool recOnSelected = false;
    QString filePath;
    qint32 rowsWritten = 0;
    QString recOnCaption = QStringLiteral("REC ON");
    qsizetype waitingCount = 0;
    qsizetype waitingRows = 0;  // of the lines waiting, the data rows
    qint64 lostRows = 0;        // data rows given up while the disk stayed full
};

class RecorderView : public QObject {
    Q_OBJECT

  public:
    bool filePrepared() const { return s_.filePrepared; }
    bool recording() const { return s_.recording; }
    bool recOnSelected() const { return s_.recOnSelected; }
    const QString& filePath() const { return s_.filePath; }
    qint32 rowsWritten() const { return s_.rowsWritten; }
    const QString& recOnCaption() const { return s_.recOnCaption; }
    qsizetype waitingCount() const { return s_.waitingCount; }
    qsizetype waitingRows() const { return s_.waitingRows; }
    // The data rows in the file: those recorded less those waiting or lost.
    qint64 rowsOnDisk() const { return s_.rowsWritten - s_.waitingRows - s_.lostRows; }
    const RecorderState& state() const { return s_; }

    // Takes a state; each change is signalled.
    void show(const RecorderState& state);

  signals:
    void preparedChanged(bool prepared);
    void selectionChanged(bool recOnSelected);
    void recOnCaptionChanged(const QString& caption);

  private:
    RecorderState s_;
};

}  // namespace kr5
