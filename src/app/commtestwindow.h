// The window commtest: the progress of the unit search at start-up. For each port it
// shows where the detector, the AC unit and the noise discriminator answered and how
// they identified themselves, and it shows the address being asked at the moment.
#pragma once

#include "link/discovery.h"

#include <QWidget>
#include <array>

class QLabel;

namespace kr5 {

class CommTestWindow : public QWidget, public DiscoveryProgress {
    Q_OBJECT

  public:
    explicit CommTestWindow(QWidget* parent = nullptr);

    void showProgress() override;
    void probing(int port, int index) override;
    void found(int port, UnitKind kind, int index, const QString& ident) override;
    void hideProgress() override;

  private:
    struct UnitFields {
        QLabel* address = nullptr;
        QLabel* ident = nullptr;
    };
    // [port 1..2 as 0..1][detector, AC unit, noise discriminator]
    using PortFields = std::array<UnitFields, 3>;

    QWidget* buildPortSection(int port, PortFields& fields);

    std::array<PortFields, 2> fields_{};
    QLabel* scanAddress_ = nullptr;
};

}  // namespace kr5
