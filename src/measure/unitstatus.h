// Which units are answering: counts, per unit, the readings in a row that came without
// its valid reply, and says so in one line for the status bar and the status print
// ("KR-5: no reply (3)"). Empty while every unit answers. It also keeps the totals since
// the start, for the summary a run with --status ends with.
#pragma once

#include "measure/reading.h"

#include <QObject>
#include <QString>

namespace kr5 {

class UnitStatus : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    void takeReading(const Reading& reading) override;

    const QString& text() const { return text_; }
    int detectorMisses() const { return detectorMisses_; }
    int acMisses() const { return acMisses_; }
    int discriminatorMisses() const { return discriminatorMisses_; }
    // "readings 1234, without a reply: KR-5 0, ACU 1, ZN-4 0"
    QString summary() const;

  signals:
    void changed(const QString& text);

  private:
    int detectorMisses_ = 0;
    int acMisses_ = 0;
    int discriminatorMisses_ = 0;
    qint64 readings_ = 0;
    qint64 detectorMissed_ = 0;
    qint64 acMissed_ = 0;
    qint64 discriminatorMissed_ = 0;
    QString text_;
};

}  // namespace kr5
