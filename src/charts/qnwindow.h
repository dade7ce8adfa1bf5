// The Q-N window `QN`: shows the still Q-N chart at 1:1 and forwards its menu. A copy-in
// shows it; closing it, by Close or by its frame, only hides it.
#pragma once

#include "charts/qnpicture.h"

#include <QLabel>
#include <QMainWindow>

namespace kr5 {

class QnWindow : public QMainWindow {
  public:
    QnWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent = nullptr);

    QnPicture& picture() { return picture_; }

    // Takes the V-Q window's chart and shows the window.
    void copyIn(const QImage& vqPicture);

    // Qm of the last pass and of the current block (texts of Qm), under the chart.
    void showQm(const QString& lastPass, const QString& block, int passesInBlock);

    void savePicture() { picture_.save(); }
    void copyPicture() { picture_.copy(); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QnPicture picture_;
    QLabel* qm_ = nullptr;
};

}  // namespace kr5
