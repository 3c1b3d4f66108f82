#include "controls/qt/DialogBinders.h"

#include "controls/ButtonControl.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "controls/RadioControl.h"
#include "controls/SliderControl.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <memory>

namespace tonewell {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Hands the widget's keyboard focus to the model.
class FocusForwarder : public QObject {
public:
    FocusForwarder(QWidget* widget, Control& control) : QObject(widget), control_(control) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
        // A drop-down list (or a menu) that opens takes the keyboard for a while; the control
        // keeps the focus as far as the user is concerned (a box is not checked for opening
        // its list).
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason ||
            QApplication::activePopupWidget() != nullptr)
            return false;
        control_.userFocus(event->type() == QEvent::FocusIn);
        return false;
    }

private:
    Control& control_;
};

void ShowState(QWidget* widget, const Control& control) {
    widget->setEnabled(control.enabled());
    if (widget->parentWidget() != nullptr && widget->isHidden() == control.visible())
        widget->setVisible(control.visible());
}

// Binds refresh as the model's observer for as long as the widget lives, and shows the model now.
template <typename Widget, typename Refresh>
void Observe(Widget* widget, Control& control, Refresh refresh) {
    QPointer<Widget> guarded(widget);
    control.setObserver([guarded, refresh] {
        if (Widget* w = guarded.data()) refresh(w);
    });
    refresh(widget);
}

}  // namespace

void BindButton(QAbstractButton* button, ButtonControl& control) {
    Observe(button, control, [&control](QAbstractButton* b) {
        const QString caption = FromUtf8(control.caption());
        if (b->text() != caption) b->setText(caption);
        ShowState(b, control);
    });
    QObject::connect(button, &QAbstractButton::clicked, button, [&control] { control.click(); });
    new FocusForwarder(button, control);
}

void BindSlider(QSlider* slider, SliderControl& control, bool minimumAtTop) {
    // The widget's value for a model position and back (the same mapping both ways).
    auto flip = [&control, minimumAtTop](int value) {
        return minimumAtTop ? control.minimum() + control.maximum() - value : value;
    };
    Observe(slider, control, [&control, flip](QSlider* s) {
        const QSignalBlocker block(s);
        if (s->minimum() != control.minimum() || s->maximum() != control.maximum())
            s->setRange(control.minimum(), control.maximum());
        // While the user drags, the thumb stays where the hand holds it.
        if (!s->isSliderDown() && s->value() != flip(control.position())) s->setValue(flip(control.position()));
        ShowState(s, control);
    });
    // Every user action comes through here with the position it leads to; only a drag is not
    // yet a release (the wheel and the keys are).
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [slider, &control, flip](int action) {
        const int position = flip(slider->sliderPosition());
        if (action == QAbstractSlider::SliderMove && slider->isSliderDown()) {
            control.userMove(position);
        } else {
            control.userRelease(position);
        }
    });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, slider,
                     [slider, &control, flip] { control.userRelease(flip(slider->sliderPosition())); });
    new FocusForwarder(slider, control);
}

void BindRadio(const QList<QRadioButton*>& buttons, RadioControl& control) {
    if (buttons.isEmpty()) return;
    auto* group = new QButtonGroup(buttons.front());
    group->setExclusive(true);
    for (int i = 0; i < buttons.size(); ++i) {
        group->addButton(buttons[i], i);
        QObject::connect(buttons[i], &QAbstractButton::clicked, buttons[i], [&control, i] { control.userChoose(i); });
        new FocusForwarder(buttons[i], control);
    }
    QPointer<QButtonGroup> guarded(group);
    auto refresh = [guarded, &control] {
        QButtonGroup* g = guarded.data();
        if (g == nullptr) return;
        const QList<QAbstractButton*> all = g->buttons();
        for (QAbstractButton* b : all) {
            const QSignalBlocker block(b);
            const bool chosen = g->id(b) == control.choice();
            if (b->isChecked() != chosen) {
                // An exclusive group keeps one button checked; none chosen needs it lifted.
                g->setExclusive(false);
                b->setChecked(chosen);
                g->setExclusive(true);
            }
            ShowState(b, control);
        }
    };
    control.setObserver(refresh);
    refresh();
}

void BindListBox(QListWidget* box, ListControl& control) {
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    Observe(box, control, [&control](QListWidget* b) {
        const QSignalBlocker block(b);
        bool same = b->count() == control.count();
        for (int i = 0; same && i < b->count(); ++i)
            same = b->item(i)->text() == FromUtf8(control.items()[static_cast<std::size_t>(i)]);
        if (!same) {
            b->clear();
            for (const std::string& item : control.items()) b->addItem(FromUtf8(item));
        }
        if (b->currentRow() != control.selection()) b->setCurrentRow(control.selection());
        if (!control.hasSelection()) b->clearSelection();
        ShowState(b, control);
    });
    QObject::connect(box, &QListWidget::currentRowChanged, box, [&control](int row) {
        if (row >= 0) control.userSelect(row);
    });
    new FocusForwarder(box, control);
}

void BindText(QLabel* label, EditControl& control) {
    Observe(label, control, [&control](QLabel* l) {
        const QString text = FromUtf8(control.text());
        if (l->text() != text) l->setText(text);
        l->setToolTip(text);
        ShowState(l, control);
    });
}

void BindState(QWidget* widget, Control& control) {
    Observe(widget, control, [&control](QWidget* w) { ShowState(w, control); });
}

}  // namespace tonewell
