// The recording controls of the main window: the frame Frec with the option buttons
// Option1 ("REC ON", or the row count while recording) and Option2 ("PAUSE"), and the
// button bclose ("CLOSE"). They are visible only while a measurement file is prepared and
// cannot be used during a Q-N measurement. The clicks are requests to whoever decides
// (the session); the buttons show the Recorder's state.
#pragma once

#include "recorderview.h"

#include <QWidget>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace kr5 {

class RecordControls : public QWidget {
    Q_OBJECT

  public:
    explicit RecordControls(const RecorderView& recorder, QWidget* parent = nullptr);

    // During a Q-N measurement the frame and CLOSE are disabled.
    void setQnRunning(bool running);

  signals:
    void recordOnClicked();
    void pauseClicked();
    void closeClicked();

  private:
    void showPrepared(bool prepared);
    // REC ON's caption, and its accessible name with the row count it shows.
    void showCaption(const QString& caption);
    void showSelection(bool recOn);

    const RecorderView& recorder_;
    QGroupBox* frame_ = nullptr;
    QRadioButton* recOnButton_ = nullptr;
    QRadioButton* pauseButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace kr5
