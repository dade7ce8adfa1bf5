// Recording into the measurement file: the states no file / prepared or paused /
// recording, the handlers of REC ON (Option1), PAUSE (Option2) and CLOSE (bclose), the
// data row of each reading and the marker lines. The recording frame only shows this
// state and forwards its clicks.
#pragma once

#include "app/globals.h"
#include "app/timing.h"
#include "platform/clock.h"
#include "recordfile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace kr5 {

class Recorder : public QObject {
    Q_OBJECT

  public:
    Recorder(Globals& g, Timing& timing, const Clock& clock);

    // csvready: a file is prepared (until CLOSE).
    bool csvready() const { return csvready_; }
    // recno: data rows since the file was prepared.
    qint32 recno() const { return recno_; }
    // Which option button is selected: REC ON (true) or PAUSE.
    bool recOnSelected() const { return recOnSelected_; }
    // The caption of Option1: "REC ON", or the row count while recording.
    const QString& recOnCaption() const { return recOnCaption_; }

    // After File > Save has chosen path: creates the file with the header lines and
    // enters the prepared state (recno 0, recon off, PAUSE selected), with g.csvfile =
    // path. Returns false, with the reason in problem, when the file cannot be created;
    // nothing changes then.
    bool prepare(const QString& path, const QStringList& header, QString* problem);

    // REC ON, PAUSE and CLOSE. Each runs only when its button's selection changes (a
    // click on the button already selected does nothing) and not while another of them
    // is still waiting its 100 ms.
    void option1Click();
    void option2Click();
    void bcloseClick();

    // The data row of one reading, written only while recording runs: attenuator index,
    // charge in pC, rate-meter range index, pulses per second, test voltage.
    void dataRow(qint32 att, double q, qint32 rateIndex, double pps, double tv);

    // A marker line "<tag>","<time>","dummy","dummy","dummy" with the time of writing,
    // whether or not recording runs (PAUSE and RECOFF are written after recon clears).
    void appendMarker(const QString& tag);

    // The Q-N measurement's markers, written only while recording runs: the start
    // marker with qncond, qntv and qnloops, and the end marker "QNend".
    void appendQnStart();
    void appendQnEnd();

    // A line could not be written: the text says which file, why, and how many lines
    // wait in memory. Called at each failed write while the trouble lasts.
    std::function<void(const QString&)> onWriteProblem;
    // Every waiting line has been written after a problem.
    std::function<void()> onWriteRecovered;

    // Lines waiting to be written.
    qsizetype waitingCount() const { return file_.waitingCount(); }

  signals:
    // A file was prepared (true) or closed (false): File > Save, the recording frame and
    // the Input const window's OK follow this.
    void preparedChanged(bool prepared);
    // The selected option button changed, or a click was not taken and the buttons must
    // show the selection again.
    void selectionChanged(bool recOnSelected);
    void recOnCaptionChanged(const QString& caption);

  private:
    void pause();
    void setCaption(const QString& caption);
    void select(bool recOn);
    void write(const QString& line);

    Globals& g_;
    Timing& timing_;
    const Clock& clock_;
    RecordFile file_;
    bool csvready_ = false;
    qint32 recno_ = 0;
    bool recOnSelected_ = false;
    bool busy_ = false;
    QString recOnCaption_;
};

}  // namespace kr5
