// The Options window as the rest of the program uses it: the logic lives as long as the
// program, the window only while it is loaded. Config(&O) shows it, creating it anew
// after the operator closed it by its title bar.
#pragma once

#include "optionsform.h"
#include "optionswindow.h"

#include <QPointer>
#include <functional>

namespace kr5 {

class Options {
  public:
    // parent: the window the Options window belongs to (it stays above it).
    Options(OperatingSettings& settings, Requests& requests, QWidget* parent = nullptr);
    ~Options();
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;

    // The logic, with its signals for the wiring.
    OptionsForm& form() { return form_; }

    // Config(&O): loads the window when needed and shows it without blocking.
    void showOptions();

    // After every reading: the read-out Label4 of the QN Conf. tab.
    void setTvReadout(const QString& text) { form_.setTvReadout(text); }

    // After the operator toggled automatic ranging on the panel.
    void showAutoRanging() { form_.showAutoRanging(); }

    // The loaded window, or null.
    OptionsWindow* window() const { return window_; }

    // Puts each newly loaded window in its place before it shows.
    void setPlacer(std::function<void(QWidget&)> place) { place_ = std::move(place); }

  private:
    OptionsForm form_;
    QWidget* parent_;
    QPointer<OptionsWindow> window_;
    std::function<void(QWidget&)> place_;
};

}  // namespace kr5
