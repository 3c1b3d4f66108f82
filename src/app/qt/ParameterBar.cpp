#include "app/qt/ParameterBar.h"

#include "app/FrameBars.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "controls/SpinControl.h"
#include "controls/qt/ControlBinders.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <map>

namespace tonewell {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The prompt goes to the status bar and, saying what the control selects, to its description
// (a combo box is announced by its current row on the Linux desktop); the tip goes to the
// tooltip and names it.
void Describe(QWidget* widget, const FrameBarControl& control) {
    const QString prompt = FromUtf8(control.prompt);
    const QString tip = FromUtf8(control.name);
    widget->setToolTip(tip);
    widget->setStatusTip(prompt);
    widget->setAccessibleName(tip);
    widget->setAccessibleDescription(prompt);
}

}  // namespace

QToolBar* MakeParameterBar(const FrameBar& bar, QAction* switchAction, QWidget* parent) {
    const QString title = QString::fromUtf8(bar.title.data(), static_cast<qsizetype>(bar.title.size()));
    auto* toolbar = new QToolBar(title + QStringLiteral(" Parameters"), parent);
    toolbar->setObjectName(QStringLiteral("bar") + QString(title).remove(' '));
    toolbar->setAccessibleName(toolbar->windowTitle());
    toolbar->setMovable(false);
    toolbar->setFloatable(false);

    std::map<const EditControl*, QLineEdit*> boxes;
    for (const FrameBarControl& control : bar.controls) {
        const ToolbarItem& item = control.item;
        switch (item.kind) {
        case ToolbarControlKind::DropDownList:
        case ToolbarControlKind::EditableList: {
            auto* list = static_cast<ListControl*>(item.control);
            auto* box = new QComboBox(toolbar);
            box->setObjectName(QStringLiteral("control%1").arg(item.id));
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            Describe(box, control);
            QAction* action = toolbar->addWidget(box);
            BindList(box, *list, {action});
            // Screen readers on the Linux desktop name a combo box by the label that points at
            // it (else by its current row): an unseen label carries the control's name.
            auto* label = new QLabel(FromUtf8(control.name), toolbar);
            label->setBuddy(box);
            label->hide();
            break;
        }
        case ToolbarControlKind::EditBox: {
            auto* edit = static_cast<EditControl*>(item.control);
            auto* line = new QLineEdit(toolbar);
            line->setObjectName(QStringLiteral("control%1").arg(item.id));
            line->setFixedWidth(QFontMetrics(line->font()).horizontalAdvance(QStringLiteral("-100%")) + 16);
            if (item.centred) line->setAlignment(Qt::AlignCenter);
            Describe(line, control);
            QAction* action = toolbar->addWidget(line);
            BindEdit(line, *edit, {action});
            boxes[edit] = line;
            break;
        }
        case ToolbarControlKind::SpinButton: {
            auto* spin = static_cast<SpinControl*>(item.control);
            auto* buttons = new SpinButtons(*spin, FromUtf8(control.name), toolbar);
            buttons->setObjectName(QStringLiteral("control%1").arg(item.id));
            buttons->setToolTip(FromUtf8(control.name));
            buttons->setStatusTip(FromUtf8(control.prompt));
            QAction* action = toolbar->addWidget(buttons);
            buttons->setPlace({action});
            if (auto found = boxes.find(spin->buddy()); found != boxes.end()) buttons->attachKeys(found->second);
            break;
        }
        case ToolbarControlKind::Label: {
            auto* label = new QLabel(FromUtf8(std::string(item.label)), toolbar);
            label->setAccessibleName(FromUtf8(control.name));
            label->setContentsMargins(6, 0, 2, 0);
            toolbar->addWidget(label);
            break;
        }
        }
    }
    if (switchAction != nullptr) {
        toolbar->addSeparator();
        toolbar->addAction(switchAction);
        // A short caption beside the icon says which bar the button brings up.
        if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(switchAction))) {
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setAccessibleName(switchAction->text());
        }
    }
    return toolbar;
}

}  // namespace tonewell
