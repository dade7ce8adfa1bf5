// What the operator is told about the background: in the status bar, that it is being
// measured and then the level found; on the V-Q window, while Set Q is not above twice
// the background, that CSV and CEV would be noise.
#pragma once

#include "app/mainwindow.h"
#include "charts/vqwindow.h"
#include "core/inputconstants.h"
#include "measure/background.h"

namespace kr5 {

class BackgroundNotices {
  public:
    struct Parts {
        const BackgroundLevel& background;
        const InputConstants& constants;
        VqWindow& vq;
        MainWindow& main;
    };
    explicit BackgroundNotices(const Parts& parts) : p_(parts) {}

    // Measure background was chosen and the session let it start.
    void measuringStarted();
    // A new level: the noise warning again, and the level once the measurement asked for
    // has ended.
    void levelChanged();
    // The measurement asked for ended without a level, with why.
    void refused(const QString& why);
    // Shown while Set Q is within the noise, cleared otherwise.
    void showNoiseWarning();

  private:
    Parts p_;
    bool measuring_ = false;  // chosen from the menu, not yet done
};

}  // namespace kr5
