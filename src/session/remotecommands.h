// The commands of the remote control (SCPI over TCP, see RemoteServer): each one carried
// out through the same model and path as the window's click it stands for, so that the
// windows show what a command did and a command is refused exactly where the click would
// be. A command the program's state forbids changes nothing and leaves -221 with the
// reason on the client's error queue.
//
// Queries answer at once from the latest normal reading; nothing here waits for the line.
// A value the program does not have (a unit that did not answer, a reading older than
// kStaleMs, no inception yet) is answered with SCPI's not-a-number 9.91E37 and -230 on
// the error queue, so that a client is never left waiting nor given a made-up number.
#pragma once

#include "core/operatingsettings.h"
#include "core/scpi.h"
#include "link/units.h"
#include "measure/background.h"
#include "measure/inception.h"
#include "measure/panelmodel.h"
#include "measure/reading.h"
#include "modes/acceptance.h"
#include "modes/qnview.h"
#include "modes/zn4panel.h"
#include "platform/clock.h"
#include "records/constantsform.h"
#include "records/optionsform.h"
#include "records/recorderview.h"
#include "results/resultsstore.h"
#include "session/session.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace kr5 {

class RemoteCommands : public ReadingListener {
  public:
    // A reading older than this is no longer the present value (the line is lost, or a
    // Q-N pass has stopped the normal cycles).
    static constexpr qint64 kStaleMs = 5000;
    // SCPI's not-a-number.
    static const char* const kNotANumber;

    struct Parts {
        const UnitsOnLine& units;
        const OperatingSettings& settings;
        Session& session;
        const PanelModel& panel;
        OptionsForm& options;
        const ConstantsForm& constants;
        const RecorderView& recorder;
        const QnView& qn;
        const Zn4Panel& discriminator;
        const InceptionDetector& inception;
        const BackgroundLevel& background;
        const AcceptanceTest& acceptance;
        const Calibration& calibration;
        const Clock& clock;
        QString programVersion;  // for *IDN?
        // Writes the report the window's Report would to a PDF; why not, or empty.
        std::function<QString(const QString& path)> writeReport;
        // The results store's count and last test, as last read; none: no store.
        std::function<StoreFacts()> resultsFacts = {};
    };

    explicit RemoteCommands(const Parts& parts);

    // Runs one received line; returns the replies of its queries, joined by ';', or
    // nothing. Errors go to the client's queue.
    QByteArray execute(const QByteArray& line, ScpiErrorQueue& errors);

    // Keeps the latest normal reading.
    void takeReading(const Reading& reading) override;

  private:
    struct Context;
    // One command: its header as declared (long form with the short form in capitals, a
    // trailing '?' for a query), whether it takes a value, and what it does.
    struct Row {
        const char* header;
        bool takesValue;
        void (*handler)(RemoteCommands& self, const ScpiCommand& command, Context& context);
    };
    static const std::vector<Row>& rows();
    enum class Quantity { Charge, Rate, Voltage };

    void reset();
    static void tell(const Outcome& outcome, Context& context);

    void setAcceptance(AcceptanceField field, const ScpiParam& param, Context& context);
    template <QString TestDetailsFields::*Field>
    static void setDetail(RemoteCommands& self, const ScpiCommand& command, Context& context);
    template <QString TestDetailsFields::*Field>
    static void answerDetail(RemoteCommands& self, const ScpiCommand& command, Context& context);
    void writeReport(const ScpiParam& param, Context& context);
    void setQnOption(OptionsForm::Group group, const ScpiParam& param, Context& context);
    void answerCalibrationProposal(Context& context) const;
    void answerCalibrationRecord(Context& context) const;
    void answerAcceptance(AcceptanceField field, Context& context) const;
    void setRange(bool attenuator, const ScpiParam& param, Context& context);
    void setRemote(const ScpiParam& param, Context& context);
    void setSampleTime(const ScpiParam& param, Context& context);
    void setTestName(const ScpiParam& param, Context& context);
    void openFile(const ScpiParam& param, Context& context);
    void setRecordState(const ScpiParam& param, Context& context);
    void setDiscriminator(Session::DiscriminatorSetting setting, const ScpiParam& param,
                          Context& context);

    // The latest normal reading while it is the present value; null with the reason
    // otherwise.
    const Reading* presentReading(QString* why) const;
    void answerMeasured(Quantity quantity, Context& context) const;
    void answerBackground(Context& context) const;
    void answerInception(bool inception, Context& context) const;
    void answerVerdict(Context& context) const;
    void answerDiscriminator(int shown, Context& context) const;
    QByteArray readAnswer(Context& context) const;
    QByteArray qnCountsAnswer(Context& context) const;
    // Qm, or NQN, of the last pass and of the block; not-a-number where there is none.
    void answerQm(bool nqn, Context& context) const;
    // The store's count, or "<id>",<verdict>,<largest pC>,<inception kV>,<extinction kV>,
    // <Qm pC>,<NQN> of the last test this bay stored.
    void answerResults(bool last, Context& context) const;
    QByteArray identity() const;

    Parts p_;
    ScpiCommandTable table_;
    std::optional<Reading> latest_;
    bool pauseWhenQnEnds_ = false;  // *RST came during a Q-N measurement
};

}  // namespace kr5
