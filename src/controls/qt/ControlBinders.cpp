#include "controls/qt/ControlBinders.h"

#include "controls/CheckControl.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "controls/SpinControl.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

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
        if (event->type() == QEvent::FocusIn) control_.userFocus(true);
        if (event->type() == QEvent::FocusOut) control_.userFocus(false);
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

// Sets a line's text only when it differs, keeping the caret where the user left it.
void SetLineText(QLineEdit* line, const QString& text) {
    if (line->text() == text) return;
    const int caret = line->cursorPosition();
    line->setText(text);
    line->setCursorPosition(std::min(caret, static_cast<int>(text.size())));
}

}  // namespace

void BindList(QComboBox* box, ListControl& list, BindingPlace place) {
    box->setEditable(list.editable());
    // Typed text is the model's to keep; the box never adds it to its rows.
    box->setInsertPolicy(QComboBox::NoInsert);
    QPointer<QComboBox> guarded(box);
    auto refresh = [guarded, &list, place] {
        QComboBox* b = guarded.data();
        if (b == nullptr) return;
        const QSignalBlocker block(b);
        if (!SameItems(b, list.items())) {
            b->clear();
            for (const std::string& item : list.items()) b->addItem(FromUtf8(item));
        }
        if (b->currentIndex() != list.selection()) b->setCurrentIndex(list.selection());
        if (list.editable()) SetLineText(b->lineEdit(), FromUtf8(list.text()));
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
    // The model toggles itself on the click; the box is put back to what the model says.
    QObject::connect(box, &QCheckBox::clicked, box, [&control, guarded] {
        control.userClick();
        if (guarded) {
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

}  // namespace tonewell
