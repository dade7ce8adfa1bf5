// The V-Q window `VQ`: shows the V-Q (or Q-N) chart at 1:1 with the result box Text1 over
// it, and forwards its menu. Closing it by its frame discards it (the owner reloads it on
// its next use); Close only hides it.
#pragma once

#include "charts/geaph.h"
#include "charts/shownwatch.h"
#include "platform/clipboard.h"
#include "platform/imagesurface.h"

#include <QMainWindow>
#include <functional>

class QPlainTextEdit;

namespace kr5 {

class VqWindow : public QMainWindow, public VqView {
  public:
    static constexpr int graWidth = 385;
    static constexpr int graHeight = 345;

    explicit VqWindow(Clipboard& clipboard, QWidget* parent = nullptr);

    ImageSurface& surface() { return surface_; }
    // Shows what has been drawn on the chart since the last refresh.
    void refresh();
    // The text of Text1 as it was set, CR LF line ends included.
    const QString& text1() const { return text1_; }
    bool text1Shown() const;

    void setText1(const QString& text) override;
    void setText1Shown(bool visible) override;
    void setVqCaption(const QString& caption) override { setWindowTitle(caption); }

    std::function<void()> onErase;   // verase
    std::function<void()> onSave;    // sdata
    std::function<void()> onUnload;  // closed by the frame
    charts::ShownWatch shown;

    void vqclsClick() { hide(); }
    void vcopyClick();
    void veraseClick();
    void sdataClick();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Clipboard& clipboard_;
    ImageSurface surface_{graWidth, graHeight};
    QPlainTextEdit* text1Box_ = nullptr;
    QString text1_;
};

}  // namespace kr5
