// The V-Q window `VQ`: shows the V-Q (or Q-N) chart at 1:1 with the result table Text1
// beside it, saves its picture and forwards the rest of its menu. Closing it by its frame discards
// it (the owner reloads it on its next use); Close only hides it.
#pragma once

#include "charts/chartplotter.h"
#include "charts/chartwindow.h"
#include "charts/resulttable.h"

#include <QLabel>

class QTableView;

namespace kr5 {

class VqWindow : public ChartWindow, public VqView {
    Q_OBJECT

  public:
    static constexpr int graWidth = 385;
    static constexpr int graHeight = 345;

    VqWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent = nullptr);

    // The text of the result table Text1 as it was set, CR LF line ends included.
    const QString& resultText() const { return resultText_; }
    // The table Text1 shows it in: the first line's titles over one column each.
    QTableView& resultTable() const { return *resultTable_; }
    bool resultTextShown() const;

    void setResultText(const QString& text) override;
    void setResultTextShown(bool visible) override;
    void setResultDoubt(const QString& doubt) override;
    // A warning over the chart's lower part (Set Q within the background noise); empty
    // hides it.
    void setNoiseWarning(const QString& warning);
    void setCaption(const QString& caption) override { setWindowTitle(caption); }

  signals:
    void eraseRequested();  // verase
    void saveRequested();   // sdata
    // Closed by its frame: the chart and the result text count as discarded.
    void unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fitResultTable();

    QTableView* resultTable_ = nullptr;
    ResultTableModel* resultModel_ = nullptr;  // owned by the table
    QLabel* noiseWarning_ = nullptr;
    QString resultText_;
};

}  // namespace kr5
