// Names and faces of the program's controls. Every window and control carries the
// program's name for it as object name and accessible description, so that tests, GUI
// test tools and screen readers find it by the name the program uses, and plain words
// (platform/plainnames.h) as accessible name, which a screen reader says. A member of a
// control array is named like "peakb(3)". A menu item (QAction) has neither of its own
// and carries both as properties; a screen reader says its text.
#pragma once

#include "platform/plainnames.h"

#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace kr5 {

// A readout is read as its words and what it shows ("Charge, pC: 12.35"): a label's
// accessible name takes the place of its text for a screen reader, and Qt gives a label
// no other way to say it. The name follows the text whenever the label is painted, as it
// is after each new text while it can be seen.
class ReadoutWords : public QObject {
  public:
    static void follow(QLabel* label, const QString& words) {
        label->setProperty(wordsProperty, words);
        label->setAccessibleName(words);
        label->installEventFilter(&instance());
    }

    // The name for what the label shows now.
    static QString nameFor(const QLabel* label) {
        const QString words = label->property(wordsProperty).toString();
        return label->text().isEmpty() ? words : words + QStringLiteral(": ") + label->text();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* label = static_cast<QLabel*>(watched);
            const QString name = nameFor(label);
            if (label->accessibleName() != name) {
                label->setAccessibleName(name);
            }
        }
        return false;
    }

  private:
    static constexpr const char* wordsProperty = "kr5PlainWords";

    static ReadoutWords& instance() {
        static ReadoutWords words;
        return words;
    }
};

inline void nameControl(QObject* control, const QString& name) {
    control->setObjectName(name);
    const PlainName plain = plainNameOf(control, name);
    if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setAccessibleDescription(name);
        auto* label = qobject_cast<QLabel*>(widget);
        if (label != nullptr && plain.withText) {
            ReadoutWords::follow(label, plain.words);
        } else if (!plain.words.isEmpty()) {
            widget->setAccessibleName(plain.words);
        }
    } else {
        control->setProperty("accessibleDescription", name);
        if (!plain.words.isEmpty()) {
            control->setProperty("accessibleName", plain.words);
        }
    }
}

inline QString elementName(const QString& array, int index) {
    return array + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

inline void nameArrayControl(QObject* control, const QString& array, int index) {
    nameControl(control, elementName(array, index));
}

inline QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    nameControl(label, name);
    return label;
}

inline QPushButton* namedButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    nameControl(button, name);
    return button;
}

// A bold face `scale` times the size of `font`; with fixedPitch, the system's fixed-pitch
// face, for readouts and rows whose columns must line up.
inline QFont displayFont(QFont font, double scale, bool fixedPitch) {
    if (fixedPitch) {
        const double size = font.pointSizeF();
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (size > 0) {
            font.setPointSizeF(size);
        }
    }
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * scale);
    } else {
        font.setPixelSize(qRound(font.pixelSize() * scale));
    }
    font.setBold(true);
    return font;
}

}  // namespace kr5
