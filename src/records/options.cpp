#include "options.h"

namespace kr5 {

Options::Options(OperatingSettings& settings, Requests& requests, QWidget* parent)
    : form_(settings, requests), parent_(parent) {}

Options::~Options() {
    delete window_.data();
}

void Options::showOptions() {
    if (window_.isNull()) {
        window_ = new OptionsWindow(form_, parent_);
        if (place_) {
            place_(*window_);
        }
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

}  // namespace kr5
