// The Q-N window `QN`: shows the still Q-N chart at 1:1 and forwards its menu. A copy-in
// shows it; closing it, by Close or by its frame, only hides it.
#pragma once

#include "charts/qnpicture.h"

#include <QMainWindow>

namespace kr5 {

class QnWindow : public QMainWindow {
  public:
    QnWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent = nullptr);

    QnPicture& picture() { return picture_; }

    // Takes the V-Q window's chart and shows the window.
    void copyIn(const QImage& vqPicture);

    void savePicture() { picture_.save(); }
    void copyPicture() { picture_.copy(); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QnPicture picture_;
};

}  // namespace kr5
