// The Test details window (form testDetails): what the report names besides the
// measurement, as the operator types it. It shows the details it is given and hands back the
// ones OK takes; Report takes them the same way and then asks for the report. A refusal is
// shown in the window beside the fields. Nothing here waits for anything: the measurement
// runs on whatever the window does.
#pragma once

#include "records/testdetailsform.h"

#include <QDialog>
#include <utility>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kr5 {

class TestDetailsWindow : public QDialog {
    Q_OBJECT

  public:
    explicit TestDetailsWindow(QWidget* parent = nullptr);

    // The fields show these details; what was typed and not taken is dropped.
    void showDetails(const TestDetails& details);

  public slots:
    // Escape acts as Close.
    void reject() override;

  signals:
    // OK or Report took the fields: these are the test's details from now on.
    void detailsTaken(const TestDetails& details);
    // Report, after the fields were taken.
    void reportRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void addField(const QString& name, const QString& caption, QString TestDetailsFields::*field);
    // The fields as details, or none with the refusal shown.
    bool take();
    void showProblem(const QString& text);

    QGridLayout* grid_ = nullptr;
    std::vector<std::pair<QLineEdit*, QString TestDetailsFields::*>> fields_;
    QPlainTextEdit* notes_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace kr5
