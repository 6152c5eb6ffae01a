// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/Keyboard.h"

#include "core/UiServices.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QShortcut>

namespace velk {

namespace {

// Takes Enter from the list, so that it never also presses the window's default button.
class EnterFilter : public QObject {
public:
    EnterFilter(QAbstractItemView& list, std::function<void()> act)
        : QObject(&list), act_(std::move(act)) {
        list.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return QObject::eventFilter(watched, event);
        act_();
        return true;
    }

private:
    std::function<void()> act_;
};

} // namespace

void actOnClick(QAbstractItemView& list, const std::function<void(int row)>& act) {
    // A list widget says which item was clicked; a view over a model, which index.
    if (auto* widget = qobject_cast<QListWidget*>(&list))
        QObject::connect(widget, &QListWidget::itemClicked, widget,
                         [widget, act](QListWidgetItem* item) { act(widget->row(item)); });
    else
        QObject::connect(&list, &QAbstractItemView::clicked, &list,
                         [act](const QModelIndex& index) { act(index.row()); });
    new EnterFilter(list, [&list, act] {
        if (list.currentIndex().isValid())
            act(list.currentIndex().row());
    });
}

void actOnEnter(QAbstractItemView& list, std::function<void()> act) {
    QObject::connect(&list, &QAbstractItemView::doubleClicked, &list, [act] { act(); });
    new EnterFilter(list, std::move(act));
}

void connectHelp(QWidget& window, QAbstractButton& button, UiServices& ui, int context) {
    QObject::connect(&button, &QAbstractButton::clicked, &window,
                     [&ui, context] { ui.showHelp(context); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, &window, [&ui, &button, context] {
        if (!button.isHidden() && button.isEnabled())
            ui.showHelp(context);
    });
}

} // namespace velk
