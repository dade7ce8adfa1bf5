// The Q-N window `QN`: shows the still Q-N chart at 1:1 and forwards its menu; saves the
// chart as BMP (qnsave) or as PNG or SVG (savepic) and the counts of the passes as CSV.
// A copy-in shows it; closing it, by Close or by its frame, only hides it.
#pragma once

#include "charts/qnpicture.h"
#include "core/qncounts.h"

#include <QLabel>
#include <QMainWindow>

namespace kr5 {

class QnWindow : public QMainWindow {
    Q_OBJECT

  public:
    QnWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent = nullptr);

    QnPicture& picture() { return picture_; }

    // Takes the V-Q window's chart and shows the window.
    void copyIn(const QImage& vqPicture, const SurfaceDrawing& vqDrawing);

    // Qm of the last pass and of the current block (texts of Qm), under the chart.
    void showQm(const QString& lastPass, const QString& block, int passesInBlock);
    void showNqn(const QString& lastPass, const QString& block);

    void savePicture() { picture_.save(); }
    void copyPicture() { picture_.copy(); }

    // savepic: the chart as PNG or SVG ("qn.png" proposed). Nothing before a copy-in.
    void savePictureAs();

    // The counts of the block the chart shows, for savecounts; adjust makes each range's
    // division its charge threshold in pC.
    void setCounts(const QnPasses& passes, double adjust);
    // savecounts: the counts as CSV ("qn.csv" proposed). Nothing before any pass.
    void saveCounts();

    // Wide enough for every item of its menu bar and for the Qm line as it reads with
    // a block of passes; the chart fills what the window has beyond that.
    QSize sizeHint() const override;

  signals:
    // Not sent when the window system hides or shows it by itself (the main window
    // minimised and restored).
    void shownChanged(bool shown);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Dialogs& dialogs_;
    QnPicture picture_;
    QnPasses passes_;
    double adjust_ = 1.0;
    QLabel* qm_ = nullptr;
    QLabel* nqn_ = nullptr;
};

}  // namespace kr5
