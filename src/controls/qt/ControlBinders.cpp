#include "controls/qt/ControlBinders.h"

#include "controls/ButtonControl.h"
#include "controls/CheckControl.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "controls/RadioControl.h"
#include "controls/SliderControl.h"
#include "controls/SpinControl.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace tonewell {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Hands the widget's keyboard focus to the model (the trigger boxes turn read-only with it).
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

void ShowState(QWidget* widget, const Control& control, const BindingPlace& place) {
    widget->setEnabled(control.enabled());
    if (place.toolbarAction != nullptr)
        place.toolbarAction->setVisible(control.visible());
    else if (widget->parentWidget() != nullptr && widget->isHidden() == control.visible())
        widget->setVisible(control.visible());
}

bool SameItems(const QComboBox* box, const std::vector<std::string>& items) {
    if (box->count() != static_cast<int>(items.size())) return false;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) != FromUtf8(items[static_cast<std::size_t>(i)])) return false;
    return true;
}

// Sets a line's text only when it differs, keeping the caret where the user left it (or at
// `caret`, where it was before the box itself moved it).
void SetLineText(QLineEdit* line, const QString& text, int caret = -1) {
    if (caret < 0) caret = line->cursorPosition();
    if (line->text() == text) return;
    line->setText(text);
    line->setCursorPosition(std::min(caret, static_cast<int>(text.size())));
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

void BindList(QComboBox* box, ListControl& list, BindingPlace place) {
    box->setEditable(list.editable());
    // Typed text is the model's to keep; the box never adds it to its rows.
    box->setInsertPolicy(QComboBox::NoInsert);
    // The line the user types in is announced as the list it belongs to.
    if (QLineEdit* line = box->lineEdit()) {
        line->setAccessibleName(box->accessibleName());
        line->setAccessibleDescription(box->accessibleDescription());
    }
    QPointer<QComboBox> guarded(box);
    auto refresh = [guarded, &list, place] {
        QComboBox* b = guarded.data();
        if (b == nullptr) return;
        const QSignalBlocker block(b);
        if (!SameItems(b, list.items())) {
            b->clear();
            for (const std::string& item : list.items()) b->addItem(FromUtf8(item));
        }
        // Typing over a picked row leaves no row selected; taking the row away empties the
        // line, and the caret must come back where the user is typing.
        const int caret = list.editable() ? b->lineEdit()->cursorPosition() : 0;
        if (b->currentIndex() != list.selection()) b->setCurrentIndex(list.selection());
        if (list.editable()) SetLineText(b->lineEdit(), FromUtf8(list.text()), caret);
        ShowState(b, list, place);
    };
    list.setObserver(refresh);
    refresh();
    QObject::connect(box, &QComboBox::activated, box, [&list](int row) { list.userSelect(row); });
    if (list.editable())
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box,
                         [&list](const QString& text) { list.userEditText(text.toStdString()); });
    new FocusForwarder(box, list);
}

void BindEdit(QLineEdit* edit, EditControl& control, BindingPlace place) {
    QPointer<QLineEdit> guarded(edit);
    auto refresh = [guarded, &control, place] {
        QLineEdit* e = guarded.data();
        if (e == nullptr) return;
        const QSignalBlocker block(e);
        SetLineText(e, FromUtf8(control.text()));
        e->setReadOnly(control.readOnly());
        if (control.limit() > 0) e->setMaxLength(static_cast<int>(control.limit()));
        ShowState(e, control, place);
    };
    control.setObserver(refresh);
    refresh();
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [&control](const QString& text) { control.userType(text.toStdString()); });
    new FocusForwarder(edit, control);
}

void BindCheck(QCheckBox* box, CheckControl& control, BindingPlace place) {
    QPointer<QCheckBox> guarded(box);
    auto refresh = [guarded, &control, place] {
        QCheckBox* b = guarded.data();
        if (b == nullptr) return;
        const QSignalBlocker block(b);
        b->setChecked(control.checked());
        ShowState(b, control, place);
    };
    control.setObserver(refresh);
    refresh();
    // Any change of the tick is the user's (a click, the space bar, a screen reader's toggle that
    // clicks nothing); the model's own changes come with the box's signals blocked. The model
    // may refuse: the box is put back to what it says.
    QObject::connect(box, &QCheckBox::toggled, box, [&control, guarded](bool checked) {
        if (control.checked() != checked) control.userClick();
        if (guarded && guarded->isChecked() != control.checked()) {
            const QSignalBlocker block(guarded.data());
            guarded->setChecked(control.checked());
        }
    });
    new FocusForwarder(box, control);
}

SpinButtons::SpinButtons(SpinControl& spin, const QString& name, QWidget* parent) : QWidget(parent), spin_(spin) {
    // Stacked as a spin button is: up above down.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makeButton = [&](Qt::ArrowType arrow, const QString& suffix, int steps) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setAccessibleName(name + suffix);
        button->setToolTip(name + suffix);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 11);
        button->setIconSize(QSize(8, 6));
        connect(button, &QToolButton::clicked, this, [this, steps] { spin_.userStep(steps); });
        layout->addWidget(button);
        return button;
    };
    up_ = makeButton(Qt::UpArrow, QStringLiteral(" up"), +1);
    down_ = makeButton(Qt::DownArrow, QStringLiteral(" down"), -1);
    setAccessibleName(name);
    QPointer<SpinButtons> guarded(this);
    spin_.setObserver([guarded] {
        if (guarded) guarded->refresh();
    });
    refresh();
}

void SpinButtons::setPlace(BindingPlace place) {
    place_ = place;
    refresh();
}

void SpinButtons::attachKeys(QLineEdit* buddyBox) { buddyBox->installEventFilter(this); }

bool SpinButtons::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            spin_.userStep(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpinButtons::refresh() {
    up_->setEnabled(spin_.enabled() && spin_.position() < spin_.maximum());
    down_->setEnabled(spin_.enabled() && spin_.position() > spin_.minimum());
    ShowState(this, spin_, place_);
    if (!spin_.enabled()) setEnabled(false);
}

// ---- the dialogs' further controls ---------------------------------------------------------

void BindButton(QAbstractButton* button, ButtonControl& control) {
    Observe(button, control, [&control](QAbstractButton* b) {
        const QString caption = FromUtf8(control.caption());
        if (b->text() != caption) b->setText(caption);
        ShowState(b, control, {});
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
        ShowState(s, control, {});
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
            ShowState(b, control, {});
        }
    };
    for (int i = 0; i < buttons.size(); ++i) {
        QRadioButton* button = buttons[i];
        group->addButton(button, i);
        // The option is chosen when its button turns on, however it did (a click, the arrow
        // keys, a screen reader's toggle); the model may refuse, and the buttons show its choice.
        QObject::connect(button, &QAbstractButton::toggled, button, [&control, refresh, i](bool on) {
            if (!on) return;
            control.userChoose(i);
            if (control.choice() != i) refresh();
        });
        // A click on the option already chosen turns nothing on; the model hears it all the same.
        auto chosenBefore = std::make_shared<bool>(false);
        QObject::connect(button, &QAbstractButton::pressed, button,
                         [&control, chosenBefore, i] { *chosenBefore = control.choice() == i; });
        QObject::connect(button, &QAbstractButton::clicked, button, [&control, chosenBefore, i] {
            if (*chosenBefore) control.userChoose(i);
        });
        new FocusForwarder(button, control);
    }
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
        ShowState(b, control, {});
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
        ShowState(l, control, {});
    });
}

void BindState(QWidget* widget, Control& control) {
    Observe(widget, control, [&control](QWidget* w) { ShowState(w, control, {}); });
}

}  // namespace tonewell
